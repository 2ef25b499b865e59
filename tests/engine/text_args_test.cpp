#include <gtest/gtest.h>

#include <utility>

#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
class TextArgs : public ::testing::Test {
 protected:
  void TearDown() override { SetAnsiCodePageForTesting(0); }
};

// Both parts trimmed, split at the first "=", each refused one byte past its buffer.
TEST_F(TextArgs, SplitNameValueAtTheFirstEqualsSignWithinBufferBounds) {
  const struct {
    std::string text;
    unsigned status;
    std::string name, value;
  } rows[] = {
      {" G = a=b ", 0, "G", "a=b"},
      {std::string(259, 'n') + "=v", 0, std::string(259, 'n'), "v"},
      {std::string(260, 'n') + "=v", 23, "", ""},
      {"n=" + std::string(1023, 'v'), 0, "n", std::string(1023, 'v')},
      {"n=" + std::string(1024, 'v'), 25, "", ""},
  };
  for (const auto& row : rows) {
    std::string name, value;
    EXPECT_EQ(SplitNameValue(row.text, 260, 1024, name, value), row.status) << row.text.size();
    EXPECT_EQ(name + "|" + value, row.name + "|" + row.value) << row.text.size();
  }
}

// GETPARAM's lookup: a key is found whole, never as the end of a longer one, and only closed.
TEST_F(TextArgs, ParamValueFindsWholeKeysWithClosedValues) {
  const std::string params = "pid=\"7\" lang=\"de\" mode=\"silent\" open=\"x";
  for (const auto& [key, value] : {std::pair<const char*, const char*>{"lang", "de"}, {"LANG", ""},
                                   {"none", ""}, {"id", ""}, {"pid", "7"}, {"open", ""}}) {
    EXPECT_EQ(ParamValue(params, key), value) << key;
  }
}

// A trail byte is never a separator, never cut off its lead byte, and never case-folded.
TEST_F(TextArgs, DoubleByteCharactersStayWholeInItemsAndCaseBlindCompares) {
  SetAnsiCodePageForTesting(932);
  std::string_view rest = "ab\x95\x7C" "cd|e";
  std::string item;
  ASSERT_TRUE(NextItem(rest, '|', 4, item));  // room for 3 bytes: not half of 0x95 0x7C
  EXPECT_EQ(item, "ab");
  EXPECT_EQ(rest, "e");
  EXPECT_TRUE(NextItem(rest, '|', 4, item) && item == "e" && !NextItem(rest, '|', 4, item));
  EXPECT_FALSE(EqualsNoCase("\x95\x61", "\x95\x41"));
  EXPECT_TRUE(EqualsNoCase("x\x95\x61", "X\x95\x61"));
  EXPECT_FALSE(EqualsNoCase("\xE4", "\xC4"));
  EXPECT_TRUE(StartsWithNoCase("<search_path>x", "<SEARCH_PATH>"));
}
}  // namespace
