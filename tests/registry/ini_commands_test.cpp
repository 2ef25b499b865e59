// The INI commands run through the dispatcher; entries are read back with
// GetPrivateProfileStringA and whole files by their bytes.
#include "registry_test_support.h"

namespace {
using IniRead = ScriptTest;
using IniWrite = ScriptTest;
using IniSectionDelete = ScriptTest;

std::string WindowsFolder() {
  char buffer[MAX_PATH] = {};
  GetWindowsDirectoryA(buffer, MAX_PATH);
  return buffer;
}

// Holds a file open sharing only `share`, so nothing else may open it otherwise. (A
// read-only attribute does not stop writes here: the tests run as root, and Wine lets root
// write.)
struct LockedFile {
  LockedFile(const std::string& path, DWORD share)
      : handle(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {
  }
  UniqueKernelHandle handle;
};

// A file in the Windows folder that goes when the test ends.
struct WindowsFolderFile {
  explicit WindowsFolderFile(const std::string& name, const std::string& bytes)
      : path(WindowsFolder() + "\\" + name) {
    WriteTextFile(path, bytes);
  }
  ~WindowsFolderFile() { DeleteFileA(path.c_str()); }
  std::string path;
};

TEST_F(IniRead, FindsTheFileInTheWorkingFolderFirstThenTheWindowsFolder) {
  const std::string name = "orq_" + name_ + ".ini";
  WriteTextFile(dir_ + "\\" + name, "[Main]\r\nPath=from work\r\n");
  WindowsFolderFile inWindows(name, "[Main]\r\nPath=from windows\r\n");
  WindowsFolderFile onlyInWindows("orq_only_" + name_ + ".ini", "[Main]\r\nPath=only windows\r\n");
  ASSERT_EQ(Run({"GETINIFILEVALUE Before=" + name + ",Main,Path", "SETWORKDIR " + dir_,
                 "GETINIFILEVALUE After=" + name + ",Main,Path",
                 "GETINIFILEVALUE Only=orq_only_" + name_ + ".ini,Main,Path",
                 "GETINIFILEVALUE Missing=" + name + ",Main,NoKey"}),
            0u);
  EXPECT_EQ(Symbol("Before"), "from windows");
  EXPECT_EQ(Symbol("After"), "from work");
  EXPECT_EQ(Symbol("Only"), "only windows");
  EXPECT_EQ(Symbol("Missing"), "");
}

TEST_F(IniRead, FileFoundInTheCurrentFolderIsReadThereNotInTheWindowsFolder) {
  const std::string name = "orq_cwd_" + name_ + ".ini";
  WriteTextFile(dir_ + "\\" + name, "[Main]\r\nKey=current\r\n");
  WindowsFolderFile other(name, "[Main]\r\nKey=windows\r\n");
  char previous[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(dir_.c_str());
  unsigned status = Run(
      {"GETINIFILEVALUE V=" + name + ",Main,Key", "SETINIFILEVALUE " + name + ",Main,Written=yes"});
  SetCurrentDirectoryA(previous);
  ASSERT_EQ(status, 0u);
  EXPECT_EQ(Symbol("V"), "current");
  EXPECT_EQ(IniEntry(dir_ + "\\" + name, "Main", "Written"), "yes");
  EXPECT_EQ(IniEntry(other.path, "Main", "Written"), "<none>");
}

TEST_F(IniRead, SyntaxAndMissingFileErrorsAreReported) {
  WriteTextFile(dir_ + "\\app.ini", "[Main]\r\nPath=x\r\n");
  struct Case {
    std::string line;
    unsigned code;
  } cases[] = {{"GETINIFILEVALUE V=" + dir_ + "\\app.ini,Main", 26},
               {"GETINIFILEVALUE V=" + dir_ + "\\app.ini", 27},
               {"GETINIFILEVALUE " + dir_ + "\\app.ini,Main,Path", 23},
               {"GETINIFILEVALUE V=" + dir_ + "\\nowhere.ini,Main,Path", 18},
               {"GETINIFILEVALUE V=%%NoSuch%%,Main,Path", 28},
               {"GETMESSAGEFROMID V=" + dir_ + "\\nowhere.ini,Main,Path", 18}};
  for (const Case& c : cases) {
    EXPECT_EQ(Run({c.line}), c.code) << c.line;
    EXPECT_EQ(Reported(), c.code) << c.line;
  }
}

TEST_F(IniRead, ExpansionBeforeTheSplitMovesFieldBoundaries) {
  WriteTextFile(dir_ + "\\app.ini", "[Main]\r\nPath=found\r\n");
  ASSERT_EQ(Run({"SET Where=" + dir_ + "\\app.ini,Main", "GETINIFILEVALUE V=%%Where%%,Path"}), 0u);
  EXPECT_EQ(Symbol("V"), "found");
}

TEST_F(IniRead, GetMessageFromIdReadsLongerValuesThanGetIniFileValue) {
  std::string value(1000, 'm');
  WriteTextFile(dir_ + "\\msg.ini", "[Text]\r\n1001=" + value + "\r\n");
  std::string file = dir_ + "\\msg.ini";
  ASSERT_EQ(Run({"GETMESSAGEFROMID Long=" + file + ",Text,1001",
                 "GETINIFILEVALUE Short=" + file + ",Text,1001"}),
            0u);
  EXPECT_EQ(Symbol("Long"), value);
  EXPECT_EQ(Symbol("Short"), std::string(259, 'm'));
}

TEST_F(IniRead, FindIniFileValueAnswersFalseForEveryFailureAndNeverReports) {
  std::string file = dir_ + "\\app.ini";
  WriteTextFile(file, "[Main]\r\nOne=1\r\nLonger=some text\r\nEmpty=\r\n");
  ASSERT_EQ(Run({"FINDINIFILEVALUE A=" + file + ",Main,One",
                 "FINDINIFILEVALUE B=" + file + ",Main,Longer",
                 "FINDINIFILEVALUE C=" + file + ",Main,Empty",
                 "FINDINIFILEVALUE D=" + file + ",Main,NoKey",
                 "FINDINIFILEVALUE E=" + dir_ + "\\nowhere.ini,Main,One",
                 "FINDINIFILEVALUE F=" + file + ",Main", "FINDINIFILEVALUE G=%%NoSuch%%,Main,One"}),
            0u);
  EXPECT_EQ(Symbol("A"), "TRUE");
  EXPECT_EQ(Symbol("B"), "TRUE");
  EXPECT_EQ(Symbol("C"), "FALSE");
  EXPECT_EQ(Symbol("D"), "FALSE");
  EXPECT_EQ(Symbol("E"), "FALSE");
  EXPECT_EQ(Symbol("F"), "FALSE");
  EXPECT_EQ(Symbol("G"), "FALSE");
  EXPECT_EQ(Reported(), 0u);
  // Without a name there is nothing to answer in: the section ends, unreported.
  EXPECT_EQ(Run({"FINDINIFILEVALUE " + file + ",Main,One", "SET After=1"}), 23u);
  EXPECT_EQ(Run({"FINDINIFILEVALUE %%NoSuch%%=" + file + ",Main,One"}), 28u);
  EXPECT_EQ(Reported(), 0u);
  EXPECT_EQ(Symbol("After"), "<unset>");
  EXPECT_EQ(Log().find("Error:"), std::string::npos);
}

TEST_F(IniWrite, WritesExpandedValueAndFileButLiteralSectionAndKey) {
  std::string file = dir_ + "\\app.ini";
  WriteTextFile(file, "[Main]\r\nKey=old\r\n");
  ASSERT_EQ(Run({"SET Dir=" + dir_, "SET V=42", "SETINIFILEVALUE " + file + ",Main,Key=a=b,c",
                 "SETINIFILEVALUE %%Dir%%\\app.ini,Main,Count=%%V%%",
                 "SETINIFILEVALUE " + file + ",%%V%%,%%V%%=literal"}),
            0u);
  EXPECT_EQ(IniEntry(file, "Main", "Key"), "a=b,c");
  EXPECT_EQ(IniEntry(file, "Main", "Count"), "42");
  EXPECT_EQ(IniEntry(file, "%%V%%", "%%V%%"), "literal");
}

TEST_F(IniWrite, NeverCreatesAFileAndReportsARefusedWrite) {
  std::string missing = dir_ + "\\new.ini";
  EXPECT_EQ(Run({"SETINIFILEVALUE " + missing + ",Main,Key=1"}), 18u);
  EXPECT_FALSE(FileExists(missing));
  EXPECT_EQ(Run({"SETINIFILEVALUE " + missing + ",Main,Key=%%NoSuch%%"}), 28u);
  EXPECT_EQ(Run({"SETINIFILEVALUE " + missing + ",Main,Key"}), 25u);
  EXPECT_EQ(Run({"SETINIFILEVALUE " + missing + ",Main,Key=" + std::string(260, 'v')}), 24u);

  std::string path = dir_ + "\\locked.ini";
  WriteTextFile(path, "[Main]\r\nKey=old\r\n");
  {
    LockedFile lock(path, 0);
    ASSERT_TRUE(lock.handle);
    EXPECT_EQ(Run({"SETINIFILEVALUE " + path + ",Main,Key=new", "SET After=1"}), 19u);
    EXPECT_EQ(Symbol("After"), "<unset>");
  }
  EXPECT_EQ(ReadTextFile(path), "[Main]\r\nKey=old\r\n");
}

TEST_F(IniSectionDelete, EmptiesTheSectionAndRewritesTheFileWithCrLf) {
  std::string file = dir_ + "\\app.ini";
  WriteTextFile(file, "[Main]\n  A=1\n[OLD] ; comment\nX=1\n\n; note\nY=2\n[Tail]\nB=2");
  // Read before and after in the same run: the profile functions must see the new file.
  ASSERT_EQ(Run({"SET F=" + file, "GETINIFILEVALUE Before=%%F%%,OLD,X",
                 "DELETEINIFILESECTION %%F%% , old", "GETINIFILEVALUE After=%%F%%,OLD,X"}),
            0u);
  EXPECT_EQ(ReadTextFile(file), "[Main]\r\nA=1\r\n[OLD] ; comment\r\n[Tail]\r\nB=2\r\n");
  EXPECT_EQ(Symbol("Before"), "1");
  EXPECT_EQ(Symbol("After"), "");
  EXPECT_EQ(IniEntry(file, "OLD", "X"), "<none>");
  EXPECT_EQ(IniEntry(file, "Tail", "B"), "2");

  // A missing section leaves the content, trimmed and with CR LF ends.
  WriteTextFile(file, " a=1 \nb=2\n");
  ASSERT_EQ(Run({"DELETEINIFILESECTION " + file + ",Missing"}), 0u);
  EXPECT_EQ(ReadTextFile(file), "a=1\r\nb=2\r\n");
}

TEST_F(IniSectionDelete, FailuresLeaveTheFileAsItWas) {
  std::string empty = dir_ + "\\empty.ini";
  WriteTextFile(empty, "");
  EXPECT_EQ(Run({"DELETEINIFILESECTION " + empty + ",Main"}), 51u);
  EXPECT_EQ(Run({"DELETEINIFILESECTION " + dir_ + "\\nowhere.ini,Main"}), 18u);
  EXPECT_FALSE(FileExists(dir_ + "\\nowhere.ini"));
  EXPECT_EQ(Run({"DELETEINIFILESECTION " + empty}), 51u);
  EXPECT_EQ(Run({"DELETEINIFILESECTION %%NoSuch%%,Main"}), 28u);
  EXPECT_EQ(Run({"DELETEINIFILESECTION " + empty + "," + std::string(260, 's')}), 51u);

  std::string path = dir_ + "\\locked.ini";
  const std::string bytes = "[Main]\nA=1\n[Old]\nX=1\n";
  WriteTextFile(path, bytes);
  {
    // Readable but not writable: the failure comes after the file was read.
    LockedFile lock(path, FILE_SHARE_READ);
    ASSERT_TRUE(lock.handle);
    EXPECT_EQ(Run({"DELETEINIFILESECTION " + path + ",Old"}), 51u);
  }
  EXPECT_EQ(ReadTextFile(path), bytes);
}
}  // namespace
