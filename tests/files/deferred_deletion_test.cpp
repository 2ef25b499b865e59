// Deletion at the next start of Windows: what REMOVEDIRRECURSIVE cannot remove now is left
// to the system's pending operations (NT family) or to "WinInit.Ini" (95/98/Me family).
#include "commands/files/path_routines.h"
#include "files_test_support.h"
#include "support/file_name.h"
#include "support/system_folders.h"

namespace {
using DeferredDeletion = ScriptTest;

// A tree with a file held open by another program and a read-only file.
void MakeTreeInUse(const std::string& tree, UniqueKernelHandle& holder, DWORD holdMs) {
  CreatePath(tree + "\\held\\deep");
  CreatePath(tree + "\\readonly");
  WriteTextFile(tree + "\\a.txt", "x");
  WriteTextFile(tree + "\\readonly\\r.txt", "x");
  SetFileAttributesA((tree + "\\readonly\\r.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  holder = HoldFile(tree + "\\held\\deep\\h.txt", holdMs);
}

// The held file, the read-only one and every folder above them stay until the restart;
// the rest goes now, and a link to a folder outside the tree is removed without entering it.
TEST_F(DeferredDeletion, RemoveTreeSchedulesWhatIsInUseAndNeverEntersALink) {
  const std::string tree = dir_ + "\\tree";
  UniqueKernelHandle holder;
  MakeTreeInUse(tree, holder, 4000);
  ASSERT_TRUE(holder);
  CreatePath(dir_ + "\\outside");
  WriteTextFile(dir_ + "\\outside\\keep.txt", "x");
  bool linked = CreateSymbolicLinkA((tree + "\\link").c_str(), (dir_ + "\\outside").c_str(),
                                    SYMBOLIC_LINK_FLAG_DIRECTORY) != FALSE;

  ASSERT_EQ(Run({"REMOVEDIRRECURSIVE " + tree}), 0u);
  EXPECT_FALSE(FileExists(tree + "\\a.txt"));
  EXPECT_FALSE(IsPending(tree + "\\a.txt"));
  EXPECT_TRUE(FileExists(dir_ + "\\outside\\keep.txt"));
  EXPECT_FALSE(linked && FileExists(tree + "\\link"));
  for (const char* left :
       {"\\held\\deep\\h.txt", "\\held\\deep", "\\held", "\\readonly\\r.txt", "\\readonly", ""}) {
    EXPECT_TRUE(FileExists(tree + left)) << left;
    EXPECT_TRUE(IsPending(tree + left)) << left;
  }
  EXPECT_EQ(WaitExit(holder), 0u);
}

// The two steps of a restart, run only by tools/throwaway-prefix-restart.sh in a prefix of
// their own (never in the one the other tests share).
const std::string kRoot = "C:\\orqrestart";

TEST(RestartPhase, DISABLED_Schedule) {
  RemoveFolderTree(kRoot);
  UniqueKernelHandle holder;  // left running: the restart ends it
  MakeTreeInUse(kRoot + "\\nt", holder, 600000);
  ASSERT_TRUE(holder);
  ASSERT_EQ(
      RunScript(kRoot, "[DefaultInstall]\r\nREMOVEDIRRECURSIVE " + kRoot + "\\nt\r\n").exitCode,
      0u);

  // A copy of the program that sees Windows 98 adds the short names to WinInit.Ini in the
  // form the system reads at its start, after the entries other programs left there.
  const std::string w98 = kRoot + "\\w98", copy = kRoot + "\\OrqexNineEight.exe";
  const std::string winInit = WindowsFolder() + "\\WinInit.Ini";
  CreatePath(w98 + "\\sub");
  WriteTextFile(w98 + "\\sub\\b.txt", "x");
  SetFileAttributesA((w98 + "\\sub\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteTextFile(winInit, "; other programs\r\n[rename]\r\nNUL=C:\\ORQ_OTHER.TXT\r\n");
  CopyOrqexAsNineEight(copy);
  WriteTextFile(kRoot + "\\w98.Orq", "[DefaultInstall]\r\nREMOVEDIRRECURSIVE " + w98 + "\r\n");
  ASSERT_EQ(WaitExit(StartProgram("\"" + copy + "\" /Script=" + kRoot + "\\w98.Orq")), 0u);
  EXPECT_EQ(ReadTextFile(winInit),
            "[rename]\r\nNUL=C:\\ORQ_OTHER.TXT\r\nNUL=" + ShortName(w98 + "\\sub\\b.txt") +
                "\r\n\r\n[DIRNUL]\r\n" + ShortName(w98 + "\\sub") + "=1\r\n" + ShortName(w98) +
                "=1\r\n\r\n");
  std::string renames(1024, '\0');
  renames.resize(GetPrivateProfileSectionA("rename", renames.data(), 1024, winInit.c_str()));
  EXPECT_EQ(renames, std::string("NUL=C:\\ORQ_OTHER.TXT\0NUL=", 25) +
                         ShortName(w98 + "\\sub\\b.txt") + '\0');
}

// What the NT family scheduled is gone, files and folders; of WinInit.Ini the system carries
// out the files only (Wine passes over [DIRNUL]).
TEST(RestartPhase, DISABLED_Verify) {
  EXPECT_FALSE(FileExists(kRoot + "\\nt"));
  EXPECT_FALSE(FileExists(kRoot + "\\w98\\sub\\b.txt"));
  EXPECT_TRUE(FileExists(kRoot + "\\OrqexNineEight.exe"));
}

// The file-name object's system side: a pattern keeps its last part through the short
// form, a bare drive is a folder even when missing, and deleting nothing is only logged.
TEST(FileName, ShortFormKeepsThePatternAndDeleteOfNothingIsLogged) {
  const std::string dir = MakeScratchDir("FileName_ShortForm") + "\\A long folder name";
  CreateDirectoryA(dir.c_str(), nullptr);
  CFileName pattern(dir + "\\*.*");
  ASSERT_TRUE(pattern.MakeShortPath());
  EXPECT_EQ(pattern.Path(), ShortName(dir) + "\\*.*");
  EXPECT_TRUE(CFileName("Q:\\").IsDirectory());
  EXPECT_FALSE(CFileName(dir + "\\missing").IsDirectory());
  const std::string agentLog = WindowsFolder() + "\\tevAgent.log";
  DeleteFileA(agentLog.c_str());
  EXPECT_FALSE(CFileName().Delete());
  EXPECT_NE(ReadTextFile(agentLog).find("Attempt to delete undefined file"), std::string::npos);
  RemoveFolderTree(dir);
}
}  // namespace
