// The Windows platform: the record that reaches ShellExecuteExA, the version
// query, and the presence test against a real folder.
#include <windows.h>

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "core/medium.h"
#include "platform/platform.h"
#include "platform/win32/shell_records.h"

namespace {

TEST(ShellExecuteRecord, IsZeroedThenFilledFieldByField) {
  const core::ExecuteRequest request =
      core::make_execute_request(0x1234, "INST.EXE", "", "D:\\", 1, true);
  const SHELLEXECUTEINFOA info = platform::win32::to_shell_execute_info(request);
  EXPECT_EQ(sizeof info, 60u);
  EXPECT_EQ(info.cbSize, 60u);
  EXPECT_EQ(info.fMask, static_cast<ULONG>(SEE_MASK_FLAG_NO_UI | SEE_MASK_FLAG_DDEWAIT));
  EXPECT_EQ(info.fMask, 0x500u);
  EXPECT_EQ(info.hwnd, reinterpret_cast<HWND>(0x1234));
  EXPECT_STREQ(info.lpVerb, "runas");
  EXPECT_STREQ(info.lpFile, "INST.EXE");
  EXPECT_STREQ(info.lpParameters, "");
  EXPECT_STREQ(info.lpDirectory, "D:\\");
  EXPECT_EQ(info.nShow, SW_SHOWNORMAL);
  EXPECT_EQ(info.hInstApp, nullptr);
  EXPECT_EQ(info.lpIDList, nullptr);
  EXPECT_EQ(info.lpClass, nullptr);
  EXPECT_EQ(info.hkeyClass, nullptr);
  EXPECT_EQ(info.dwHotKey, 0u);
  EXPECT_EQ(info.hIcon, nullptr);
  EXPECT_EQ(info.hProcess, nullptr);

  EXPECT_STREQ(platform::win32::to_shell_execute_info(
                   core::make_execute_request(0, "a.exe", "", "C:\\x\\", 1, false))
                   .lpVerb,
               "open");
}

TEST(Win32Platform, ReportsItsOwnPathAndAnNtSystem) {
  platform::Platform& native = platform::native_platform();
  EXPECT_EQ(native.path_style().separator, '\\');
  const std::string module = native.module_path();
  ASSERT_GT(module.size(), 4u);
  EXPECT_EQ(module.find(':'), 1u) << module;
  const auto version = native.os_version();
  ASSERT_TRUE(version);
  EXPECT_EQ(version->platform_id, core::kPlatformWin32Nt);
  EXPECT_GE(version->major, 6u) << "the NT 6 family and later elevate with runas";
  EXPECT_TRUE(core::use_run_as(version));
}

TEST(Win32Platform, PresenceCountsFilesOfAnyCaseButNotFolders) {
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
  const std::string folder = std::string(temp) + "cdstart-presence-" +
                             std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  std::ofstream(folder + "\\NETCLIENT.EXE") << "x";
  CreateDirectoryA((folder + "\\Handbuch.pdf").c_str(), nullptr);

  platform::Platform& native = platform::native_platform();
  EXPECT_TRUE(native.is_present(folder + "\\NetClient.EXE"));
  EXPECT_FALSE(native.is_present(folder + "\\Handbuch.pdf")) << "a folder is no manual";
  EXPECT_FALSE(native.is_present(folder + "\\Prospekt.pdf"));
  EXPECT_FALSE(native.is_present(folder + "\\" + std::string(300, 'x') + "\\Prospekt.pdf"));
  EXPECT_FALSE(native.shell_execute_ex(core::make_execute_request(
      0, std::string(300, 'n') + ".EXE", "", folder + "\\", 1, false)))
      << "a name too long for the shell is refused, not cut short";

  DeleteFileA((folder + "\\NETCLIENT.EXE").c_str());
  RemoveDirectoryA((folder + "\\Handbuch.pdf").c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
