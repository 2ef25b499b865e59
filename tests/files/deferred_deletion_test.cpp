// Deletion at the next start of Windows: what REMOVEDIRRECURSIVE cannot remove now is left
// to the system's pending operations (NT family) or to "WinInit.Ini" (95/98/Me family).
#include <algorithm>
#include <cstdlib>

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

// The two steps of a restart, run only inside a throwaway copy of the prefix by
// restart_throwaway_prefix.sh (never in the prefix the other tests share).
const std::string kRestartRoot = "C:\\orqrestart";

TEST(RestartPhase, DISABLED_Schedule) {
  RemoveFolderTree(kRestartRoot);
  // The NT family: a held file and a read-only one keep the tree until the restart.
  const std::string nt = kRestartRoot + "\\nt";
  CreatePath(nt + "\\sub");
  WriteTextFile(nt + "\\a.txt", "x");
  WriteTextFile(nt + "\\sub\\ro.txt", "x");
  SetFileAttributesA((nt + "\\sub\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  UniqueKernelHandle holder = HoldFile(nt + "\\sub\\held.txt", 600000);  // ended by the restart
  ASSERT_TRUE(holder);
  ASSERT_EQ(
      RunScript(kRestartRoot, "[DefaultInstall]\r\nREMOVEDIRRECURSIVE " + nt + "\r\n").exitCode,
      0u);
  EXPECT_TRUE(IsPending(PendingDeletions(), nt + "\\sub\\held.txt"));

  // The 95/98/Me family: a copy of the program that sees Windows 98 fills WinInit.Ini.
  const std::string w98 = kRestartRoot + "\\w98";
  CreatePath(w98 + "\\sub");
  WriteTextFile(w98 + "\\sub\\ro.txt", "x");
  SetFileAttributesA((w98 + "\\sub\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string copy = kRestartRoot + "\\OrqexNineEight.exe";
  ASSERT_TRUE(CopyFileA((TestBinDir() + "\\Orqex.exe").c_str(), copy.c_str(), FALSE));
  PutRegistryValue(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\OrqexNineEight.exe", "Version",
                   Sz("win98"));
  WriteTextFile(kRestartRoot + "\\w98.Orq",
                "[DefaultInstall]\r\nREMOVEDIRRECURSIVE " + w98 + "\r\n");
  UniqueKernelHandle run = StartProgram("\"" + copy + "\" /Script=" + kRestartRoot + "\\w98.Orq");
  ASSERT_EQ(WaitExit(run), 0u);
  EXPECT_NE(ReadTextFile(WindowsFolder() + "\\WinInit.Ini")
                .find("NUL=" + ShortName(w98 + "\\sub\\ro.txt")),
            std::string::npos);
}

// Files and folders scheduled on the NT family are gone; of WinInit.Ini the system carries
// out the files only (Wine passes over [DIRNUL]).
TEST(RestartPhase, DISABLED_Verify) {
  EXPECT_FALSE(FileExists(kRestartRoot + "\\nt"));
  EXPECT_FALSE(FileExists(kRestartRoot + "\\w98\\sub\\ro.txt"));
  EXPECT_TRUE(FileExists(kRestartRoot + "\\OrqexNineEight.exe"));  // the prefix did restart
}

// Runs the two steps above around a restart of a throwaway copy of this prefix.
TEST(Restart, CarriesOutWhatWasScheduledInAThrowawayPrefix) {
  const char* source = std::getenv("ORQ_SOURCE_DIR");
  const char* prefix = std::getenv("WINEPREFIX");
  const std::string program = TestBinDir() + "\\orq_files_tests.exe";
  if (!source || !prefix || program.rfind("Z:\\", 0) != 0) {
    GTEST_SKIP() << "needs the build's prefix, the source folder and a program on drive Z:";
  }
  auto unixPath = [](std::string path) {
    path.erase(0, 2);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
  };
  const std::string done = "/tmp/orq-restart-" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(GetTickCount()) + ".done";
  std::string doneWindows = "Z:" + done;
  std::replace(doneWindows.begin(), doneWindows.end(), '/', '\\');
  // Wine starts a Unix program without a process handle: the done file says it finished.
  StartProgram("Z:\\bin\\bash " + std::string(source) +
               "/tests/files/restart_throwaway_prefix.sh " + prefix + " " + unixPath(program) +
               " " + done);
  for (int waited = 0; !FileExists(doneWindows) && waited < 280; ++waited) Sleep(1000);
  const std::string report = ReadTextFile(doneWindows);
  DeleteFileA(doneWindows.c_str());
  EXPECT_NE(report.find("Schedule=0"), std::string::npos) << report;
  EXPECT_NE(report.find("Verify=0"), std::string::npos) << report;
}
