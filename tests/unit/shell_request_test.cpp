#include <gtest/gtest.h>

#include "core/os_version.h"
#include "core/shell_request.h"

namespace {

TEST(UseRunAs, FollowsPlatformAndMajorVersion) {
  struct {
    std::optional<core::OsVersion> version;
    bool run_as;
  } cases[] = {
      {core::OsVersion{1, 4}, false},            // Windows 98
      {core::OsVersion{2, 4}, false},            // NT 4
      {core::OsVersion{2, 5}, false},            // 2000, XP
      {core::OsVersion{2, 6}, true},             // Vista, 7
      {core::OsVersion{2, 10}, true},            // 10, 11
      {core::OsVersion{1, 6}, false},            // not NT, whatever the number
      {core::OsVersion{0, 6}, false},            // Win32s
      {core::OsVersion{2, 0xFFFFFFFF}, true},    // compared unsigned
      {core::OsVersion{core::kPlatformOther, 6}, false},
      {std::nullopt, false},                     // the query failed
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::use_run_as(c.version), c.run_as)
        << (c.version ? c.version->platform_id : 99) << "." << (c.version ? c.version->major : 99);
  }
}

TEST(ExecuteRequest, HoldsEveryFieldOfTheExtendedRequest) {
  const core::ExecuteRequest request =
      core::make_execute_request(0x1234, "INST.EXE", "", "D:\\", 1, true);
  EXPECT_EQ(request.mask, 0x500u);
  EXPECT_EQ(request.owner, 0x1234u);
  EXPECT_EQ(request.verb, "runas");
  EXPECT_EQ(request.file, "INST.EXE");
  EXPECT_EQ(request.parameters, "");
  EXPECT_EQ(request.directory, "D:\\");
  EXPECT_EQ(request.show, 1);

  EXPECT_EQ(core::make_execute_request(0, "a", "", "b\\", 1, false).verb, "open");
}

TEST(OpenRequest, HoldsTheSixArgumentsOfTheSimpleRequest) {
  const core::OpenRequest request = core::make_open_request(0x99, "Handbuch.pdf", "D:");
  EXPECT_EQ(request, (core::OpenRequest{0x99, "Open", "Handbuch.pdf", "", "D:", 1}));
}

TEST(Requests, KeepLongNamesWhole) {
  const std::string folder = "D:\\" + std::string(300, 'f') + "\\";
  const std::string file = std::string(300, 'n') + ".EXE";
  const core::ExecuteRequest request = core::make_execute_request(0, file, "", folder, 1, false);
  EXPECT_EQ(request.file, file);
  EXPECT_EQ(request.directory, folder);
}

}  // namespace
