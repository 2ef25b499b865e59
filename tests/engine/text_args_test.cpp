#include <gtest/gtest.h>

#include "engine/mbcs.h"
#include "engine/text_args.h"

namespace {
class TextArgs : public ::testing::Test {
 protected:
  void TearDown() override { SetAnsiCodePageForTesting(0); }
};

TEST_F(TextArgs, TrimRemovesEveryKindOfWhiteSpaceAtBothEnds) {
  std::string text = " \t\r\n\v\fa b\t \r\n";
  TrimText(text);
  EXPECT_EQ(text, "a b");
  std::string blank = " \t ";
  TrimText(blank);
  EXPECT_EQ(blank, "");
}

TEST_F(TextArgs, TrimKeepsADoubleByteCharacterWhole) {
  SetAnsiCodePageForTesting(932);
  std::string text = "  \x95\x5C  ";  // a character whose trail byte is a backslash
  TrimText(text);
  EXPECT_EQ(text, "\x95\x5C");
}

TEST_F(TextArgs, SplitNameValueAtTheFirstEqualsSign) {
  std::string name, value;
  EXPECT_EQ(SplitNameValue(" G = a=b ", 260, 260, name, value), 0u);
  EXPECT_EQ(name, "G");
  EXPECT_EQ(value, "a=b");
  EXPECT_EQ(SplitNameValue("=v", 260, 260, name, value), 0u);
  EXPECT_EQ(name, "");
  EXPECT_EQ(value, "v");
  EXPECT_EQ(SplitNameValue("N=", 260, 260, name, value), 0u);
  EXPECT_EQ(value, "");
}

TEST_F(TextArgs, SplitNameValueBoundsAreBufferSizes) {
  std::string name, value;
  EXPECT_EQ(SplitNameValue("no equals sign", 260, 260, name, value), 23u);
  EXPECT_EQ(SplitNameValue(std::string(259, 'n') + "=v", 260, 260, name, value), 0u);
  EXPECT_EQ(SplitNameValue(std::string(260, 'n') + "=v", 260, 260, name, value), 23u);
  EXPECT_EQ(SplitNameValue("n=" + std::string(1023, 'v'), 260, 1024, name, value), 0u);
  EXPECT_EQ(SplitNameValue("n=" + std::string(1024, 'v'), 260, 1024, name, value), 25u);
}

TEST_F(TextArgs, SplitNameValueKeepsDoubleByteCharactersWhole) {
  SetAnsiCodePageForTesting(932);
  std::string name, value;
  EXPECT_EQ(SplitNameValue("\x95\x5C" "A=\x95\x7C", 260, 260, name, value), 0u);
  EXPECT_EQ(name, "\x95\x5C" "A");
  EXPECT_EQ(value, "\x95\x7C");
}

TEST_F(TextArgs, NextItemWalksItemsAndEndsOnEmptyText) {
  std::string_view rest = "a,,b";
  std::string item;
  ASSERT_TRUE(NextItem(rest, ',', 260, item));
  EXPECT_EQ(item, "a");
  ASSERT_TRUE(NextItem(rest, ',', 260, item));
  EXPECT_EQ(item, "");
  ASSERT_TRUE(NextItem(rest, ',', 260, item));
  EXPECT_EQ(item, "b");
  EXPECT_FALSE(NextItem(rest, ',', 260, item));
}

TEST_F(TextArgs, NextItemCutsToTheBufferWithoutSplittingACharacter) {
  SetAnsiCodePageForTesting(932);
  std::string_view rest = "ab\x95\x7C" "cd|e";
  std::string item;
  ASSERT_TRUE(NextItem(rest, '|', 4, item));  // room for 3 bytes: "ab" and not half of 0x95 0x7C
  EXPECT_EQ(item, "ab");
  EXPECT_EQ(rest, "e");  // the trail byte 0x7C was not taken for the separator
}
}  // namespace
