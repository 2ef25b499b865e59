// The path routines the INI commands look files up with.
#include "commands/files/path_routines.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "support/mbcs.h"
#include "support_code/win32_test_utils.h"

namespace {
TEST(AppendPath, JoinsWithExactlyOneBackslashAndRefusesWhatWouldNotFit) {
  SetAnsiCodePageForTesting(932);
  const char* cases[][3] = {{"C:\\Dir\\", "\\a.ini", "C:\\Dir\\a.ini"},
                            {"C:\\Dir", "a.ini", "C:\\Dir\\a.ini"}, {"", "a.ini", "\\a.ini"},
                            {"C:\\", "", "C:\\"},
                            // ends in a character whose trail byte is "\": no folder end
                            {"C:\\\x95\x5C", "a.ini", "C:\\\x95\x5C\\a.ini"}};
  for (auto [folder, name, joined] : cases) {
    std::string path = folder;
    EXPECT_TRUE(AppendPath(path, MAX_PATH, name)) << folder << " + " << name;
    EXPECT_EQ(path, joined);
  }
  SetAnsiCodePageForTesting(0);
  std::string folder(250, 'f');
  EXPECT_TRUE(AppendPath(folder, 260, std::string(7, 'n')));  // 250 + 7 + 2 = 259
  folder.assign(250, 'f');
  EXPECT_FALSE(AppendPath(folder, 260, std::string(8, 'n')));  // 260: no room for the zero
  EXPECT_EQ(folder, std::string(250, 'f'));
}

// A place where the joined name would not fit is passed over, not tried under a cut name.
TEST(SearchFile, PassesOverAPlaceWhoseJoinedNameWouldNotFit) {
  const std::string dir = MakeScratchDir("SearchFile_PassesOver");
  WriteTextFile(dir + "\\long.ini", "x");
  std::string path = "long.ini";
  EXPECT_FALSE(SearchFile(dir, path, dir.size() + 5));
  EXPECT_EQ(path, "long.ini");
  ASSERT_TRUE(SearchFile(dir, path, MAX_PATH));
  EXPECT_EQ(path, dir + "\\long.ini");
  RemoveFolderTree(dir);
}
}  // namespace
