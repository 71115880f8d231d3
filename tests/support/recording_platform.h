// A platform that answers from a table and records what is asked of it.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace testing_support {

class RecordingPlatform final : public platform::Platform {
 public:
  core::PathStyle style = core::kWindowsPaths;
  std::string module = "D:\\CDSTART.EXE";
  std::optional<core::OsVersion> version = core::OsVersion{core::kPlatformWin32Nt, 10};
  std::set<std::string> present;  // full paths that count as present
  bool execute_succeeds = true;
  std::string failure_reason = "no such file";  // what last_error() says

  std::vector<std::string>* journal = nullptr;  // shared with the ui backend, if set
  std::vector<std::string> presence_queries;
  std::vector<core::ExecuteRequest> executed;
  std::vector<core::OpenRequest> opened;

  core::PathStyle path_style() const override { return style; }
  std::string module_path() override { return module; }
  std::optional<core::OsVersion> os_version() override { return version; }
  bool is_present(const std::string& path) override {
    presence_queries.push_back(path);
    return present.contains(path);
  }
  bool shell_execute_ex(const core::ExecuteRequest& request) override {
    executed.push_back(request);
    note("execute " + request.directory + request.file);
    return execute_succeeds;
  }
  bool shell_execute(const core::OpenRequest& request) override {
    opened.push_back(request);
    note("open " + request.file);
    return true;
  }
  std::string last_error() const override { return failure_reason; }

 private:
  void note(const std::string& entry) {
    if (journal) journal->push_back(entry);
  }
};

}  // namespace testing_support
