// Deletion at the next start of Windows: what REMOVEDIRRECURSIVE cannot remove now is left
// to the system's pending operations (NT family) or to "WinInit.Ini" (95/98/Me family).
#include <algorithm>

#include "commands/files/path_routines.h"
#include "files_test_support.h"
#include "support/schedule_delete.h"
#include "support/system_folders.h"

namespace {
using DeferredDeletion = ScriptTest;

bool IsPending(const std::vector<std::string>& pending, const std::string& path) {
  return std::find_if(pending.begin(), pending.end(), [&](const std::string& name) {
           return lstrcmpiA(name.c_str(), path.c_str()) == 0;
         }) != pending.end();
}

std::string ShortName(const std::string& path) {
  std::string shortName(MAX_PATH, '\0');
  shortName.resize(GetShortPathNameA(path.c_str(), shortName.data(), MAX_PATH));
  return shortName;
}

// A held file, a read-only file and every folder above them stay until the restart; the
// rest goes now, and a link to a folder outside the tree is removed without entering it.
TEST_F(DeferredDeletion, RemoveTreeSchedulesWhatIsInUseAndNeverEntersALink) {
  const std::string tree = dir_ + "\\tree";
  CreatePath(tree + "\\held\\deep");
  CreatePath(tree + "\\readonly");
  CreatePath(tree + "\\plain");
  CreatePath(dir_ + "\\outside");
  WriteTextFile(tree + "\\a.txt", "x");
  WriteTextFile(tree + "\\plain\\p.txt", "x");
  WriteTextFile(tree + "\\readonly\\r.txt", "x");
  SetFileAttributesA((tree + "\\readonly\\r.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteTextFile(dir_ + "\\outside\\keep.txt", "x");
  bool linked = CreateSymbolicLinkA((tree + "\\link").c_str(), (dir_ + "\\outside").c_str(),
                                    SYMBOLIC_LINK_FLAG_DIRECTORY) != FALSE;
  UniqueKernelHandle holder = HoldFile(tree + "\\held\\deep\\h.txt", 4000);
  ASSERT_TRUE(holder);

  ASSERT_EQ(Run({"REMOVEDIRRECURSIVE " + tree}), 0u);
  EXPECT_FALSE(FileExists(tree + "\\a.txt"));
  EXPECT_FALSE(FileExists(tree + "\\plain"));
  EXPECT_TRUE(FileExists(dir_ + "\\outside\\keep.txt"));
  if (linked) {
    EXPECT_FALSE(FileExists(tree + "\\link"));
  }
  std::vector<std::string> pending = PendingDeletions();
  for (const char* left :
       {"\\held\\deep\\h.txt", "\\held\\deep", "\\held", "\\readonly\\r.txt", "\\readonly", ""}) {
    EXPECT_TRUE(FileExists(tree + left)) << left;
    EXPECT_TRUE(IsPending(pending, tree + left)) << left;
  }
  EXPECT_FALSE(IsPending(pending, tree + "\\a.txt"));
  EXPECT_EQ(WaitExit(holder), 0u);
  SetFileAttributesA((tree + "\\readonly\\r.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!linked) GTEST_SKIP() << "no folder links on this system";
}

// A copy of the program that sees Windows 98 writes the short names into WinInit.Ini in
// the form the system reads at its start, after the entries other programs left there.
TEST_F(DeferredDeletion, TheNineEightFamilyWritesWinInitAndKeepsOtherEntries) {
  const std::string copy = TestBinDir() + "\\OrqexNineEight.exe";
  const std::string appKey = "Software\\Wine\\AppDefaults\\OrqexNineEight.exe";
  ASSERT_TRUE(CopyFileA((TestBinDir() + "\\Orqex.exe").c_str(), copy.c_str(), FALSE));
  PutRegistryValue(HKEY_CURRENT_USER, appKey, "Version", Sz("win98"));
  const std::string winInit = WindowsFolder() + "\\WinInit.Ini";
  const bool hadWinInit = FileExists(winInit);
  const std::string before = ReadTextFile(winInit);
  WriteTextFile(winInit, "; other programs\r\n[rename]\r\nNUL=C:\\ORQ_OTHER.TXT\r\n");

  const std::string tree = dir_ + "\\tree";
  CreatePath(tree + "\\sub");
  WriteTextFile(tree + "\\a.txt", "x");
  WriteTextFile(tree + "\\sub\\b.txt", "x");
  SetFileAttributesA((tree + "\\sub\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteTextFile(dir_ + "\\test.Orq", "[DefaultInstall]\r\nREMOVEDIRRECURSIVE " + tree + "\r\n");
  UniqueKernelHandle run =
      StartProgram("\"" + copy + "\" /Script=" + dir_ + "\\test.Orq /Log=" + dir_ + "\\run.log");
  EXPECT_EQ(WaitExit(run), 0u) << Log();

  const std::string written = ReadTextFile(winInit);
  EXPECT_EQ(written, "[rename]\r\nNUL=C:\\ORQ_OTHER.TXT\r\nNUL=" +
                         ShortName(tree + "\\sub\\b.txt") + "\r\n\r\n[DIRNUL]\r\n" +
                         ShortName(tree + "\\sub") + "=1\r\n" + ShortName(tree) + "=1\r\n\r\n");
  std::string renames(1024, '\0');
  renames.resize(GetPrivateProfileSectionA("rename", renames.data(), 1024, winInit.c_str()));
  EXPECT_EQ(renames, std::string("NUL=C:\\ORQ_OTHER.TXT\0NUL=", 25) +
                         ShortName(tree + "\\sub\\b.txt") + '\0');
  EXPECT_FALSE(FileExists(tree + "\\a.txt"));
  EXPECT_TRUE(FileExists(tree + "\\sub\\b.txt"));

  SetFileAttributesA((tree + "\\sub\\b.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  if (hadWinInit) {
    WriteTextFile(winInit, before);
  } else {
    DeleteFileA(winInit.c_str());
  }
  SHDeleteKeyA(HKEY_CURRENT_USER, appKey.c_str());
  DeleteFileA(copy.c_str());
}

TEST(ScheduleDelete, RecordsAFileAndAnEmptyFolderForTheNextStart) {
  const std::string dir = MakeScratchDir("ScheduleDelete_Records");
  WriteTextFile(dir + "\\f.txt", "x");
  ASSERT_TRUE(ScheduleDelete(dir + "\\f.txt"));
  ASSERT_TRUE(ScheduleDelete(dir));
  std::vector<std::string> pending = PendingDeletions();
  EXPECT_TRUE(IsPending(pending, dir + "\\f.txt"));
  EXPECT_TRUE(IsPending(pending, dir));
  EXPECT_FALSE(ScheduleDelete(""));
}
}  // namespace
