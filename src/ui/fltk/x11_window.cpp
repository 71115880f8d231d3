// A window manager reads a window's type, its initial state and its owner
// when the window is mapped, and a state written as a property on a mapped
// window goes unseen: EWMH asks for a client message to the root window
// then. FLTK 1.3 maps a window inside Fl_Window::show(), before a caller
// could add anything, so this file creates the X window itself, as FLTK
// lets a window class do (Fl_X::set_xid), tells the window manager what
// FLTK's own Fl_X::make_xid tells it and what the program adds, and only
// then maps the window.
#define FL_INTERNALS  // Fl_X, the X window behind an Fl_Window
#include "ui/fltk/x11_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace ui::fltk {
namespace {

// The events FLTK asks for on its own top-level windows.
constexpr long kEventMask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask |
                            KeymapStateMask | FocusChangeMask | ButtonPressMask |
                            ButtonReleaseMask | EnterWindowMask | LeaveWindowMask |
                            PropertyChangeMask | PointerMotionMask;

// _NET_WM_STATE client message actions.
constexpr long kStateRemove = 0;
constexpr long kStateAdd = 1;
constexpr long kSourceApplication = 1;

Atom atom(const char* name) { return XInternAtom(fl_display, name, False); }

void set_atoms(Window window, const char* property, const std::vector<Atom>& values) {
  XChangeProperty(fl_display, window, atom(property), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(values.data()),
                  static_cast<int>(values.size()));
}

std::vector<Atom> state_atoms(const WindowManagerHints& hints) {
  std::vector<Atom> state;
  if (hints.stays_on_top) state.push_back(atom("_NET_WM_STATE_ABOVE"));
  if (hints.modal) state.push_back(atom("_NET_WM_STATE_MODAL"));
  return state;
}

// What FLTK tells the window manager about every top-level window: machine,
// process, caption, close protocol, size limits, class, input and icons.
void set_toolkit_properties(Fl_Window& window, Fl_X& x) {
  const Window xid = x.xid;
  XSetWMProperties(fl_display, xid, nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr);
  const long pid = ::getpid();
  XChangeProperty(fl_display, xid, atom("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  window.label(window.label(), window.iconlabel());  // now that there is a window to name
  Atom close_protocol = atom("WM_DELETE_WINDOW");
  XSetWMProtocols(fl_display, xid, &close_protocol, 1);
  x.sendxjunk();
  if (const char* name = window.xclass()) {
    std::string instance = name;
    std::string klass = instance;
    if (!klass.empty())
      klass[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(klass[0])));
    XClassHint class_hint{instance.data(), klass.data()};
    XSetClassHint(fl_display, xid, &class_hint);
  }
  XWMHints wm_hints{};
  wm_hints.flags = InputHint;
  wm_hints.input = True;
  XSetWMHints(fl_display, xid, &wm_hints);
  x.set_icons();
}

// The Motif window manager hints: which functions and decorations a window
// wants. Window managers older than EWMH know a tool window only by these,
// and many newer ones take the title bar's buttons from them too (openbox
// keeps minimise and maximise whatever they say).
enum : long {
  kMwmHasFunctions = 1 << 0,
  kMwmHasDecorations = 1 << 1,
  kMwmFunctionResize = 1 << 1,
  kMwmFunctionMove = 1 << 2,
  kMwmFunctionClose = 1 << 5,
  kMwmDecorBorder = 1 << 1,
  kMwmDecorResizeHandle = 1 << 2,
  kMwmDecorTitle = 1 << 3,
  kMwmDecorMenu = 1 << 4,
};

void set_tool_window_hints(Window xid, bool resizable) {
  set_atoms(xid, "_NET_WM_WINDOW_TYPE", {atom("_NET_WM_WINDOW_TYPE_UTILITY")});
  long motif[5] = {kMwmHasFunctions | kMwmHasDecorations, kMwmFunctionMove | kMwmFunctionClose,
                   kMwmDecorBorder | kMwmDecorTitle | kMwmDecorMenu, 0, 0};
  if (resizable) {
    motif[1] |= kMwmFunctionResize;
    motif[2] |= kMwmDecorResizeHandle;
  }
  const Atom property = atom("_MOTIF_WM_HINTS");
  XChangeProperty(fl_display, xid, property, property, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(motif), 5);
}

struct FrameExtents {
  long left = 0, right = 0, top = 0, bottom = 0;
};

// A property made of 32-bit items (atoms, windows, numbers), which Xlib
// hands out as longs; empty when the window has no such property.
std::vector<long> read_items(Window window, Atom property, Atom type, long most) {
  Atom actual_type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<long> items;
  if (XGetWindowProperty(fl_display, window, property, 0, most, False, type, &actual_type, &format,
                         &count, &after, &data) == Success &&
      data && format == 32) {
    const auto* first = reinterpret_cast<const long*>(data);
    items.assign(first, first + count);
  }
  if (data) XFree(data);
  return items;
}

bool window_manager_offers(Atom feature) {
  if (!Fl_X::ewmh_supported()) return false;
  const std::vector<long> supported =
      read_items(RootWindow(fl_display, fl_screen), atom("_NET_SUPPORTED"), XA_ATOM, 4096);
  return std::find(supported.begin(), supported.end(), static_cast<long>(feature)) !=
         supported.end();
}

std::optional<FrameExtents> read_frame_extents(Window xid) {
  const std::vector<long> sides = read_items(xid, atom("_NET_FRAME_EXTENTS"), XA_CARDINAL, 4);
  if (sides.size() != 4) return std::nullopt;
  return FrameExtents{sides[0], sides[1], sides[2], sides[3]};
}

struct PropertyChange {
  Window window;
  Atom property;
};

Bool is_property_change(Display*, XEvent* event, XPointer wanted) {
  const auto* change = reinterpret_cast<const PropertyChange*>(wanted);
  return event->type == PropertyNotify && event->xproperty.window == change->window &&
         event->xproperty.atom == change->property;
}

// The frame the window manager is going to put around a window that is not
// mapped yet (EWMH _NET_REQUEST_FRAME_EXTENTS): the window manager answers
// by setting _NET_FRAME_EXTENTS. Nothing without a window manager, or when
// it has not answered within a second.
std::optional<FrameExtents> request_frame_extents(Window xid) {
  const Atom request = atom("_NET_REQUEST_FRAME_EXTENTS");
  if (!window_manager_offers(request)) return std::nullopt;
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = xid;
  message.xclient.message_type = request;
  message.xclient.format = 32;
  XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &message);
  XFlush(fl_display);

  PropertyChange answer{xid, atom("_NET_FRAME_EXTENTS")};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  XEvent event;
  // Only the answer is taken from the queue; other events stay for FLTK.
  while (
      !XCheckIfEvent(fl_display, &event, is_property_change, reinterpret_cast<XPointer>(&answer))) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd connection{ConnectionNumber(fl_display), POLLIN, 0};
    ::poll(&connection, 1, static_cast<int>(left.count()) + 1);
  }
  return read_frame_extents(xid);
}

void send_state_change(Window xid, long action, Atom state) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = xid;
  event.xclient.message_type = atom("_NET_WM_STATE");
  event.xclient.format = 32;
  event.xclient.data.l[0] = action;
  event.xclient.data.l[1] = static_cast<long>(state);
  event.xclient.data.l[3] = kSourceApplication;
  XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

}  // namespace

void map_new_window(Fl_Window& window, const WindowManagerHints& hints, bool centred) {
  // What Fl_Window::show() does around creating the window.
  window.labeltype(FL_NO_LABEL);
  Fl_Tooltip::exit(&window);
  fl_open_display();
  Fl_Group::current(nullptr);

  XSetWindowAttributes attributes{};
  attributes.event_mask = kEventMask;
  attributes.colormap = fl_colormap;
  attributes.border_pixel = 0;
  attributes.bit_gravity = ForgetGravity;
  const Window xid = XCreateWindow(
      fl_display, RootWindow(fl_display, fl_screen), window.x(), window.y(),
      static_cast<unsigned>(std::max(window.w(), 1)),
      static_cast<unsigned>(std::max(window.h(), 1)), 0, fl_visual->depth, InputOutput,
      fl_visual->visual, CWBorderPixel | CWColormap | CWEventMask | CWBitGravity, &attributes);
  Fl_X* x = Fl_X::set_xid(&window, xid);
  set_toolkit_properties(window, *x);

  if (hints.tool_window) set_tool_window_hints(xid, hints.resizable);
  const std::vector<Atom> state = state_atoms(hints);
  if (!state.empty()) set_atoms(xid, "_NET_WM_STATE", state);
  if (hints.owner != None) XSetTransientForHint(fl_display, xid, hints.owner);
  // Asked once everything else is set, as the window manager's estimate
  // depends on it.
  if (centred) {
    if (const std::optional<FrameExtents> frame = request_frame_extents(xid)) {
      window.position(window.x() + static_cast<int>(frame->left - frame->right) / 2,
                      window.y() + static_cast<int>(frame->top - frame->bottom) / 2);
    }
  }

  XMapWindow(fl_display, xid);
  // What FLTK does once the window is mapped.
  window.set_visible();
  const int event = Fl::e_number;
  window.handle(Fl::e_number = FL_SHOW);
  Fl::e_number = event;
  window.redraw();
}

void update_hints(Fl_Window& window, const WindowManagerHints& was, const WindowManagerHints& now) {
  // A window's type and decoration stay what they were when it was mapped.
  const Window xid = fl_xid(&window);
  if (!xid || was == now) return;
  // The owner first, so that a window that turns modal knows whose it is.
  // Unlike the state, the owner is read again whenever it changes.
  if (was.owner != now.owner) {
    if (now.owner != None) {
      XSetTransientForHint(fl_display, xid, now.owner);
    } else {
      XDeleteProperty(fl_display, xid, XA_WM_TRANSIENT_FOR);
    }
  }
  if (was.stays_on_top != now.stays_on_top) {
    send_state_change(xid, now.stays_on_top ? kStateAdd : kStateRemove,
                      atom("_NET_WM_STATE_ABOVE"));
  }
  if (was.modal != now.modal) {
    send_state_change(xid, now.modal ? kStateAdd : kStateRemove, atom("_NET_WM_STATE_MODAL"));
  }
}

}  // namespace ui::fltk
