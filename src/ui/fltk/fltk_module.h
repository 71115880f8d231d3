// The FLTK backend lives in a module of its own, built into the program and
// loaded only when a window is to be shown: starting the installer directly
// never loads FLTK or X11 at all.
#pragma once

#include <cstddef>

#include "ui/backend.h"

namespace ui::fltk {

// The module's one entry: opens the display and returns the backend, or
// returns null and writes why into `error`.
using OpenModule = Backend* (*)(char* error, std::size_t error_size);
inline constexpr char kModuleEntry[] = "cdstart_fltk_open";

}  // namespace ui::fltk
