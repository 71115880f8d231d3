// The shell's own records, filled from the launcher's requests.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "core/shell_request.h"

namespace platform::win32 {

// The full path of `file` in `directory`, with one backslash between them
// whether or not the folder ends in one: the name a request hands the shell,
// so that the shell never looks for the file anywhere else.
std::wstring full_path(const std::wstring& directory, const std::wstring& file);

// The extended execute record as the shell takes it: zeroed, then filled
// field by field, its size the native record's. The file is named by its
// full path; the texts it points to live in this object, which therefore
// stays where it was made.
class ShellExecuteRecord {
 public:
  explicit ShellExecuteRecord(const core::ExecuteRequest& request);
  ShellExecuteRecord(const ShellExecuteRecord&) = delete;
  ShellExecuteRecord& operator=(const ShellExecuteRecord&) = delete;

  SHELLEXECUTEINFOW& info() { return info_; }
  const std::wstring& file() const { return file_; }
  const std::wstring& directory() const { return directory_; }

 private:
  std::wstring verb_;
  std::wstring file_;
  std::wstring parameters_;
  std::wstring directory_;
  SHELLEXECUTEINFOW info_;
};

}  // namespace platform::win32
