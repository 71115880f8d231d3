// The Windows platform: the record that reaches ShellExecuteExW, the version
// query, and the presence test and the requests against real folders, under
// names of every script.
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/medium.h"
#include "platform/platform.h"
#include "platform/win32/shell_records.h"
#include "platform/win32/wide_text.h"

namespace {

// The native record's size: the 32-bit record of the medium's program, or
// the 64-bit one, whose pointers and handles take twice the room.
constexpr DWORD kRecordSize = sizeof(void*) == 8 ? 112 : 60;

TEST(ShellExecuteRecord, IsZeroedThenFilledFieldByField) {
  const core::ExecuteRequest request =
      core::make_execute_request(0x1234, "INST.EXE", "", "D:\\", 1, true);
  platform::win32::ShellExecuteRecord record(request);
  const SHELLEXECUTEINFOW& info = record.info();
  EXPECT_EQ(sizeof info, kRecordSize);
  EXPECT_EQ(info.cbSize, kRecordSize);
  EXPECT_EQ(info.fMask, static_cast<ULONG>(SEE_MASK_FLAG_NO_UI | SEE_MASK_FLAG_DDEWAIT));
  EXPECT_EQ(info.fMask, 0x500u);
  EXPECT_EQ(info.hwnd, reinterpret_cast<HWND>(0x1234));
  EXPECT_STREQ(info.lpVerb, L"runas");
  EXPECT_STREQ(info.lpFile, L"D:\\INST.EXE") << "the full path: never searched for";
  EXPECT_STREQ(info.lpParameters, L"");
  EXPECT_STREQ(info.lpDirectory, L"D:\\") << "the working folder keeps its backslash";
  EXPECT_EQ(info.nShow, SW_SHOWNORMAL);
  EXPECT_EQ(info.hInstApp, nullptr);
  EXPECT_EQ(info.lpIDList, nullptr);
  EXPECT_EQ(info.lpClass, nullptr);
  EXPECT_EQ(info.hkeyClass, nullptr);
  EXPECT_EQ(info.dwHotKey, 0u);
  EXPECT_EQ(info.hIcon, nullptr);
  EXPECT_EQ(info.hProcess, nullptr);

  platform::win32::ShellExecuteRecord plain(
      core::make_execute_request(0, "NetClient.EXE", "", "C:\\\u65E5\u672C\u8A9E\\CD\\", 1, false));
  EXPECT_STREQ(plain.info().lpVerb, L"open");
  EXPECT_STREQ(plain.info().lpFile, L"C:\\\u65E5\u672C\u8A9E\\CD\\NetClient.EXE");
  EXPECT_STREQ(plain.info().lpDirectory, L"C:\\\u65E5\u672C\u8A9E\\CD\\");
}

TEST(ShellExecuteRecord, NamesTheFileInItsFolderWithOneBackslash) {
  using platform::win32::full_path;
  EXPECT_EQ(full_path(L"D:\\", L"INST.EXE"), L"D:\\INST.EXE");
  EXPECT_EQ(full_path(L"D:", L"Handbuch.pdf"), L"D:\\Handbuch.pdf");
  EXPECT_EQ(full_path(L"\\\\server\\cd", L"Prospekt.pdf"), L"\\\\server\\cd\\Prospekt.pdf");
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

// A temporary folder named `name` (UTF-8), removed with what it holds.
class Folder {
 public:
  explicit Folder(const std::string& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = platform::win32::narrow(temp) + "cdstart-" + std::to_string(GetCurrentProcessId()) +
            "-" + name;
    created_ = CreateDirectoryW(wide(path_).c_str(), nullptr) != FALSE;
  }
  ~Folder() {
    for (const std::string& file : files_) DeleteFileW(wide(path_ + "\\" + file).c_str());
    for (const std::string& folder : folders_) RemoveDirectoryW(wide(path_ + "\\" + folder).c_str());
    RemoveDirectoryW(wide(path_).c_str());
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  bool created() const { return created_; }
  const std::string& path() const { return path_; }
  void add_file(const std::string& name) {
    std::ofstream(wide(path_ + "\\" + name).c_str()) << "x";
    files_.push_back(name);
  }
  void add_folder(const std::string& name) {
    CreateDirectoryW(wide(path_ + "\\" + name).c_str(), nullptr);
    folders_.push_back(name);
  }

 private:
  static std::wstring wide(const std::string& utf8) { return platform::win32::widen(utf8); }

  std::string path_;
  bool created_ = false;
  std::vector<std::string> files_;
  std::vector<std::string> folders_;
};

TEST(Win32Platform, PresenceCountsFilesOfAnyCaseButNotFoldersUnderAnyName) {
  platform::Platform& native = platform::native_platform();
  for (const char* name : {"plain", "\xCE\xA9mega", "\xD0\x94\xD0\xB8\xD1\x81\xD1\x82\xD1\x80\xD0\xB8"
                           "\xD0\xB1\xD1\x83\xD1\x82\xD0\xB8\xD0\xB2",
                           "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "caf\xC3\xA9"}) {
    Folder folder(name);
    ASSERT_TRUE(folder.created()) << name;
    folder.add_file("NETCLIENT.EXE");
    folder.add_folder("Handbuch.pdf");
    EXPECT_TRUE(native.is_present(folder.path() + "\\NetClient.EXE")) << name;
    EXPECT_FALSE(native.is_present(folder.path() + "\\Handbuch.pdf")) << "a folder is no manual";
    EXPECT_FALSE(native.is_present(folder.path() + "\\Prospekt.pdf")) << name;
    EXPECT_FALSE(native.is_present(folder.path() + "\\*.EXE")) << "a wildcard names no file";
  }
  EXPECT_FALSE(native.is_present("C:\\" + std::string(300, 'x') + "\\Prospekt.pdf"));
  // Each of these characters takes three bytes in UTF-8 but one unit in
  // Windows' own count, which is the one MAX_PATH limits.
  std::string cjk;
  for (int i = 0; i < 75; ++i) cjk += "\xE6\x97\xA5";
  Folder deep(cjk);
  ASSERT_TRUE(deep.created());
  deep.add_file("INST.EXE");
  ASSERT_GT(deep.path().size() + 9, static_cast<std::size_t>(MAX_PATH));
  EXPECT_TRUE(native.is_present(deep.path() + "\\INST.EXE")) << "fewer than MAX_PATH units";
}

TEST(Win32Platform, HandsTheShellNothingThatIsNotInTheFolder) {
  platform::Platform& native = platform::native_platform();
  Folder folder("empty");
  ASSERT_TRUE(folder.created());
  folder.add_folder("INST.EXE");
  const std::string medium = folder.path() + "\\";
  EXPECT_FALSE(native.shell_execute_ex(core::make_execute_request(0, "NetClient.EXE", "", medium, 1, false)))
      << "an absent installer is not looked for elsewhere";
  EXPECT_FALSE(native.shell_execute_ex(core::make_execute_request(0, "INST.EXE", "", medium, 1, false)))
      << "a folder is not started";
  EXPECT_FALSE(native.shell_execute_ex(core::make_execute_request(0, "cmd.exe", "", "", 1, false)))
      << "a bare name would be searched for everywhere";
  EXPECT_FALSE(native.shell_execute(core::make_open_request(0, "Handbuch.pdf", folder.path())))
      << "an absent document is not looked for elsewhere";
  EXPECT_FALSE(native.shell_execute_ex(core::make_execute_request(
      0, std::string(300, 'n') + ".EXE", "", medium, 1, false)))
      << "a name too long for the shell is refused, not cut short";
}

}  // namespace
