#include "commands/registry/ini_section_text_parse.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/mbcs.h"

namespace {
std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

TEST(IniSectionText, EmptiesTheSectionAndKeepsItsHeader) {
  const std::string file =
      "[Main]\r\n  A=1  \r\n[Old]\r\nX=1\r\n; note\r\n\r\nY=2\r\n[Tail]\r\n\tB = 2\r\n";
  EXPECT_EQ(RemoveSectionEntries(file, "Old"), "[Main]\r\nA=1\r\n[Old]\r\n[Tail]\r\nB = 2\r\n");
}

TEST(IniSectionText, HeaderMatchIgnoresCaseOverItsLengthAndOnlyRealHeadersEndIt) {
  const std::string file =
      "[OLD] ; comment\r\nX=1\r\n[Other\r\nY=2\r\n[Older]\r\nZ=3\r\n[old]\r\nW=4\r\n";
  // "[Other" has no "]": it stays inside; "[Older]" ends the section; a second "[old]"
  // is emptied too.
  EXPECT_EQ(RemoveSectionEntries(file, "old"), "[OLD] ; comment\r\n[Older]\r\nZ=3\r\n[old]\r\n");
}

TEST(IniSectionText, WithoutTheSectionEveryLineIsTrimmedAndEndsInCrLf) {
  EXPECT_EQ(RemoveSectionEntries("a=1\n  [S]  \nb=2", "Missing"), "a=1\r\n[S]\r\nb=2\r\n");
  EXPECT_EQ(RemoveSectionEntries("\n\n", "S"), "\r\n\r\n");
  EXPECT_EQ(RemoveSectionEntries("", "S"), "");
}

TEST(IniSectionText, LongLinesAndZeroBytesSurviveWhole) {
  std::string longValue = "k=" + Repeat('v', 5000);
  std::string withZero("z=a\0b", 5);
  std::string file = "[Keep]\r\n" + longValue + "\r\n" + withZero + "\r\n[Gone]\r\nq=1\r\n";
  EXPECT_EQ(RemoveSectionEntries(file, "Gone"),
            "[Keep]\r\n" + longValue + "\r\n" + withZero + "\r\n[Gone]\r\n");
  // A long line whose far part looks like a header is still one line, inside the section.
  std::string tricky = "[Gone]\r\n" + Repeat('x', 3000) + "[Keep]\r\nq=1\r\n";
  EXPECT_EQ(RemoveSectionEntries(tricky, "Gone"), "[Gone]\r\n");
}

TEST(IniSectionText, DoubleByteCharactersCompareWholeInHeaders) {
  SetAnsiCodePageForTesting(932);
  // 0x82 0x61 and 0x82 0x41 are different characters although their trail bytes differ
  // only in case; 0x95 0x5D is a character whose trail byte is "]".
  const std::string file = "[\x82\x61]\r\nA=1\r\n[\x95\x5D\r\nB=2\r\n[\x82\x41]\r\nC=3\r\n";
  EXPECT_EQ(RemoveSectionEntries(file, "\x82\x61"), "[\x82\x61]\r\n[\x82\x41]\r\nC=3\r\n");
  // A line ending in a stray lead byte: its CR is a line end, not a trail byte, so a second
  // rewrite gives the same file.
  std::string once = RemoveSectionEntries("a=\x82\r\nb=1\r\n", "S");
  EXPECT_EQ(once, "a=\x82\r\nb=1\r\n");
  EXPECT_EQ(RemoveSectionEntries(once, "S"), once);
  SetAnsiCodePageForTesting(0);
}
}  // namespace
