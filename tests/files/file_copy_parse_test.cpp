#include "commands/files/file_copy_parse.h"

#include <gtest/gtest.h>

#include <string>

namespace {
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
