// The file-list walks and the single-file commands, read back with the plain file functions.
#include <windows.h>

#include "files_test_support.h"
#include "support/system_folders.h"

namespace {
class FileCopyTest : public ScriptTest {
 protected:
  std::string Source(const std::string& name, const std::string& text) {
    WriteTextFile(dir_ + "\\" + name, text);
    return dir_ + "\\" + name;
  }
};

// FILECIO keeps a later target and copies an earlier, equal or missing one; FILECOW always
// copies; a read-only target is replaced, and one that is kept stays read-only.
TEST_F(FileCopyTest, ListedFilesAreCopiedByTheirTimesAndReadOnlyTargetsReplaced) {
  // The target's time is its source's, `hours` later; kNoTarget: there is none.
  struct Row { const char *line, *target; int hours; const char* content; };
  constexpr int kNoTarget = 99;
  const Row rows[] = {{"FILECIO s1.txt,missing.txt", "missing.txt", kNoTarget, "s1.txt"},
                      {"FILECIO s2.txt, older.txt", "older.txt", -1, "s2.txt"},
                      {"FILECIO s3.txt ,newer.txt", "newer.txt", 1, "old"},
                      {"FILECIO s4.txt,same.txt", "same.txt", 0, "s4.txt"},
                      {"FILECOW s5.txt,cow.txt", "cow.txt", 1, "s5.txt"},
                      {"FILECIO single.txt", "single.txt", -1, "single.txt"}};
  const std::string work = dir_ + "\\work";
  CreateDirectoryA(work.c_str(), nullptr);
  std::vector<std::string> lines = {"SETWORKDIR " + work, "COPYFILES Files",
                                    "SETWORKDIR " + dir_ + "\\fresh\\deep", "COPYFILES Fresh",
                                    "[Files]"};
  for (const Row& row : rows) {
    std::string name =
        std::string(row.line + 8).substr(0, std::string(row.line + 8).find_first_of(" ,"));
    lines.push_back(row.line);
    std::string source = Source(name, name), target = work + "\\" + row.target;
    if (row.hours == kNoTarget) continue;
    WriteTextFile(target, "old");
    RunUnixShell("touch -r " + UnixPath(source) + " -d '" + std::to_string(row.hours) +
                 " hours' " + UnixPath(target));
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
  }
  lines.insert(lines.end(), {"SET InWalk=1", "[Fresh]", "FILECIO s1.txt"});

  ASSERT_EQ(Run(lines), 0u) << Log();
  for (const Row& row : rows) {
    std::string target = work + "\\" + row.target;
    EXPECT_EQ(ReadTextFile(target), row.content) << row.line;
    EXPECT_EQ(HasAttribute(target, FILE_ATTRIBUTE_READONLY), row.content == std::string("old"))
        << row.line;
  }
  EXPECT_EQ(ReadTextFile(dir_ + "\\fresh\\deep\\s1.txt") + Symbol("InWalk"), "s1.txt1");
  EXPECT_NE(Log().find("FILECIO: " + dir_ + "\\s1.txt " + work + "\\missing.txt"),
            std::string::npos);
  EXPECT_EQ(Log().find("Executing line 7: FILECIO"), std::string::npos) << "not dispatched";
}

// A target held by a running program: FILECOW logs who holds it and goes on; FILECIO
// ends the walk with 33 against its own line, after ending the holder only when that
// runs from "<Windows folder>\Tevlin\".
TEST_F(FileCopyTest, TargetsInUseAreLoggedOrEndTheWalkAndOnlyProductProgramsAreEnded) {
  const std::string productWork = WindowsFolder() + "\\Tevlin\\" + name_, away = dir_ + "\\away";
  CopyFileA((TestBinDir() + "\\file_holder.exe").c_str(), (dir_ + "\\holder.exe").c_str(), FALSE);
  auto awayHolder = StartProgramCopy("file_holder.exe", away + "\\holder.exe",
                                     "open " + dir_ + "\\a.txt 3 60000");
  auto productHolder = StartProgramCopy("file_holder.exe", productWork + "\\holder.exe",
                                        "open " + dir_ + "\\b.txt 3 60000");
  ASSERT_FALSE(awayHolder->Ended(300) || productHolder->Ended());

  EXPECT_EQ(Run({"SETWORKDIR " + away, "COPYFILES Cow", "SETWORKDIR " + productWork,
                 "COPYFILES Cio", "SET After=1", "[Cow]", "FILECOW holder.exe", "SET AfterCow=1",
                 "[Cio]", "FILECIO holder.exe"}),
            33u);
  EXPECT_EQ(ctx_->lineNumber, 11u);  // the FILECIO line, below the section header
  EXPECT_EQ(ctx_->lastText, "FILECIO holder.exe");
  EXPECT_EQ(Symbol("AfterCow") + Symbol("After"), "1<unset>");
  EXPECT_TRUE(productHolder->Ended());
  for (const std::string& target : {away + "\\holder.exe", productWork + "\\holder.exe"}) {
    EXPECT_NE(Log().find("Module: " + target + " is used by Process: " + target),
              std::string::npos)
        << Log();
  }
  EXPECT_EQ(Run({"SETWORKDIR " + away, "COPYFILES Cio", "[Cio]", "FILECIO holder.exe"}), 33u);
  EXPECT_FALSE(awayHolder->Ended()) << "a holder outside the product folder is only logged";
  productHolder.reset();
  RemoveFolderTree(productWork);
  RemoveDirectoryA((WindowsFolder() + "\\Tevlin").c_str());
}

// A 1 MB copy to a 256 KB drive: 56 at once against the line; an installed file is kept
// whole, and a new file that did not fit leaves nothing behind.
TEST_F(FileCopyTest, AFullDiskEndsTheWalkWith56AndKeepsWhatWasInstalled) {
  SmallDrive drive('r');
  if (!drive.mounted) GTEST_SKIP() << "a tmpfs cannot be mounted here";
  Source("big.bin", std::string(1 << 20, 'x'));
  const std::string installed(100000, 'i');
  WriteTextFile("R:\\installed.bin", installed);
  DWORD start = GetTickCount();
  EXPECT_EQ(Run({"SETWORKDIR R:\\", "COPYFILES Big", "[Big]", "FILECOW big.bin,installed.bin"}),
            56u);
  EXPECT_EQ(ctx_->lastText, "FILECOW big.bin,installed.bin");
  EXPECT_EQ(ReadTextFile("R:\\installed.bin"), installed);
  EXPECT_EQ(Run({"SETWORKDIR R:\\", "COPYFILES Big", "[Big]", "FILECIO big.bin"}), 56u);
  EXPECT_LT(GetTickCount() - start, 4000u) << "a full disk is not retried";
  EXPECT_FALSE(FileExists("R:\\big.bin"));
  // COPYONEFILE alike (over an installed file: the double-byte runs); no process is ended.
  EXPECT_EQ(Run({"COPYONEFILE " + dir_ + "\\big.bin,R:\\new.bin"}), 56u);
  EXPECT_EQ(ctx_->lastError, 56u);
  EXPECT_EQ(Log().find("Module:"), std::string::npos) << Log();
  EXPECT_FALSE(FileExists("R:\\new.bin"));
}

// Errors of a listed file are reported against its line; a missing section and endless
// nesting against the walking line.
TEST_F(FileCopyTest, WalkFailuresAreReportedAgainstTheirLines) {
  Source("present.txt", "x");
  struct Row { std::vector<std::string> list; unsigned code; std::string failing; } rows[] = {
      {{"FILECIO absent.txt"}, 13, "FILECIO absent.txt"},
      {{"FILECOW present.txt,"}, 51, "FILECOW present.txt,"},
      {{"SET X=1", "GETPARAM"}, 23, "GETPARAM "}, {{"COPYFILES List"}, 58, "COPYFILES List"},
      // A name too long for a path is never copied under a cut name: FILECIO fails, FILECOW
      // goes on (to the failing GETPARAM); both say so in the log.
      {{"FILECIO present.txt," + std::string(300, 'c')}, 12,
       "FILECIO present.txt," + std::string(300, 'c')},
      {{"FILECOW present.txt," + std::string(300, 'w'), "GETPARAM"}, 23, "GETPARAM "},
      {{"FILECOW " + std::string(300, 's')}, 13, "FILECOW " + std::string(300, 's')},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.failing);
    std::vector<std::string> lines = {"SETWORKDIR " + dir_ + "\\work", "COPYFILES List",
                                      "SET After=1", "[List]"};
    lines.insert(lines.end(), row.list.begin(), row.list.end());
    EXPECT_EQ(Run(lines), row.code);
    EXPECT_EQ(ctx_->lastError, row.code);
    EXPECT_EQ(ctx_->lastText, row.failing);
    EXPECT_EQ(Symbol("After"), "<unset>");
    EXPECT_EQ(Log().find(": skipped, ") != std::string::npos, row.list[0].size() > 300);
  }
  EXPECT_EQ(Run({"COPYFILES List", "[List]", "FILECIO present.txt"}), 6u) << "no working folder";
  ExpectFailures({{"COPYFILES Missing", 4},
                  {"DELFILES Missing", 4}, {"COPYONEFILE %%Nothing%%," + dir_ + "\\x.txt", 28},
                  {"COPYONEFILE " + dir_ + "\\absent.txt," + dir_ + "\\x.txt", 33},
                  {"DELETEONEFILE " + dir_ + "\\%%Nothing%%", 28}});
}

// A folder stays; a held file with a second name gets its read-only attribute
// back (it is that name's too), though it is scheduled; a deleted file's other name keeps it.
TEST_F(FileCopyTest, DeletionsAndSingleFileCommands) {
  const std::string work = dir_ + "\\work", folder = dir_ + "\\rofolder";
  CreateDirectoryA(work.c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
  for (const char* name : {"a.txt", "b.txt", "held.txt"}) WriteTextFile(work + "\\" + name, "x");
  const std::string source = Source("src.txt", "one"), event = "OrqHeld_" + name_;
  const std::string readOnly = Source("ro.txt", "ro"), busy = work + "\\holder.exe";
  auto holder = StartProgramCopy("file_holder.exe", busy,
                                 "open " + work + "\\held.txt 0 60000 " + event, event.c_str());
  ASSERT_FALSE(holder->Ended());
  for (const std::string& path : {work + "\\a.txt", readOnly, busy}) {
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)) << path;
  }
  const std::string twin = dir_ + "\\twin.txt", linked = Source("linked.txt", "l"),
                    linkedTwin = dir_ + "\\linkedTwin.txt";
  for (const auto& [file, second] : {std::pair{work + "\\held.txt", twin}, {linked, linkedTwin}}) {
    ASSERT_NO_FATAL_FAILURE(MakeUnixLink(UnixPath(file), second, true));
    ASSERT_TRUE(SetFileAttributesA(second.c_str(), FILE_ATTRIBUTE_READONLY));
  }

  // The last line answers 13 unreported: the file exists, and no packaged-file dates exist.
  EXPECT_EQ(Run({"SETWORKDIR " + work, "DELFILES List", "FILECIO outside.txt",
                 "COPYONEFILE " + source + " , " + dir_ + "\\one.txt", "DELETEONEFILE " + readOnly,
                 "DELETEONEFILE " + work + "\\held.txt", "DELETEONEFILE " + folder,
                 "DELETEONEFILE " + linked,
                 "CANALLFILESBECOPIED Free=" + dir_ + "\\none.txt, " + source,
                 "CANALLFILESBECOPIED Busy=" + dir_ + "\\none.txt," + busy,
                 "CANALLFILESBECOPIED Gap=" + dir_ + "\\none.txt, ," + busy,
                 "CANALLFILESBECOPIED Long=" + std::string(300, 'p'),
                 "CANALLFILESBECOPIED Kept=", "CANALLFILESBECOPIED NoName",
                 "ISCURRENTFILEOLDER Older=none.txt", "SETWORKDIR " + dir_,
                 "ISCURRENTFILEOLDER Present=src.txt", "[List]", "FILECIO x.txt,a.txt",
                 "FILECOW b.txt", "FILECIO holder.exe", "SET InList=1"}),
            13u)
      << Log();
  EXPECT_EQ(ctx_->lastError, 0u);
  EXPECT_FALSE(FileExists(work + "\\a.txt") || FileExists(work + "\\b.txt") ||
               FileExists(readOnly));
  EXPECT_EQ(ReadTextFile(dir_ + "\\one.txt"), "one");
  EXPECT_TRUE(IsPending(work + "\\held.txt"));
  EXPECT_FALSE(FileExists(linked));
  // A running program listed for deletion keeps its attribute too.
  for (const std::string& path : {twin, linkedTwin, busy}) {
    EXPECT_TRUE(HasAttribute(path, FILE_ATTRIBUTE_READONLY)) << path;
  }
  EXPECT_TRUE(IsFolder(folder));  // Wine keeps no read-only attribute on a folder
  const std::vector<std::pair<std::string, std::string>> answers = {
      {"InList", "1"},   {"Free", "TRUE"},      {"Busy", "FALSE"}, {"Gap", "TRUE"},
      {"Long", "FALSE"}, {"Kept", "FALSE"},     {"NoName", "<unset>"},
      {"Older", "TRUE"}, {"Present", "<unset>"}};
  for (const auto& [name, answer] : answers) EXPECT_EQ(Symbol(name), answer) << name;
}
}  // namespace
