// The launcher's system services on Windows, 32-bit (what the medium ships)
// and 64-bit alike.
//
// Paths are UTF-8 inside the program, as on Linux; they become UTF-16 here,
// at the wide calls, and only here, so that a medium under a folder of any
// name Windows can hold finds its files and starts them. The version is still
// asked of GetVersionExA: its record holds numbers only.
//
// Nothing from outside the medium is ever started: a target is tested right
// before it is handed to the shell, nothing is handed on when it is absent,
// and the request names it by its full path, which the shell never looks up
// anywhere else (not in PATH, App Paths or the Windows folder), while the
// working folder, verb, flags and show command stay what the launcher asked.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/shell_records.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace win32 {

static_assert(sizeof(SHELLEXECUTEINFOW) == (sizeof(void*) == 8 ? 112 : 60),
              "the extended execute record is 60 bytes on 32-bit Windows, 112 on 64-bit");
static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is 148 bytes");

std::wstring full_path(const std::wstring& directory, const std::wstring& file) {
  if (directory.empty() || directory.back() == L'\\') return directory + file;
  return directory + L'\\' + file;
}

ShellExecuteRecord::ShellExecuteRecord(const core::ExecuteRequest& request)
    : verb_(widen(request.verb)),
      file_(full_path(widen(request.directory), widen(request.file))),
      parameters_(widen(request.parameters)),
      directory_(widen(request.directory)) {
  ZeroMemory(&info_, sizeof info_);
  info_.cbSize = sizeof info_;
  info_.fMask = request.mask;
  info_.hwnd = reinterpret_cast<HWND>(request.owner);
  info_.lpVerb = verb_.c_str();
  info_.lpFile = file_.c_str();
  info_.lpParameters = parameters_.c_str();
  info_.lpDirectory = directory_.c_str();
  info_.nShow = request.show;
}

}  // namespace win32

namespace {

using win32::narrow;
using win32::widen;

// A system call that not every Windows has, or null.
template <class Function>
Function optional_call(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

// A medium is no trusted place to load code from: libraries come from the
// system folder only, never from the program's own folder or the current one.
// Both calls are looked up, so that the program still loads on systems that
// lack them (SetDllDirectoryW came with XP SP1).
void restrict_library_search() {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (auto set_directory = optional_call<BOOL(WINAPI*)(LPCWSTR)>(kernel, "SetDllDirectoryW")) {
    set_directory(L"");
  }
  if (auto set_default = optional_call<BOOL(WINAPI*)(DWORD)>(kernel, "SetDefaultDllDirectories")) {
    set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
}

// The shell may answer a request through DDE or COM, which want the calling
// thread in a single-threaded apartment.
void prepare_shell() {
  static const bool prepared = [] {
    return SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  }();
  (void)prepared;
}

// The shell's calls take at most MAX_PATH characters a name; a longer one is
// refused rather than cut short into another name.
bool fits(const std::wstring& text) { return text.size() < MAX_PATH; }

// An entry of that name that is not a folder; the name's letter case does
// not matter. A name with a wildcard would match others: no such file.
bool present(const std::wstring& path) {
  if (!fits(path) || path.find_first_of(L"*?") != std::wstring::npos) return false;
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A target the shell may be given: in a folder of its own (a bare name would
// be looked for anywhere), named within MAX_PATH, and there right now.
bool may_hand_on(const std::wstring& directory, const std::wstring& path) {
  return !directory.empty() && fits(directory) && present(path);
}

class Win32Platform final : public Platform {
 public:
  Win32Platform() { restrict_library_search(); }

  core::PathStyle path_style() const override { return core::kWindowsPaths; }

  std::string module_path() override {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
      const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
      if (length == 0) return {};
      if (length < path.size()) {
        path.resize(length);
        return narrow(path);
      }
      path.resize(path.size() * 2);
    }
  }

  std::optional<core::OsVersion> os_version() override {
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = 148;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL ok = GetVersionExA(&info);
#pragma GCC diagnostic pop
    if (!ok) return std::nullopt;
    return core::OsVersion{info.dwPlatformId, info.dwMajorVersion};
  }

  bool is_present(const std::string& path) override { return present(widen(path)); }

  bool shell_execute_ex(const core::ExecuteRequest& request) override {
    win32::ShellExecuteRecord record(request);
    if (!may_hand_on(record.directory(), record.file())) return false;
    prepare_shell();
    return ShellExecuteExW(&record.info()) != FALSE;
  }

  bool shell_execute(const core::OpenRequest& request) override {
    const std::wstring directory = widen(request.directory);
    const std::wstring document = win32::full_path(directory, widen(request.file));
    if (!may_hand_on(directory, document)) return false;
    prepare_shell();
    const HINSTANCE result =
        ShellExecuteW(reinterpret_cast<HWND>(request.owner), widen(request.verb).c_str(),
                      document.c_str(), widen(request.parameters).c_str(), directory.c_str(),
                      request.show);
    return reinterpret_cast<INT_PTR>(result) > 32;
  }
};

}  // namespace

Platform& native_platform() {
  static Win32Platform platform;
  return platform;
}

}  // namespace platform
