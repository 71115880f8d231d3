// The one line that tells why something did not happen: one line, whatever
// bytes the medium's names hold.
#include "core/failure_line.h"

#include <gtest/gtest.h>

namespace {

TEST(FailureLine, ControlCharactersAreSpeltOutAndEverythingElseStays) {
  struct {
    std::string text, shown;
  } cases[] = {
      {"/media/cd/INST.EXE", "/media/cd/INST.EXE"},
      {"new\nline", "new\\nline"},
      {"#!/bin/sh\r", "#!/bin/sh\\r"},
      {"tab\there", "tab\\there"},
      {std::string("nul\0byte", 8), "nul\\x00byte"},
      {"\x1b[31mred\x7f", "\\x1b[31mred\\x7f"},
      {"caf\xe9 \xc3\xa9", "caf\xe9 \xc3\xa9"},
      {"D:\\CD\\INST.EXE", "D:\\CD\\INST.EXE"},
  };
  for (const auto& c : cases) EXPECT_EQ(core::printable(c.text), c.shown) << c.shown;
}

TEST(FailureLine, NamesTheFileAndTheReasonInOneLine) {
  EXPECT_EQ(core::launch_failure_line("/m/INST.EXE", "no such file"),
            "cdstart: cannot start /m/INST.EXE: no such file\n");
  EXPECT_EQ(core::launch_failure_line("D:\\INST.EXE", ""), "cdstart: cannot start D:\\INST.EXE\n");
  EXPECT_EQ(core::launch_failure_line("/a\nb/INST.EXE", "why\n"),
            "cdstart: cannot start /a\\nb/INST.EXE: why\\n\n");
  EXPECT_EQ(core::no_own_folder_line("no clue"), "cdstart: cannot find its own folder: no clue\n");
  EXPECT_EQ(core::no_own_folder_line(""), "cdstart: cannot find its own folder\n");
}

}  // namespace
