#include <cstdlib>
#include <thread>

#include "commands/files/path_routines.h"
#include "files_test_support.h"
#include "support/system_folders.h"

namespace {
using FileCommands = ScriptTest;

TEST_F(FileCommands, AnswerVersionsExistenceLocksAndFolders) {
  const std::string helper = TestBinDir() + "\\versioned.exe";
  WriteTextFile(dir_ + "\\plain.txt", "x");
  WriteTextFile(dir_ + "\\readonly.txt", "x");
  SetFileAttributesA((dir_ + "\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string longName = dir_ + "\\A folder with a long name";
  CreateDirectoryA(longName.c_str(), nullptr);
  ExpectAnswers(
      {{"GETFILEVERSION V=" + helper, "5.2.3790.0"},
       {"GETFILEVERSION Q=\"" + helper + "\"", "5.2.3790.0"},
       {"GETFILEVERSION N=" + dir_ + "\\plain.txt", "0"},
       {"FILEEXISTS F=" + dir_ + "\\plain.txt", "TRUE"}, {"FILEEXISTS D=" + dir_, "FALSE"},
       {"ISFILELOCKED R=" + dir_ + "\\readonly.txt", "TRUE"},
       {"ISFILELOCKED P=" + dir_ + "\\plain.txt", "FALSE"},
       {"ISFILELOCKED M=" + dir_ + "\\missing.txt", "FALSE"},
       {"STRIPFILENAME Full", dir_ + "\\sub"}, {"STRIPFILENAME Bare", "file.dll"},
       {"CONVERTTOSHORTPATHNAME S=" + longName, ShortName(longName)},
       {"CONVERTTOSHORTPATHNAME Missing=" + dir_ + "\\No such folder", dir_ + "\\No such folder"}},
      {"SET Full=" + dir_ + "\\sub\\file.dll", "SET Bare=file.dll"});
  SetFileAttributesA((dir_ + "\\readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_NE(ShortName(longName), longName);
}

TEST_F(FileCommands, RefuseBadArgumentsAndTouchNothingOnAFailedExpansion) {
  CreateDirectoryA((dir_ + "\\Prod").c_str(), nullptr);
  // The folder commands share one expansion: REMOVEDIRRECURSIVE stands for them.
  ExpectFailures({{"STRIPFILENAME Missing", 28}, {"ISFILELOCKED no equals", 23},
                  {"CREATESPECIALDIR  ", 51},
                  {"REMOVEDIRRECURSIVE " + dir_ + "\\Prod\\%%SUB%%", 28},
                  {"CREATESPECIALDIR " + dir_ + "\\Prod\\%%SUB%%\\x", 28}});
  ExpectFailures({{"FILEEXISTS no equals", 23}, {"CREATEDIR ab", 51}}, false);
  EXPECT_TRUE(IsFolder(dir_ + "\\Prod"));
  EXPECT_FALSE(IsFolder(dir_ + "\\Prod\\x"));
  // A value longer than the path field is refused, not cut into a parent folder's name.
  const std::string tooLong = dir_ + "\\" + std::string(300, 'x') + "\\f.dll";
  EXPECT_EQ(Run({"SET P=" + tooLong, "STRIPFILENAME P", "SET After=1"}), 59u);
  EXPECT_EQ(Symbol("P") + Symbol("After"), tooLong + "<unset>");
  EXPECT_NE(Log().find("Error:"), std::string::npos);
}

TEST_F(FileCommands, CreateAndRemoveFolders) {
  const std::string deep = dir_ + "\\a\\b\\c\\d\\e";
  ASSERT_EQ(Run({"CREATEDIR " + deep}), 0u);
  EXPECT_TRUE(IsFolder(deep));
  WriteTextFile(dir_ + "\\a\\b\\keep.txt", "x");
  ASSERT_EQ(Run({"REMOVEDIR " + deep, "REMOVEDIR " + dir_ + "\\a\\b"}), 0u);
  EXPECT_FALSE(IsFolder(deep));
  EXPECT_TRUE(IsFolder(dir_ + "\\a\\b\\c\\d"));  // a folder that is not empty stays
}

// Everyone may read and write in the folder afterwards, whether the command made it or found
// it, but not in one reached through a link. Wine keeps file rights as Unix mode bits: write
// for everybody shows as write for others.
TEST_F(FileCommands, CreateSpecialDirGivesEveryoneFullControl) {
  CreateDirectoryA((dir_ + "\\found").c_str(), nullptr);
  CreateDirectoryA((dir_ + "\\plain").c_str(), nullptr);
  ASSERT_EQ(Run({"CREATESPECIALDIR " + dir_ + "\\made", "CREATESPECIALDIR " + dir_ + "\\found"}),
            0u);
  ASSERT_NO_FATAL_FAILURE(MakeUnixLink(UnixPath(dir_ + "\\plain"), dir_ + "\\link"));
  for (const char* name : {"\\link", "\\link\\sub"}) {
    EXPECT_EQ(Run({"CREATESPECIALDIR " + dir_ + name}), 51u) << name;
    EXPECT_NE(Log().find("is reached through a link"), std::string::npos) << Log();
  }
  RunUnixShell("rm -f " + UnixPath(dir_ + "\\link"));
  for (auto [name, opened] : {std::pair{"\\made", 0}, {"\\found", 0}, {"\\plain", 1}}) {
    EXPECT_EQ(RunUnixShell("stat -c %A " + UnixPath(dir_ + name) + " | grep -q '^d.......w'"),
              opened)
        << name;
  }
}

TEST_F(FileCommands, WaitTillUnlockedWaitsInStepsUpToItsLimitOrUntilTheFileIsFree) {
  const std::string file = dir_ + "\\readonly.txt";
  WriteTextFile(file, "x");
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
  // A limit of 1.5 s is waited for in steps; a limit of 0, or none, is no wait; a negative
  // limit is none: that wait lasts until the file is free (here at 3 s), and says so.
  std::thread unlock([&] {
    Sleep(3000);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  });
  const DWORD start = GetTickCount();
  EXPECT_EQ(Run({"WAITTILLUNLOCKED " + file + ",1500", "WAITTILLUNLOCKED " + file + ",0",
                 "WAITTILLUNLOCKED " + file}),
            0u);
  const DWORD limited = GetTickCount() - start;
  EXPECT_EQ(Run({"WAITTILLUNLOCKED " + file + ",-1"}), 0u);
  const DWORD unlimited = GetTickCount() - start;
  unlock.join();
  EXPECT_TRUE(limited >= 1400 && limited < 2900) << limited << " ms";
  EXPECT_TRUE(unlimited >= 2900 && unlimited < 5000) << unlimited << " ms";
  EXPECT_NE(Log().find("Waiting without a time limit for " + file + " to be unlocked."),
            std::string::npos)
      << Log();
}

// Every spelling of a root or a system folder (text, drive letter, link, path through a
// link) is refused with 51 before anything is touched; below them is allowed.
TEST_F(FileCommands, FolderGuardsKeepRootsAndSystemFoldersIntactWhateverTheName) {
  const std::string programFiles = std::getenv("ProgramFiles");
  const std::string windows = WindowsFolder(), system = SystemFolder();
  if (WinePrefix().empty()) GTEST_SKIP() << "no prefix";
  // Links to the system folder, C:\ and "/"; drive S: for the Windows folder, as subst makes.
  const std::string links = dir_ + "\\links";
  CreateDirectoryA(links.c_str(), nullptr);
  ASSERT_NO_FATAL_FAILURE(MakeUnixLink(UnixPath(system), links + "\\sys"));
  ASSERT_NO_FATAL_FAILURE(MakeUnixLink(UnixPath("C:\\"), links + "\\c"));
  ASSERT_NO_FATAL_FAILURE(MakeUnixLink("/", links + "\\root"));
  ASSERT_EQ(RunUnixShell("ln -sfn " + UnixPath(windows) + " " + WinePrefix() + "/dosdevices/s:"),
            0);
  ASSERT_TRUE(FileExists("S:\\system32")) << "no drive S:";
  const std::string guarded[] = {
      "C:\\", "C:", "c:\\.", "\\\\server\\share\\", windows, system, windows + "\\system32\\..",
      programFiles, ShortName(programFiles), ZSpellingOf(system), "S:\\", links + "\\sys",
      links + "\\c", links + "\\root", links + "\\c\\windows\\system32"};
  const std::string canaries[] = {"C:\\orq_guard.txt", windows + "\\orq_guard.txt",
                                  system + "\\orq_guard.txt", programFiles + "\\orq_guard.txt"};
  for (const std::string& canary : canaries) WriteTextFile(canary, "x");
  for (const std::string& path : guarded) {
    EXPECT_EQ(Run({"REMOVEDIRRECURSIVE " + path}), 51u) << path;
    EXPECT_EQ(Run({"CREATESPECIALDIR " + path}), 51u) << path;
    EXPECT_EQ(ctx_->lastError, 0u) << path;
  }
  for (const std::string& canary : canaries) {
    EXPECT_TRUE(FileExists(canary)) << canary;
    DeleteFileA(canary.c_str());
  }
  for (const char* link : {"\\sys", "\\c", "\\root"}) {
    EXPECT_TRUE(HasAttribute(links + link, FILE_ATTRIBUTE_REPARSE_POINT));
  }
  RunUnixShell("rm -f " + UnixPath(links) + "/* " + WinePrefix() + "/dosdevices/s:");

  const std::string own = programFiles + "\\OrqGuardTest";
  CreatePath(own + "\\bin");
  WriteTextFile(own + "\\bin\\a.dll", "x");
  EXPECT_EQ(Run({"REMOVEDIRRECURSIVE " + ZSpellingOf(own)}), 0u);
  EXPECT_FALSE(FileExists(own));
}
}  // namespace
