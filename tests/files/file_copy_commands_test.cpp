// The file-list walks and the single-file commands on Wine's real files: contents,
// attributes and times read back with the plain file functions, locks held by helper
// programs, a full disk from a small tmpfs linked as a drive letter.
#include <windows.h>

#include <cstdlib>

#include "support/system_folders.h"
#include "support_code/script_test.h"
#include "support_code/started_program.h"

namespace {
constexpr ULONGLONG kHour = 36000000000ull;  // in FILETIME units

ULONGLONG WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}

void SetWriteTime(const std::string& path, ULONGLONG time) {
  UniqueKernelHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  FILETIME at{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &at)) << path;
}

bool IsReadOnly(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Runs a Unix shell command from inside Wine and returns its exit status. Wine gives no
// usable handle for a Unix process, so the shell writes its status into a file.
int RunUnixShell(const std::string& command) {
  static int runs = 0;
  const std::string status =
      "/tmp/orq_shell_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++runs);
  std::string commandLine = "/bin/sh -c \"(" + command + "); echo $? > " + status + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA("Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info)) {
    return -1;
  }
  std::string windowsPath = "Z:" + status;
  for (char& c : windowsPath) c = c == '/' ? '\\' : c;
  for (int waited = 0; waited < 300 && !FileExists(windowsPath); ++waited) Sleep(100);
  Sleep(100);  // the shell's echo has finished writing
  std::string text = ReadTextFile(windowsPath);
  DeleteFileA(windowsPath.c_str());
  return text.empty() ? -1 : std::atoi(text.c_str());
}

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
  struct Row {
    const char* line;
    const char* target;
    long long hoursLater;  // target's time against its source's; kMissing: no target
    bool readOnly;
    const char* content;  // the target's content afterwards
    bool readOnlyAfter;
  };
  constexpr long long kMissing = 99;
  const Row rows[] = {
      {"FILECIO s1.txt,missing.txt", "missing.txt", kMissing, false, "new s1.txt", false},
      {"FILECIO s2.txt, older.txt", "older.txt", -1, true, "new s2.txt", false},
      {"FILECIO s3.txt ,newer.txt", "newer.txt", 1, true, "old", true},
      {"FILECIO s4.txt,same.txt", "same.txt", 0, false, "new s4.txt", false},
      {"FILECOW s5.txt,cow.txt", "cow.txt", 1, true, "new s5.txt", false},
      {"FILECIO single.txt", "single.txt", -1, false, "new single.txt", false},
  };
  const std::string work = dir_ + "\\work";
  CreateDirectoryA(work.c_str(), nullptr);
  std::vector<std::string> lines = {"SETWORKDIR " + work, "COPYFILES Files",
                                    "SETWORKDIR " + dir_ + "\\fresh\\deep", "COPYFILES Fresh",
                                    "[Files]"};
  for (const Row& row : rows) {
    std::string source = row.line + 8;
    source = Source(source.substr(0, source.find_first_of(" ,")),
                    "new " + source.substr(0, source.find_first_of(" ,")));
    lines.push_back(row.line);
    if (row.hoursLater == kMissing) continue;
    std::string target = work + "\\" + row.target;
    WriteTextFile(target, "old");
    SetWriteTime(target, WriteTime(source) + row.hoursLater * static_cast<long long>(kHour));
    if (row.readOnly) SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
  }
  lines.insert(lines.end(), {"SET InWalk=1", "[Fresh]", "FILECIO s1.txt"});

  ASSERT_EQ(Run(lines), 0u) << Log();
  for (const Row& row : rows) {
    std::string target = work + "\\" + row.target;
    EXPECT_EQ(ReadTextFile(target), row.content) << row.line;
    EXPECT_EQ(IsReadOnly(target), row.readOnlyAfter) << row.line;
  }
  EXPECT_EQ(ReadTextFile(dir_ + "\\fresh\\deep\\s1.txt"), "new s1.txt");
  EXPECT_EQ(Symbol("InWalk"), "1");
  const std::string log = Log();
  EXPECT_NE(log.find("FILECIO: " + dir_ + "\\s1.txt " + work + "\\missing.txt"), std::string::npos)
      << log;
  EXPECT_EQ(log.find("Executing line 7: FILECIO"), std::string::npos) << "no dispatch for it";
  for (const Row& row : rows) {
    SetFileAttributesA((work + "\\" + row.target).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

// A target held by a running program: FILECOW logs who holds it and goes on; FILECIO
// ends the walk with 33 against its own line, after ending the holder only when that
// runs from "<Windows folder>\Tevlin\".
TEST_F(FileCopyTest, TargetsInUseAreLoggedOrEndTheWalkAndOnlyProductProgramsAreEnded) {
  const std::string productWork = WindowsFolder() + "\\Tevlin\\" + name_;
  const std::string away = dir_ + "\\away";
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
  EXPECT_EQ(Symbol("AfterCow"), "1");
  EXPECT_EQ(Symbol("After"), "<unset>");
  EXPECT_TRUE(productHolder->Ended());
  EXPECT_FALSE(awayHolder->Ended());
  std::string log = Log();
  for (const std::string& target : {away + "\\holder.exe", productWork + "\\holder.exe"}) {
    EXPECT_NE(log.find("Module: " + target + " is used by Process: " + target), std::string::npos)
        << log;
  }

  EXPECT_EQ(Run({"SETWORKDIR " + away, "COPYFILES Cio", "[Cio]", "FILECIO holder.exe"}), 33u);
  EXPECT_FALSE(awayHolder->Ended()) << "a holder outside the product folder is only logged";
  EXPECT_NE(Log().find("Module: " + away + "\\holder.exe is used by Process: "), std::string::npos);
  productHolder.reset();
  RemoveFolderTree(productWork);
  RemoveDirectoryA((WindowsFolder() + "\\Tevlin").c_str());
}

// A tmpfs of 256 KB, linked as drive R: of the prefix, takes no 1 MB file: 56 at once,
// against the file-list line, and nothing is retried.
TEST_F(FileCopyTest, AFullDiskEndsTheWalkWith56AtOnce) {
  char prefix[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix)) GTEST_SKIP() << "no prefix";
  const std::string mountPoint = "/tmp/orq_full_disk_" + std::to_string(GetCurrentProcessId());
  const std::string link = std::string(prefix) + "/dosdevices/r:";
  if (RunUnixShell("mkdir -p " + mountPoint + " && mount -t tmpfs -o size=256k tmpfs " +
                   mountPoint + " && ln -sfn " + mountPoint + " " + link) != 0) {
    RunUnixShell("umount " + mountPoint);
    RunUnixShell("rmdir " + mountPoint);
    GTEST_SKIP() << "a tmpfs cannot be mounted here";
  }
  Source("big.bin", std::string(1 << 20, 'x'));
  DWORD start = GetTickCount();
  EXPECT_EQ(Run({"SETWORKDIR R:\\", "COPYFILES Big", "[Big]", "FILECIO big.bin"}), 56u) << Log();
  EXPECT_LT(GetTickCount() - start, 4000u);
  EXPECT_EQ(ctx_->lastText, "FILECIO big.bin");
  RunUnixShell("rm -f " + link + "; umount " + mountPoint + "; rmdir " + mountPoint);
}

// Errors of a listed file are reported against the file-list line; a missing section and
// walks nested without end against the walking line.
TEST_F(FileCopyTest, WalkFailuresAreReportedAgainstTheirLines) {
  Source("present.txt", "x");
  struct Row {
    std::vector<std::string> list;
    unsigned code;
    std::string failing;
  } rows[] = {
      {{"FILECIO absent.txt"}, 13, "FILECIO absent.txt"},
      {{"FILECOW present.txt,"}, 51, "FILECOW present.txt,"},
      {{"SET X=1", "GETPARAM"}, 23, "GETPARAM "},
      {{"COPYFILES List"}, 58, "COPYFILES List"},
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
  }
  EXPECT_EQ(Run({"COPYFILES List", "[List]", "FILECIO present.txt"}), 6u) << "no working folder";
  ExpectFailures({{"COPYFILES Missing", 4},
                  {"DELFILES Missing", 4},
                  {"COPYONEFILE " + dir_ + "\\present.txt", 51},
                  {"COPYONEFILE %%Nothing%%," + dir_ + "\\x.txt", 28},
                  {"COPYONEFILE " + dir_ + "\\absent.txt," + dir_ + "\\x.txt", 33},
                  {"DELETEONEFILE", 51},
                  {"DELETEONEFILE " + dir_ + "\\%%Nothing%%", 28}});
}

TEST_F(FileCopyTest, DeletionsAndSingleFileCommands) {
  const std::string work = dir_ + "\\work";
  CreateDirectoryA(work.c_str(), nullptr);
  for (const char* name : {"a.txt", "b.txt", "held.txt"}) WriteTextFile(work + "\\" + name, "x");
  SetFileAttributesA((work + "\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string readOnly = Source("ro.txt", "ro");
  SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string source = Source("src.txt", "one");
  UniqueKernelHandle ready(CreateEventA(nullptr, TRUE, FALSE, ("OrqHeld_" + name_).c_str()));
  auto holder = StartProgramCopy("file_holder.exe", dir_ + "\\holder.exe",
                                 "open " + work + "\\held.txt 0 60000 OrqHeld_" + name_);
  ASSERT_EQ(WaitForSingleObject(ready.Get(), 20000), WAIT_OBJECT_0);

  ASSERT_EQ(Run({"SETWORKDIR " + work, "DELFILES List", "FILECIO outside.txt",
                 "COPYONEFILE " + source + " , " + dir_ + "\\one.txt", "DELETEONEFILE " + readOnly,
                 "DELETEONEFILE " + work + "\\held.txt",
                 "CANALLFILESBECOPIED Free=" + dir_ + "\\none.txt, " + source,
                 "CANALLFILESBECOPIED Busy=" + dir_ + "\\none.txt," + dir_ + "\\ro2.txt",
                 "CANALLFILESBECOPIED Kept=", "CANALLFILESBECOPIED NoName",
                 "ISCURRENTFILEOLDER Older=none.txt", "[List]", "FILECIO x.txt,a.txt",
                 "FILECOW b.txt", "FILECIO held.txt", "SET InList=1"}),
            0u)
      << Log();
  EXPECT_FALSE(FileExists(work + "\\a.txt") || FileExists(work + "\\b.txt"));
  EXPECT_TRUE(FileExists(work + "\\held.txt"));
  EXPECT_EQ(Symbol("InList"), "1");
  EXPECT_EQ(ReadTextFile(dir_ + "\\one.txt"), "one");
  EXPECT_FALSE(FileExists(readOnly));
  StoredValue pending =
      ReadRegistryValue(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                        "PendingFileRenameOperations");
  EXPECT_NE(pending.second.find(work + "\\held.txt"), std::string::npos);
  EXPECT_EQ(Symbol("Free"), "TRUE");
  EXPECT_EQ(Symbol("Busy"), "TRUE") << "ro2.txt does not exist";
  EXPECT_EQ(Symbol("Kept"), "TRUE");
  EXPECT_EQ(Symbol("NoName"), "<unset>");
  EXPECT_EQ(Symbol("Older"), "TRUE");

  const std::string ro2 = Source("ro2.txt", "x");
  SetFileAttributesA(ro2.c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_EQ(Run({"CANALLFILESBECOPIED Busy=" + ro2 + "," + source, "CANALLFILESBECOPIED Kept=",
                 "SETWORKDIR " + dir_, "ISCURRENTFILEOLDER Present=src.txt"}),
            13u);
  EXPECT_EQ(Symbol("Busy"), "FALSE");
  EXPECT_EQ(Symbol("Kept"), "FALSE") << "an empty list keeps the last answer";
  EXPECT_EQ(Symbol("Present"), "<unset>");
  EXPECT_EQ(ctx_->lastError, 0u) << "returned unreported";
  SetFileAttributesA(ro2.c_str(), FILE_ATTRIBUTE_NORMAL);
}
}  // namespace
