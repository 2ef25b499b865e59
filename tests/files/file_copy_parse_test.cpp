#include "commands/files/file_copy_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
TEST(FileListLine, SplitsAtTheFirstCommaAndRefusesAnEmptyName) {
  struct Row {
    std::string text;
    bool ok;
    std::string source, target;
  } rows[] = {
      {" a.dll , sub\\b.dll ", true, "a.dll", "sub\\b.dll"},
      {"one.txt", true, "one.txt", "one.txt"},
      {"a,b,c", true, "a", "b,c"},
      {"a.dll,", false, "a.dll", ""},
      {" ,b", false, "", "b"},
      {"", false, "", ""},
  };
  for (const Row& row : rows) {
    ListedFileNames names;
    EXPECT_EQ(SplitListedFile(row.text, names), row.ok) << row.text;
    EXPECT_EQ(names.source, row.source) << row.text;
    EXPECT_EQ(names.target, row.target) << row.text;
  }
  std::string source, target;
  EXPECT_FALSE(SplitSourceTarget("no comma", source, target));
  ASSERT_TRUE(SplitSourceTarget(" C:\\a , D:\\b,c ", source, target));
  EXPECT_EQ(source + "|" + target, "C:\\a|D:\\b,c");
}

TEST(CopyableList, NeedsAnEqualsSignEarlyAndNeverCutsAPath) {
  std::string name, list;
  EXPECT_FALSE(SplitNameAndList("no equals sign", name, list));
  EXPECT_FALSE(SplitNameAndList(std::string(260, 'n') + "=a", name, list));
  ASSERT_TRUE(SplitNameAndList(" R = a, b ,," + std::string(300, 'c'), name, list));
  EXPECT_EQ(name, "R");

  std::string_view rest = list;
  std::string item;
  std::vector<std::string> items;
  bool fits = true;
  while (NextListedPath(rest, item, fits)) items.push_back(item);
  EXPECT_EQ(items, (std::vector<std::string>{"a", "b"})) << "an empty item ends the list";

  std::string longList = "x," + std::string(260, 'p');
  rest = longList;
  ASSERT_TRUE(NextListedPath(rest, item, fits));
  EXPECT_TRUE(fits);
  ASSERT_TRUE(NextListedPath(rest, item, fits));
  EXPECT_EQ(item.size(), 260u);
  EXPECT_FALSE(fits);
}
}  // namespace
