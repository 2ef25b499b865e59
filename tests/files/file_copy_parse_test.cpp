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
      {"a.dll,", false, "a.dll", ""},
      {" ,b", false, "", "b"},
  };
  for (const Row& row : rows) {
    ListedFileNames names;
    EXPECT_EQ(SplitListedFile(row.text, names), row.ok) << row.text;
    EXPECT_EQ(names.source, row.source) << row.text;
    EXPECT_EQ(names.target, row.target) << row.text;
  }
}

TEST(CopyableList, NeedsAnEqualsSignEarlyAndNeverCutsAPath) {
  std::string name, list, item;
  EXPECT_FALSE(SplitNameAndList(std::string(260, 'n') + "=a", name, list));
  ASSERT_TRUE(SplitNameAndList(" R = a, ,b", name, list));
  std::string_view rest = list;
  bool fits = false;
  EXPECT_TRUE(NextListedPath(rest, item, fits) && item == "a" && fits);
  EXPECT_FALSE(NextListedPath(rest, item, fits)) << "an empty item ends the list";
  std::string longList = std::string(260, 'p');
  rest = longList;
  EXPECT_TRUE(NextListedPath(rest, item, fits) && item.size() == 260 && !fits);
}
}  // namespace
