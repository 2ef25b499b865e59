#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "host/script_folder_cleanup.h"
#include "support_code/win32_test_utils.h"

namespace {
std::string WindowsDir() {
  char dir[MAX_PATH];
  UINT n = GetWindowsDirectoryA(dir, MAX_PATH);
  return std::string(dir, n);
}

std::string ShortName(const std::string& path) {
  char out[MAX_PATH];
  DWORD n = GetShortPathNameA(path.c_str(), out, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(out, n) : path;
}

TEST(ScriptFolderGuard, RootsWindowsAndProgramFoldersAndTheirParentsAreProtected) {
  const std::string base = MakeScratchDir("ScriptFolderGuard");
  const std::string program = base + "\\Long Program Folder";
  CreateDirectoryA(program.c_str(), nullptr);
  const std::string windows = WindowsDir();

  for (const std::string& folder :
       {std::string("C:"), std::string("C:\\"), std::string("c:\\"), std::string("Z:"),
        std::string(""), std::string("\\\\server\\share"), windows, windows + "\\",
        windows + "\\system32\\..", ShortName(windows), program, program + "\\", base,
        ShortName(program), std::string("C:\\orqtest")}) {
    EXPECT_TRUE(IsProtectedFolder(folder, program)) << folder;
  }
  // "C:" is the drive's root even while the current folder is somewhere on drive C.
  const std::string elsewhere = base + "\\elsewhere";
  CreateDirectoryA(elsewhere.c_str(), nullptr);
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(elsewhere.c_str());
  EXPECT_TRUE(IsProtectedFolder("C:", program));
  EXPECT_FALSE(IsProtectedFolder(".", program));
  SetCurrentDirectoryA(previous);

  for (const std::string& folder : {program + "\\scripts", base + "\\Long Program Folder2",
                                    base + "\\other", windows + "x"}) {
    EXPECT_FALSE(IsProtectedFolder(folder, program)) << folder;
  }
  RemoveFolderTree(base);
}

TEST(ScriptFolderGuard, AProtectedFolderLosesNothing) {
  const std::string program = MakeScratchDir("ScriptFolderGuard_program");
  WriteTextFile(program + "\\keep.txt", "k");
  EXPECT_FALSE(DeleteScriptFolder(program, program));
  EXPECT_FALSE(DeleteScriptFolder(program + "\\sub\\..", program));
  EXPECT_TRUE(FileExists(program + "\\keep.txt"));
  RemoveFolderTree(program);
}

TEST(ScriptFolderDeletion, RemovesFilesAndSubFoldersThenTheFolder) {
  const std::string base = MakeScratchDir("ScriptFolderDeletion");
  const std::string victim = base + "\\victim";
  CreateDirectoryA(victim.c_str(), nullptr);
  CreateDirectoryA((victim + "\\sub").c_str(), nullptr);
  CreateDirectoryA((victim + "\\sub\\deeper").c_str(), nullptr);
  WriteTextFile(victim + "\\setup.Orq", "[DefaultInstall]\n");
  WriteTextFile(victim + "\\noext", "x");
  WriteTextFile(victim + "\\sub\\a.txt", "a");
  WriteTextFile(victim + "\\sub\\deeper\\b.txt", "b");
  EXPECT_TRUE(DeleteScriptFolder(victim, base + "\\program"));
  EXPECT_FALSE(FileExists(victim));
  EXPECT_TRUE(FileExists(base));
  RemoveFolderTree(base);
}

TEST(ScriptFolderDeletion, DotFoldersAndLockedFilesStaySilently) {
  const std::string base = MakeScratchDir("ScriptFolderDeletion_partial");
  const std::string victim = base + "\\victim";
  CreateDirectoryA(victim.c_str(), nullptr);
  CreateDirectoryA((victim + "\\.hidden").c_str(), nullptr);
  WriteTextFile(victim + "\\.hidden\\kept.txt", "k");
  WriteTextFile(victim + "\\gone.txt", "g");
  WriteTextFile(victim + "\\readonly.txt", "r");
  SetFileAttributesA((victim + "\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);

  EXPECT_TRUE(DeleteScriptFolder(victim, base + "\\program"));
  EXPECT_FALSE(FileExists(victim + "\\gone.txt"));
  EXPECT_TRUE(FileExists(victim + "\\.hidden\\kept.txt"));
  EXPECT_TRUE(FileExists(victim + "\\readonly.txt"));
  SetFileAttributesA((victim + "\\readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveFolderTree(base);
}
}  // namespace
