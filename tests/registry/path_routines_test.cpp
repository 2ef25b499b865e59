// The path routines the INI commands look files up with.
#include "commands/files/path_routines.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "engine/mbcs.h"
#include "support_code/win32_test_utils.h"

namespace {
TEST(AppendPath, JoinsWithExactlyOneBackslash) {
  struct Case {
    const char* folder;
    const char* name;
    const char* joined;
  } cases[] = {{"C:\\Dir\\", "\\a.ini", "C:\\Dir\\a.ini"},
               {"C:\\Dir", "a.ini", "C:\\Dir\\a.ini"},
               {"C:\\Dir\\", "a.ini", "C:\\Dir\\a.ini"},
               {"C:\\Dir", "\\a.ini", "C:\\Dir\\a.ini"},
               {"", "a.ini", "\\a.ini"},
               {"C:\\", "", "C:\\"}};
  for (const Case& c : cases) {
    std::string folder = c.folder;
    ASSERT_TRUE(AppendPath(folder, MAX_PATH, c.name)) << c.folder << " + " << c.name;
    EXPECT_EQ(folder, c.joined);
  }
}

TEST(AppendPath, RefusesAResultThatWouldNotFitAndLeavesTheFolder) {
  std::string folder(250, 'f');
  EXPECT_TRUE(AppendPath(folder, 260, std::string(7, 'n')));  // 250 + 7 + 2 = 259
  folder.assign(250, 'f');
  EXPECT_FALSE(AppendPath(folder, 260, std::string(8, 'n')));  // 260: no room for the zero
  EXPECT_EQ(folder, std::string(250, 'f'));
}

TEST(AppendPath, TrailByteBackslashIsNoFolderEnd) {
  SetAnsiCodePageForTesting(932);
  std::string folder = "C:\\\x95\x5C";  // ends in a character whose trail byte is "\"
  ASSERT_TRUE(AppendPath(folder, MAX_PATH, "a.ini"));
  EXPECT_EQ(folder, "C:\\\x95\x5C\\a.ini");
  SetAnsiCodePageForTesting(0);
}

class SearchFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchDir(std::string("SearchFile_") +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override { RemoveFolderTree(dir_); }
  std::string dir_;
};

TEST_F(SearchFileTest, FindsAFileOnlyInTheWorkingFolderAndGivesItsFullName) {
  WriteTextFile(dir_ + "\\only_here.ini", "x");
  std::string path = "only_here.ini";
  EXPECT_FALSE(SearchFile("", path, MAX_PATH));
  EXPECT_EQ(path, "only_here.ini");
  ASSERT_TRUE(SearchFile(dir_, path, MAX_PATH));
  EXPECT_EQ(path, dir_ + "\\only_here.ini");
  EXPECT_TRUE(IsExistingFile(path));
}

TEST_F(SearchFileTest, FindsAFileOnlyInTheWindowsAndSystemFolders) {
  char windows[MAX_PATH] = {}, system[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  GetSystemDirectoryA(system, MAX_PATH);
  std::string inWindows = std::string(windows) + "\\orq_search_windows.ini";
  std::string inSystem = std::string(system) + "\\orq_search_system.ini";
  WriteTextFile(inWindows, "x");
  WriteTextFile(inSystem, "x");
  std::string a = "orq_search_windows.ini", b = "orq_search_system.ini";
  bool foundA = SearchFile(dir_, a, MAX_PATH);
  bool foundB = SearchFile(dir_, b, MAX_PATH);
  DeleteFileA(inWindows.c_str());
  DeleteFileA(inSystem.c_str());
  EXPECT_TRUE(foundA);
  EXPECT_TRUE(lstrcmpiA(a.c_str(), inWindows.c_str()) == 0) << a;
  EXPECT_TRUE(foundB);
  EXPECT_TRUE(lstrcmpiA(b.c_str(), inSystem.c_str()) == 0) << b;
}

TEST_F(SearchFileTest, FoldersAndOverlongCandidatesAreNotFiles) {
  CreateDirectoryA((dir_ + "\\folder.ini").c_str(), nullptr);
  std::string path = "folder.ini";
  EXPECT_FALSE(SearchFile(dir_, path, MAX_PATH));
  EXPECT_FALSE(IsExistingFile(dir_ + "\\folder.ini"));
  EXPECT_FALSE(IsExistingFile(dir_ + "\\nothing.ini"));

  // Joined with the working folder the name would not fit: that place is passed over
  // rather than tried under a cut name.
  WriteTextFile(dir_ + "\\long.ini", "x");
  path = "long.ini";
  EXPECT_FALSE(SearchFile(dir_, path, dir_.size() + 5));
  EXPECT_EQ(path, "long.ini");
}
}  // namespace
