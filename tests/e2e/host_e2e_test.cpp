// Whole runs of Orqex.exe: switches, the usage box, the start-up log lines, exit codes, the
// parent watch and the deletion of the script's folder.
#include <thread>

#include "support/system_folders.h"
#include "support_code/script_test.h"

namespace {
const char* const kShortScript = "[DefaultInstall]\r\nSET A=1\r\n";

class HostRuns : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    LogInit(kLogLevelStatus, "");  // the log is the run's alone
    log_ = dir_ + "\\run.log";
  }
  std::string log_;
};

TEST_F(HostRuns, StartUpLinesComeFirstAndTheRunsStatusIsTheExitCode) {
  // lang="de" f
  OrqexRun run = RunScript(dir_, "[Main]\r\nGETPARAM L=LANG\r\nSET X=%%L%%\r\n",
                           "/Section=Main /Params=6C616E673D226465222066 /Quiet");
  EXPECT_EQ(run.exitCode, 0u);
  const std::vector<std::string> messages = LogMessages(Log());
  ASSERT_GE(messages.size(), 5u) << Log();
  for (const std::string& message : messages) EXPECT_NE(message, "") << Log();
  EXPECT_EQ(messages[0], "Command Line: \"" + TestBinDir() + "\\Orqex.exe\" /Script=" + dir_ +
                             "\\test.Orq /Log=" + log_ +
                             " /Section=Main /Params=**** /Quiet");  // may carry passwords
  EXPECT_EQ(messages[1], "Before CoInitialize");
  EXPECT_EQ(messages[2], "After CoInitialize");
  EXPECT_EQ(messages[3], "ScriptFiles=" + dir_ + "\\test.Orq, StartSection=Main");
  EXPECT_NE(Log().find(" Executing line 3: SET X=de\r\n"), std::string::npos) << Log();
  EXPECT_NE(Log().find("Script finished successfully!!"), std::string::npos);
}

TEST_F(HostRuns, ExitCodesOfTheEnginesOutcomes) {
  const struct {
    std::string script, switches;
    unsigned exitCode;
    const char* logged;
  } rows[] = {
      {"[Main]\r\nSET A=1\r\nFOO bar\r\nSET B=2\r\n", "/Section=Main", 2,
       "Error: Unrecognized command in script file.\n>>Line 3: FOO bar\r\n"},
      {"[DefaultInstall]\r\nSET X=" + std::string(600, 'x') + "\r\n", "", 3, "Error:"},
      // A WhatIf run refuses what the command's parser refuses, as expanded.
      {"[DefaultInstall]\r\nSET R=HKCU\r\nSETREGVALUE %%R%%\\Software\\OrqWhatIf,A=1\r\n", "/WhatIf",
       20, "Error: The HKEY Root was not specified."},
      {"[DefaultInstall]\r\nSET R=HKCU\r\nCREATESERVICE %%R%%\r\n", "/WhatIf", 51,
       "Error: Invalid switch or value supplied in command line parameters.\n>>Line 3:"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.script.substr(0, 40));
    EXPECT_EQ(RunScript(dir_, row.script, row.switches).exitCode, row.exitCode);
    EXPECT_NE(Log().find(row.logged), std::string::npos) << Log();
  }
}

// The folder the script was read from goes whatever the outcome; the program's folder (where
// a script named without one is, whatever the current folder) stays, and so does a folder
// the script was not read from: a value ends at a "-", so "my-setup\s.Orq" arrives as "my".
TEST_F(HostRuns, DeleteScriptDirectoryRemovesOnlyTheFolderTheScriptWasReadFrom) {
  const std::string inProgram = TestBinDir() + "\\host_e2e_program_folder.Orq";
  const std::string victim = dir_ + "\\victim", other = dir_ + "\\other.txt";
  WriteTextFile(other, "x");
  const struct {
    std::string file, named, script;
    unsigned exitCode;
    std::string logged, checked;  // a file or folder that is there afterwards or not
    bool stays;
  } rows[] = {
      {victim + "\\setup.Orq", victim + "\\setup.Orq", kShortScript, 0, "", victim, false},
      {victim + "\\setup.Orq", victim + "\\setup.Orq", "[DefaultInstall]\r\nBOGUS\r\n", 2, "",
       victim, false},
      {inProgram, "host_e2e_program_folder.Orq", kShortScript, 0,
       "ScriptFiles=" + inProgram + ", StartSection=DefaultInstall", inProgram, true},
      {dir_ + "\\my-setup\\s.Orq", dir_ + "\\my-setup\\s.Orq", kShortScript, 9,
       "DeleteScriptDirectory: " + dir_ + " stays: the script was not read from it", other, true},
  };
  const std::string previous = CurrentFolder();
  SetCurrentDirectoryA(dir_.c_str());  // inherited by the run
  for (const auto& row : rows) {
    SCOPED_TRACE(row.named);
    CreateDirectoryA(row.file.substr(0, row.file.rfind('\\')).c_str(), nullptr);
    WriteTextFile(row.file, row.script);
    DeleteFileA(log_.c_str());
    const OrqexRun run =
        RunOrqex("/Script=" + row.named + " /Log=" + log_ + " /DeleteScriptDirectory");
    EXPECT_EQ(run.exitCode, row.exitCode);
    EXPECT_EQ(FileExists(row.checked), row.stays);
    EXPECT_NE(Log().find(row.logged), std::string::npos) << Log();
  }
  SetCurrentDirectoryA(previous.c_str());
  DeleteFileA(inProgram.c_str());
}

// Without a script the usage box waits for the user; the parent's end ends the run with -1.
// An id that names no process changes nothing, nor does a break-on-start setting without a
// debugger; quiet, the run shows no box and exits with 57.
TEST_F(HostRuns, NoScriptShowsTheUsageBoxUntilTheParentEndsAndQuietExitsWith57) {
  UniqueKernelHandle parent = StartProgram("\"" + TestBinDir() + "\\exit_after_delay.exe\" 3000");
  ASSERT_TRUE(parent);
  HWND box = nullptr, text = nullptr;
  std::thread finder([&] {
    for (int i = 0; i < 400 && !(box = FindWindowA("#32770", "Orqex usage Error")); ++i) Sleep(10);
    text = FindWindowExA(box, nullptr, "Static", "Usage:\nOrqex /Script=C:\\MyTest.Orq /Log=orqex.log");
  });
  OrqexRun inBox =
      RunOrqex("/Log=" + log_ + " /Parent=" + std::to_string(GetProcessId(parent.Get())), 30000);
  finder.join();
  EXPECT_TRUE(box && text);
  EXPECT_FALSE(inBox.timedOut);  // the time-out would end it with -1 too
  EXPECT_EQ(inBox.exitCode, 0xFFFFFFFFu);

  const DWORD one = 1;
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tevlin\\Agent", "dwBreakOnORQStart", REG_DWORD,
                  &one, sizeof one);
  DeleteFileA(log_.c_str());
  OrqexRun quiet = RunOrqex("/Log=" + log_ + " /Quiet /Parent=999999992", 20000);
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tevlin\\Agent", "dwBreakOnORQStart");
  EXPECT_FALSE(quiet.timedOut);
  EXPECT_EQ(quiet.exitCode, 57u);
  EXPECT_EQ(LogMessages(Log()).size(), 3u) << Log();
}

// "/Log=" with nothing after it turns the main log off: not even the default log gets the run.
TEST_F(HostRuns, EmptyLogSwitchWritesNoLog) {
  WriteTextFile(dir_ + "\\quiet.Orq", kShortScript);
  EXPECT_EQ(RunOrqex("/Log= /Script=" + dir_ + "\\quiet.Orq").exitCode, 0u);
  EXPECT_EQ(ReadTextFile(WindowsFolder() + "\\tevagent.log").find(dir_ + "\\quiet.Orq"),
            std::string::npos);
  EXPECT_FALSE(FileExists(log_));
}
}  // namespace
