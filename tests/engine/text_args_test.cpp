#include <gtest/gtest.h>

#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
class TextArgs : public ::testing::Test {
 protected:
  void TearDown() override { SetAnsiCodePageForTesting(0); }
};

TEST_F(TextArgs, TrimRemovesWhiteSpaceAndKeepsDoubleByteCharactersWhole) {
  std::string text = " \t\r\n\v\fa b\t \r\n";
  TrimText(text);
  EXPECT_EQ(text, "a b");
  SetAnsiCodePageForTesting(932);
  EXPECT_EQ(TrimmedCopy("  \x95\x5C  "), "\x95\x5C");  // trail byte is a backslash
}

TEST_F(TextArgs, SplitNameValueSplitsAtTheFirstEqualsSignWithinBufferBounds) {
  struct Row {
    std::string text;
    std::size_t nameBound, valueBound;
    unsigned status;
    std::string name, value;
  } rows[] = {
      {" G = a=b ", 260, 260, 0, "G", "a=b"},
      {"=v", 260, 260, 0, "", "v"},
      {"N=", 260, 260, 0, "N", ""},
      {"no equals sign", 260, 260, 23, "", ""},
      {std::string(259, 'n') + "=v", 260, 260, 0, std::string(259, 'n'), "v"},
      {std::string(260, 'n') + "=v", 260, 260, 23, "", ""},
      {"n=" + std::string(1023, 'v'), 260, 1024, 0, "n", std::string(1023, 'v')},
      {"n=" + std::string(1024, 'v'), 260, 1024, 25, "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text.substr(0, 20));
    std::string name, value;
    ASSERT_EQ(SplitNameValue(row.text, row.nameBound, row.valueBound, name, value), row.status);
    EXPECT_EQ(name, row.name);
    EXPECT_EQ(value, row.value);
  }
}

TEST_F(TextArgs, NextItemWalksItemsAndNeverSplitsACharacter) {
  std::string_view rest = "a,,b";
  std::string item;
  for (const char* expected : {"a", "", "b"}) {
    ASSERT_TRUE(NextItem(rest, ',', 260, item));
    EXPECT_EQ(item, expected);
  }
  EXPECT_FALSE(NextItem(rest, ',', 260, item));

  SetAnsiCodePageForTesting(932);
  rest = "ab\x95\x7C" "cd|e";
  ASSERT_TRUE(NextItem(rest, '|', 4, item));  // room for 3 bytes: not half of 0x95 0x7C
  EXPECT_EQ(item, "ab");
  EXPECT_EQ(rest, "e");  // the trail byte 0x7C was not taken for the separator
}

// No folding beyond ASCII letters, and a trail byte is never folded.
TEST_F(TextArgs, CaseBlindComparesFoldOnlyAsciiLetters) {
  EXPECT_TRUE(EqualsNoCase("NoDesktop", "NODESKTOP"));
  EXPECT_TRUE(StartsWithNoCase("<search_path>x", "<SEARCH_PATH>"));
  EXPECT_FALSE(EqualsNoCase("\xE4", "\xC4"));
  SetAnsiCodePageForTesting(932);
  EXPECT_FALSE(EqualsNoCase("\x95\x61", "\x95\x41"));
  EXPECT_TRUE(EqualsNoCase("x\x95\x61", "X\x95\x61"));
}
}  // namespace
