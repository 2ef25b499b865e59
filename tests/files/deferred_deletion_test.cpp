// What cannot be removed now is left to the next start: pending operations or WinInit.Ini.
#include "commands/files/path_routines.h"
#include "files_test_support.h"
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
  const std::string event = "OrqFileHeld" + std::to_string(GetTickCount());
  holder = StartProgram("\"" + TestBinDir() + "\\file_holder.exe\" open \"" + tree +
                            "\\held\\deep\\h.txt\" 0 " + std::to_string(holdMs) + " " + event,
                        event.c_str());
}

// The held file, the read-only one and every folder above them stay until the restart (a
// read-only folder loses the attribute first); the rest goes now. What a link or a second
// name reaches is never touched; a link Wine cannot remove apart from its target is logged.
TEST_F(DeferredDeletion, RemoveTreeSchedulesWhatIsInUseAndNeverTouchesWhatLinksReach) {
  if (WinePrefix().empty()) GTEST_SKIP() << "no prefix";
  const std::string tree = dir_ + "\\tree", outside = dir_ + "\\outside";
  UniqueKernelHandle holder;
  MakeTreeInUse(tree, holder, 8000);
  ASSERT_TRUE(holder);
  SetFileAttributesA((tree + "\\held").c_str(), FILE_ATTRIBUTE_READONLY);
  for (const char* folder : {"\\full", "\\empty", "\\named"}) CreatePath(outside + folder);
  for (const char* kept : {"\\full\\keep.txt", "\\named\\keep.txt", "\\shared.txt"}) {
    WriteTextFile(outside + kept, "x");
  }
  SetFileAttributesA((outside + "\\shared.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  const std::pair<std::string, std::string> links[] = {
      {"\\full", tree + "\\full"}, {"\\empty", tree + "\\empty"},
      {"\\named", dir_ + "\\named"}, {"\\empty", dir_ + "\\namedEmpty"}};
  for (const auto& [target, link] : links) {
    ASSERT_NO_FATAL_FAILURE(MakeUnixLink(UnixPath(outside + target), link));
  }
  ASSERT_NO_FATAL_FAILURE(
      MakeUnixLink(UnixPath(outside + "\\shared.txt"), tree + "\\shared.txt", true));

  EXPECT_EQ(Run({"REMOVEDIR " + dir_ + "\\namedEmpty", "REMOVEDIRRECURSIVE " + dir_ + "\\named",
                 "REMOVEDIRRECURSIVE " + dir_ + "\\namedEmpty", "REMOVEDIRRECURSIVE " + tree}),
            0u);
  for (const char* kept : {"\\full\\keep.txt", "\\named\\keep.txt", "\\empty", "\\shared.txt"}) {
    EXPECT_TRUE(FileExists(outside + kept)) << kept;
  }
  EXPECT_TRUE(HasAttribute(outside + "\\shared.txt", FILE_ATTRIBUTE_READONLY));
  for (const auto& [target, link] : links) {
    EXPECT_TRUE(!FileExists(link) || Log().find("Link kept: " + link) != std::string::npos)
        << link << "\n" << Log();
  }
  EXPECT_FALSE(FileExists(tree + "\\a.txt"));
  EXPECT_FALSE(IsPending(tree + "\\a.txt"));
  for (const char* left : {"\\held\\deep\\h.txt", "\\held\\deep", "\\held", "\\readonly\\r.txt",
                           "\\readonly", "\\shared.txt", ""}) {
    EXPECT_TRUE(FileExists(tree + left)) << left;
    EXPECT_TRUE(IsPending(tree + left)) << left;
  }
  EXPECT_FALSE(HasAttribute(tree + "\\held", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(WaitExit(holder), 0u);
  for (const auto& [target, link] : links) RunUnixShell("rm -f " + UnixPath(link));
}

// The 95/98/Me family writes into "WinInit.Ini" only what it read whole: a control file
// holding lines a rewrite would lose stays byte for byte, and the line fails (10 for
// DELETEONEFILE, 52 for REMOVEDIRRECURSIVE) rather than pass without its deletion.
TEST_F(DeferredDeletion, NineEightFamilyNeverRewritesAControlFileItCannotReadWhole) {
  const std::string winInit = WindowsFolder() + "\\WinInit.Ini", copy = dir_ + "\\OrqexW98.exe";
  CopyOrqexAsNineEight(copy);
  UniqueKernelHandle holder;
  MakeTreeInUse(dir_ + "\\tree", holder, 20000);
  const std::string held = dir_ + "\\tree\\held\\deep\\h.txt";
  const std::pair<std::string, std::string> rows[] = {  // content, line
      {"[rename]\r\nNUL=C:\\ORQ_A.TXT\r\n[\xE9t\xE9]\r\nx=1\r\n", "DELETEONEFILE " + held},
      {"note without a section\r\n[rename]\r\nNUL=C:\\ORQ_A.TXT\r\n",
       "REMOVEDIRRECURSIVE " + dir_ + "\\tree"},
      {std::string("[rename]\r\nNUL=C:\\ORQ_A.TXT\0NUL=C:\\ORQ_B.TXT\r\n", 45),
       "DELETEONEFILE " + held}};
  for (const auto& [content, line] : rows) {
    SCOPED_TRACE(line + "\n" + content);
    WriteTextFile(winInit, content);
    WriteTextFile(dir_ + "\\w98.Orq", "[DefaultInstall]\r\n" + line + "\r\nSET After=1\r\n");
    OrqexRun run =
        RunProgram("\"" + copy + "\" /Script=" + dir_ + "\\w98.Orq /Log=" + dir_ + "\\run.log");
    EXPECT_EQ(run.exitCode, line[0] == 'D' ? 10u : 52u);
    EXPECT_NE(Log().find("Error:"), std::string::npos) << Log();
    EXPECT_EQ(ReadTextFile(winInit), content);
    EXPECT_TRUE(FileExists(held));
  }
  DeleteFileA(winInit.c_str());
  TerminateProcess(holder.Get(), 0);
  WaitExit(holder, 5000);
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
  const std::string w98 = kRoot + "\\ninety8", copy = kRoot + "\\OrqexNineEight.exe";
  const std::string winInit = WindowsFolder() + "\\WinInit.Ini";
  CreatePath(w98 + "\\sub");
  WriteTextFile(w98 + "\\sub\\b.txt", "x");
  SetFileAttributesA((w98 + "\\sub\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  // Another program's entries, written with line feeds alone, and a relative name that is
  // written full (the system reads it at its start against another current folder).
  WriteTextFile(winInit, "; other programs\n[rename]\nNUL=C:\\ORQ_OTHER.TXT\n");
  WriteTextFile("C:\\ORQ_OTHER.TXT", "x");
  CopyOrqexAsNineEight(copy);
  WriteTextFile(kRoot + "\\w98.Orq", "[DefaultInstall]\r\nREMOVEDIRRECURSIVE ninety8\r\n");
  SetCurrentDirectoryA(kRoot.c_str());  // the relative name is read against it
  ASSERT_EQ(RunProgram("\"" + copy + "\" /Script=" + kRoot + "\\w98.Orq").exitCode, 0u);
  EXPECT_EQ(ReadTextFile(winInit),
            "[rename]\r\nNUL=C:\\ORQ_OTHER.TXT\r\nNUL=" + ShortName(w98 + "\\sub\\b.txt") +
                "\r\n\r\n[DIRNUL]\r\n" + ShortName(w98 + "\\sub") + "=1\r\n" + ShortName(w98) +
                "=1\r\n\r\n");
}

// What the NT family scheduled is gone, files and folders; of WinInit.Ini the system carries
// out the files only (Wine passes over [DIRNUL]), the other program's as well as ours.
TEST(RestartPhase, DISABLED_Verify) {
  EXPECT_FALSE(FileExists("C:\\ORQ_OTHER.TXT")) << "the other program's entry was kept";
  EXPECT_FALSE(FileExists(kRoot + "\\nt"));
  EXPECT_FALSE(FileExists(kRoot + "\\ninety8\\sub\\b.txt"));
  EXPECT_TRUE(FileExists(kRoot + "\\OrqexNineEight.exe"));
}
}  // namespace
