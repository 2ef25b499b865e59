#include "commands/registry/ini_section_text_parse.h"

#include <gtest/gtest.h>

#include <string>

#include "support/mbcs.h"

namespace {
TEST(IniSectionText, LongLinesAndZeroBytesSurviveWhole) {
  const std::string longValue = "k=" + std::string(5000, 'v'), withZero("z=a\0b", 5);
  EXPECT_EQ(RemoveSectionEntries("[Keep]\r\n" + longValue + "\r\n" + withZero + "\r\n[Gone]\r\nq=1",
                                 "Gone"),
            "[Keep]\r\n" + longValue + "\r\n" + withZero + "\r\n[Gone]\r\n");
  // A long line whose far part looks like a header is still one line, inside the section.
  EXPECT_EQ(
      RemoveSectionEntries("[Gone]\r\n" + std::string(3000, 'x') + "[Keep]\r\nq=1\r\n", "Gone"),
      "[Gone]\r\n");
}

TEST(IniSectionText, DoubleByteCharactersCompareWholeInHeaders) {
  SetAnsiCodePageForTesting(932);
  // 0x82 0x61 and 0x82 0x41 are different characters although their trail bytes differ
  // only in case; 0x95 0x5D is a character whose trail byte is "]".
  const std::string file = "[\x82\x61]\r\nA=1\r\n[\x95\x5D\r\nB=2\r\n[\x82\x41]\r\nC=3\r\n";
  EXPECT_EQ(RemoveSectionEntries(file, "\x82\x61"), "[\x82\x61]\r\n[\x82\x41]\r\nC=3\r\n");
  // A line ending in a stray lead byte: its CR is a line end, not a trail byte.
  EXPECT_EQ(RemoveSectionEntries("a=\x82\r\nb=1\r\n", "S"), "a=\x82\r\nb=1\r\n");
  SetAnsiCodePageForTesting(0);
}
}  // namespace
