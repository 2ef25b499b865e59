#include "host/script_folder_cleanup.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "files/files_test_support.h"
#include "support/system_folders.h"

namespace {
TEST(ScriptFolderGuard, RootsWindowsAndProgramFoldersAndTheirParentsAreProtected) {
  const std::string base = MakeScratchDir("ScriptFolderGuard");
  const std::string program = base + "\\Long Program Folder";
  CreateDirectoryA(program.c_str(), nullptr);
  const std::string windows = WindowsFolder();
  const std::string shortProgram = ShortName(program);
  // Second names: the same folders through links and through Wine's drive Z:.
  ASSERT_NO_FATAL_FAILURE(MakeUnixLink(UnixPath(program), base + "\\to_program"));
  ASSERT_NO_FATAL_FAILURE(MakeUnixLink(UnixPath(windows), base + "\\to_windows"));
  std::string dir(MAX_PATH, '\0');
  // Relative names resolve from the current folder, here the program's; "C:" is still the root.
  GetCurrentDirectoryA(MAX_PATH, dir.data());
  SetCurrentDirectoryA(program.c_str());

  for (const std::string& folder :
       {std::string("C:"), std::string("c:\\"), std::string(""), std::string("\\\\server\\share"),
        windows, windows + "\\system32\\..", program + "\\", shortProgram,
        base, std::string("C:\\orqtest"), std::string("."), base + "\\to_program",
        base + "\\to_windows", ZSpellingOf(program), ZSpellingOf(windows), ZSpellingOf(base)}) {
    EXPECT_TRUE(IsProtectedFolder(folder, program)) << folder;
  }
  for (const std::string& folder : {program + "\\scripts", program + "2", windows + "x"}) {
    EXPECT_FALSE(IsProtectedFolder(folder, program)) << folder;
  }
  SetCurrentDirectoryA(dir.c_str());
  RemoveFolderTree(base);
}

// The folder itself goes too once it is empty: the whole runs check that.
TEST(ScriptFolderDeletion, RemovesFilesAndSubFoldersButDotFoldersAndLockedFilesStay) {
  const std::string base = MakeScratchDir("ScriptFolderDeletion");
  const std::string victim = base + "\\victim";
  for (const char* folder : {"", "\\sub", "\\sub\\deeper", "\\.hidden"}) {
    CreateDirectoryA((victim + folder).c_str(), nullptr);
  }
  for (const char* file :
       {"\\noext", "\\sub\\deeper\\b.txt", "\\.hidden\\kept.txt", "\\readonly.txt"}) {
    WriteTextFile(victim + file, "x");
  }
  SetFileAttributesA((victim + "\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(DeleteScriptFolder(victim, base + "\\program"));
  EXPECT_FALSE(FileExists(victim + "\\noext"));
  EXPECT_FALSE(FileExists(victim + "\\sub"));
  EXPECT_TRUE(FileExists(victim + "\\.hidden\\kept.txt"));
  EXPECT_TRUE(FileExists(victim + "\\readonly.txt"));
  SetFileAttributesA((victim + "\\readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveFolderTree(base);
}
}  // namespace
