// The launcher's system services on 32-bit Windows: exactly the calls the
// program has always made, with the record sizes it has always used.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/shell_records.h"

namespace platform {
namespace win32 {

static_assert(sizeof(void*) != 4 || sizeof(SHELLEXECUTEINFOA) == core::ExecuteRequest::kSize,
              "the 32-bit extended execute record is 60 bytes");
static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is 148 bytes");

SHELLEXECUTEINFOA to_shell_execute_info(const core::ExecuteRequest& request) {
  SHELLEXECUTEINFOA info;
  ZeroMemory(&info, sizeof info);
  info.cbSize = request.size;
  info.fMask = request.mask;
  info.hwnd = reinterpret_cast<HWND>(request.owner);
  info.lpVerb = request.verb.c_str();
  info.lpFile = request.file.c_str();
  info.lpParameters = request.parameters.c_str();
  info.lpDirectory = request.directory.c_str();
  info.nShow = request.show;
  return info;
}

}  // namespace win32

namespace {

// A medium is no trusted place to load code from: libraries come from the
// system folder only, never from the program's own folder or the current one.
void restrict_library_search() {
  SetDllDirectoryA("");
  using SetDefault = BOOL(WINAPI*)(DWORD);
  if (HMODULE kernel = GetModuleHandleA("kernel32.dll")) {
    auto set_default = reinterpret_cast<SetDefault>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set_default) set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
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
// refused here rather than cut short into another name.
bool fits(const std::string& text) { return text.size() < MAX_PATH; }

class Win32Platform final : public Platform {
 public:
  Win32Platform() { restrict_library_search(); }

  core::PathStyle path_style() const override { return core::kWindowsPaths; }

  std::string module_path() override {
    std::string path(MAX_PATH, '\0');
    for (;;) {
      const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
      if (length == 0) return {};
      if (length < path.size()) {
        path.resize(length);
        return path;
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

  bool is_present(const std::string& path) override {
    if (!fits(path)) return false;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }

  bool shell_execute_ex(const core::ExecuteRequest& request) override {
    if (!fits(request.file) || !fits(request.directory)) return false;
    prepare_shell();
    SHELLEXECUTEINFOA info = win32::to_shell_execute_info(request);
    return ShellExecuteExA(&info) != FALSE;
  }

  bool shell_execute(const core::OpenRequest& request) override {
    if (!fits(request.file) || !fits(request.directory)) return false;
    prepare_shell();
    const HINSTANCE result =
        ShellExecuteA(reinterpret_cast<HWND>(request.owner), request.verb.c_str(),
                      request.file.c_str(), request.parameters.c_str(),
                      request.directory.c_str(), request.show);
    return reinterpret_cast<INT_PTR>(result) > 32;
  }
};

}  // namespace

Platform& native_platform() {
  static Win32Platform platform;
  return platform;
}

}  // namespace platform
