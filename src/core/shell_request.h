// What the launcher asks of the shell, as plain records. The platform turns
// them into its own calls; tests compare them field by field.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// An opaque native window id (an HWND, an X window); 0 when there is none.
using WindowHandle = std::uintptr_t;

inline constexpr int kShowNormal = 1;

// The extended execute request that starts an executable. The mask is that
// of the Windows record: no error UI from the shell, and wait for any DDE
// conversation it starts. Every field not listed here is zero; the record's
// own size is the platform's, which knows its record (60 bytes on 32-bit
// Windows, 112 on 64-bit).
struct ExecuteRequest {
  static constexpr std::uint32_t kMaskFlagDdeWait = 0x100;
  static constexpr std::uint32_t kMaskFlagNoUi = 0x400;

  std::uint32_t mask = kMaskFlagNoUi | kMaskFlagDdeWait;
  WindowHandle owner = 0;
  std::string verb;        // "runas" or "open"
  std::string file;        // bare file name
  std::string parameters;  // always empty
  std::string directory;   // the file's folder, with its trailing separator
  int show = kShowNormal;

  friend bool operator==(const ExecuteRequest&, const ExecuteRequest&) = default;
};

// The simple open request that opens a document with its associated program.
struct OpenRequest {
  WindowHandle owner = 0;
  std::string verb;        // always "Open"
  std::string file;        // bare document name
  std::string parameters;  // always empty
  std::string directory;   // the medium folder, without a trailing separator
  int show = kShowNormal;

  friend bool operator==(const OpenRequest&, const OpenRequest&) = default;
};

inline ExecuteRequest make_execute_request(WindowHandle owner, std::string file,
                                           std::string parameters, std::string directory,
                                           int show, bool use_run_as) {
  ExecuteRequest request;
  request.owner = owner;
  request.verb = use_run_as ? "runas" : "open";
  request.file = std::move(file);
  request.parameters = std::move(parameters);
  request.directory = std::move(directory);
  request.show = show;
  return request;
}

inline OpenRequest make_open_request(WindowHandle owner, std::string_view document,
                                     std::string_view base_dir) {
  return {owner, "Open", std::string(document), "", std::string(base_dir), kShowNormal};
}

}  // namespace core
