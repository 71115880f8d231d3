// The conversion at the Windows boundary: every name Windows can hold comes
// back unchanged, and broken UTF-8 never gets past it as anything but U+FFFD.
#include <gtest/gtest.h>

#include "core/utf16.h"

namespace {

TEST(Utf16, NamesOfEveryScriptRoundTrip) {
  struct {
    std::u16string wide;
    std::string utf8;
  } cases[] = {
      {u"", ""},
      {u"D:\\CD\\INST.EXE", "D:\\CD\\INST.EXE"},
      {u"caf\u00E9", "caf\xC3\xA9"},
      {u"\u03A9mega", "\xCE\xA9mega"},
      {u"\u0414\u0438\u0441\u0442\u0440\u0438\u0431\u0443\u0442\u0438\u0432",
       "\xD0\x94\xD0\xB8\xD1\x81\xD1\x82\xD1\x80\xD0\xB8\xD0\xB1\xD1\x83\xD1\x82\xD0\xB8\xD0\xB2"},
      {u"\u65E5\u672C\u8A9E", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"},
      {u"\uFFFF", "\xEF\xBF\xBF"},
      {u"\U0001F4BF CD", "\xF0\x9F\x92\xBF CD"},  // a pair of surrogates: one four-byte sequence
      {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
      // Lone surrogates, legal in Windows names, keep their value.
      {u"x\xD800y", "x\xED\xA0\x80y"},
      {u"x\xDC00", "x\xED\xB0\x80"},
      {u"\xDBFF", "\xED\xAF\xBF"},
      {u"\xDC00\xD800", "\xED\xB0\x80\xED\xA0\x80"},  // the wrong order is no pair
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::utf8_from_utf16(c.wide), c.utf8);
    EXPECT_EQ(core::utf16_from_utf8(c.utf8), c.wide) << c.utf8;
  }
}

TEST(Utf16, BrokenUtf8BecomesReplacementCharacters) {
  struct {
    std::string utf8;
    std::u16string wide;
  } cases[] = {
      {"\x80", u"\uFFFD"},                      // a continuation byte alone
      {"a\xC3", u"a\uFFFD"},                    // cut short at the end
      {"\xC3(", u"\uFFFD("},                    // cut short by another character
      {"\xC0\xAF", u"\uFFFD\uFFFD"},            // an overlong '/'
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},  // another one
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"\xFF\xFE", u"\uFFFD\uFFFD"},
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(core::utf16_from_utf8(c.utf8), c.wide) << c.utf8;
}

}  // namespace
