#include "host/script_folder_cleanup.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "files/files_test_support.h"

namespace {
// Roots, shares and the system's folders under any name are the folder guard's own test;
// here the program's folder under its names, the bare drive "C:", and what a deletion
// leaves: dot folders, and what a link reaches.
TEST(ScriptFolderDeletion, KeepsTheProgramFolderUnderAnyNameAndNeverFollowsALink) {
  const std::string base = MakeScratchDir("ScriptFolderDeletion");
  const std::string program = base + "\\Long Program Folder", victim = base + "\\victim";
  CreateDirectoryA(program.c_str(), nullptr);
  std::string dir(MAX_PATH, '\0');
  // Relative names resolve from the current folder, here the program's; "C:" is still the root.
  GetCurrentDirectoryA(MAX_PATH, dir.data());
  SetCurrentDirectoryA(program.c_str());
  for (const std::string& folder : {std::string("C:"), std::string(""), program + "\\",
                                    ShortName(program), base, std::string("."),
                                    ZSpellingOf(program)}) {
    EXPECT_TRUE(IsProtectedFolder(folder, program)) << folder;
  }
  for (const std::string& folder : {program + "\\scripts", program + "2"}) {
    EXPECT_FALSE(IsProtectedFolder(folder, program)) << folder;
  }
  SetCurrentDirectoryA(dir.c_str());

  for (const char* folder : {"", "\\sub", "\\sub\\deeper", "\\.hidden"}) {
    CreateDirectoryA((victim + folder).c_str(), nullptr);
  }
  for (const char* file : {"\\noext", "\\sub\\deeper\\b.txt", "\\.hidden\\kept.txt"}) {
    WriteTextFile(victim + file, "x");
  }
  ASSERT_NO_FATAL_FAILURE(MakeUnixLink(UnixPath(victim), base + "\\linked"));
  EXPECT_TRUE(DeleteScriptFolder(base + "\\linked", program));
  EXPECT_TRUE(FileExists(victim + "\\noext"));
  EXPECT_TRUE(DeleteScriptFolder(victim, program));
  EXPECT_FALSE(FileExists(victim + "\\noext") || FileExists(victim + "\\sub"));  // "*.*" finds both
  EXPECT_TRUE(FileExists(victim + "\\.hidden\\kept.txt"));
  RemoveFolderTree(base);
}
}  // namespace
