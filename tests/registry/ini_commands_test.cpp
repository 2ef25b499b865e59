// The INI commands; entries read back with GetPrivateProfileStringA, files by their bytes.
#include "support/system_folders.h"
#include "support_code/script_test.h"

namespace {
using IniCommands = ScriptTest;

TEST_F(IniCommands, FilesAreFoundInTheWorkingFolderThenTheWindowsFolderAndWrittenThere) {
  const std::string work = "orq_work_" + name_ + ".ini", win = "orq_win_" + name_ + ".ini",
                    both = "orq_both_" + name_ + ".ini";
  WriteTextFile(dir_ + "\\" + work, "[Main]\r\nPath=work\r\nKey,with,commas=yes\r\n[Text]\r\n" +
                                        ("1001=" + std::string(1000, 'm')));
  WriteTextFile(dir_ + "\\" + both, "[Main]\r\nPath=work\r\nOne=1\r\nEmpty=\r\n");
  const std::string inWindows[] = {WindowsFolder() + "\\" + win, WindowsFolder() + "\\" + both};
  for (const std::string& path : inWindows) WriteTextFile(path, "[Main]\r\nPath=windows\r\n");
  // A symbol holding "," moves GETINIFILEVALUE's field boundaries: the whole argument is
  // expanded first. SETINIFILEVALUE expands only the file name and the value.
  ExpectAnswers(
      {{"GETINIFILEVALUE Work=" + work + ",Main,Path", "work"},
       {"GETINIFILEVALUE Win=" + win + ",Main,Path", "windows"},
       {"GETINIFILEVALUE Both=" + both + ",Main,Path", "work"},
       {"GETINIFILEVALUE NoKey=" + both + ",Main,NoKey", ""},
       {"GETINIFILEVALUE Commas=" + work + ", Main , Key,with,commas ", "yes"},
       {"GETINIFILEVALUE Moved=%%Where%%,Path", "work"},
       {"GETMESSAGEFROMID Long=" + work + ",Text,1001", std::string(1000, 'm')},
       {"GETINIFILEVALUE Short=" + work + ",Text,1001", std::string(259, 'm')},
       // FINDINIFILEVALUE answers FALSE for every failure and never reports one.
       {"FINDINIFILEVALUE F1=" + both + ",Main,One", "TRUE"},
       {"FINDINIFILEVALUE F2=" + both + ",Main,Empty", "FALSE"},
       {"FINDINIFILEVALUE F3=" + both + ",Main,NoKey", "FALSE"},
       {"FINDINIFILEVALUE F4=nowhere.ini,Main,One", "FALSE"},
       {"FINDINIFILEVALUE F5=" + both + ",Main", "FALSE"},
       {"FINDINIFILEVALUE F6=%%NoSuch%%,Main,One", "FALSE"}},
      {"SETWORKDIR " + dir_, "SET Where=" + both + ",Main", "SET F=" + both, "SET V=42",
       "SETINIFILEVALUE " + both + ",%%V%%,%%V%%=a=b,c", "SETINIFILEVALUE %%F%%,Main,Count=%%V%%"});
  EXPECT_EQ(Log().find("Error:"), std::string::npos);
  // Without a name there is nothing to answer in: the section ends, unreported.
  ExpectFailures({{"FINDINIFILEVALUE " + both + ",Main,One", 23},
                  {"FINDINIFILEVALUE %%NoSuch%%=" + both + ",Main,One", 28}},
                 /*reported=*/false);
  EXPECT_EQ(IniEntry(dir_ + "\\" + both, "%%V%%", "%%V%%"), "a=b,c");
  EXPECT_EQ(IniEntry(dir_ + "\\" + both, "Main", "Count"), "42");
  EXPECT_EQ(ReadTextFile(inWindows[1]), "[Main]\r\nPath=windows\r\n");
  for (const std::string& path : inWindows) DeleteFileA(path.c_str());
}

// A file starting with a UTF-16 byte-order mark stays UTF-16: clearing a section is refused.
TEST_F(IniCommands, FailuresReportTheirCodeAndCreateOrChangeNothing) {
  const std::string ini = dir_ + "\\app.ini", empty = dir_ + "\\empty.ini",
                    nowhere = dir_ + "\\nowhere.ini", bytes = "[Main]\r\nKey=x\r\n",
                    wide = dir_ + "\\wide.ini";
  WriteTextFile(ini, bytes);
  WriteTextFile(empty, "");
  std::string wideBytes = "\xFF\xFE";
  for (char c : std::string("[Old]\r\nA=1\r\n[Tail]\r\nB=2\r\n")) wideBytes += {c, '\0'};
  WriteTextFile(wide, wideBytes);
  CreateDirectoryA((dir_ + "\\folder.ini").c_str(), nullptr);
  ExpectFailures({{"GETINIFILEVALUE V=" + ini, 27},
                  {"GETINIFILEVALUE " + ini + ",Main,Key", 23},
                  {"GETINIFILEVALUE V=" + ini + "," + std::string(260, 's') + ",Key", 26},
                  {"GETINIFILEVALUE V=" + ini + ",Main," + std::string(260, 'k'), 25},
                  {"GETINIFILEVALUE V=" + nowhere + ",Main,Key", 18},
                  {"GETINIFILEVALUE V=" + dir_ + "\\folder.ini,Main,Key", 18},
                  {"GETINIFILEVALUE V=%%NoSuch%%,Main,Key", 28},
                  {"SETINIFILEVALUE " + nowhere + ",Main,Key=1", 18},
                  {"SETINIFILEVALUE " + ini + ",Main,Key", 25},
                  {"SETINIFILEVALUE " + ini + ",Main,Key=" + std::string(260, 'v'), 24},
                  {"DELETEINIFILESECTION " + empty + ",Main", 51},
                  {"DELETEINIFILESECTION " + nowhere + ",Main", 18},
                  {"DELETEINIFILESECTION " + ini + "," + std::string(260, 's'), 51},
                  {"DELETEINIFILESECTION " + wide + ",Old", 19}});
  EXPECT_FALSE(FileExists(nowhere));
  EXPECT_EQ(ReadTextFile(ini), bytes);
  EXPECT_EQ(ReadTextFile(wide), wideBytes);
  EXPECT_EQ(IniEntry(wide, "Old", "A"), "1");
}

// The tests run as root, and Wine lets root write a read-only file: a sharing lock stands in.
TEST_F(IniCommands, RefusedWritesFailAndLeaveTheFileAsItWas) {
  const std::string path = dir_ + "\\locked.ini", bytes = "[Main]\nA=1\n[Old]\nX=1\n";
  WriteTextFile(path, bytes);
  auto lock = [&](DWORD share) {
    return UniqueKernelHandle(
        CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
  };
  {
    UniqueKernelHandle held = lock(0);
    ExpectFailures({{"SETINIFILEVALUE " + path + ",Main,A=2", 19}});
  }
  {  // Readable but not writable: the failure comes after the file was read.
    UniqueKernelHandle held = lock(FILE_SHARE_READ);
    ExpectFailures({{"DELETEINIFILESECTION " + path + ",Old", 51}});
  }
  EXPECT_EQ(ReadTextFile(path), bytes);
}

TEST_F(IniCommands, DeleteIniFileSectionEmptiesEveryHeaderOfTheNameAndRewritesWithCrLf) {
  const std::string file = dir_ + "\\app.ini";
  WriteTextFile(file,
                "[Main]\n  A=1  \n[OLD] ; comment\nX=1\n[Other\nY=2\n\n; note\n[Older]\nZ=3\n"
                "[old]\nW=4\n[Tail]\n\tB = 2");
  // Read before and after in the same run: the profile functions must see the new file.
  ASSERT_EQ(Run({"SET F=" + file, "GETINIFILEVALUE Before=%%F%%,OLD,X",
                 "DELETEINIFILESECTION %%F%% , old", "GETINIFILEVALUE After=%%F%%,OLD,X"}),
            0u);
  EXPECT_EQ(Symbol("Before"), "1");
  EXPECT_EQ(Symbol("After"), "");
  EXPECT_EQ(ReadTextFile(file),
            "[Main]\r\nA=1\r\n[OLD] ; comment\r\n[Older]\r\nZ=3\r\n[old]\r\n[Tail]\r\nB = 2\r\n");
}
}  // namespace
