// Whole runs of Orqex.exe: switches, the usage box, the start-up log lines, exit codes, the
// parent watch and the deletion of the script's folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "support/win_handles.h"
#include "support_code/win32_test_utils.h"

namespace {
const char* const kShortScript = "[DefaultInstall]\r\nSET A=1\r\n";

// Starts a process and leaves it running.
UniqueKernelHandle Start(std::string commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return UniqueKernelHandle();
  }
  CloseHandle(info.hThread);
  return UniqueKernelHandle(info.hProcess);
}

class HostRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeScratchDir(std::string("host_") +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    log_ = dir_ + "\\run.log";
  }
  void TearDown() override { RemoveFolderTree(dir_); }
  std::string Log() const { return ReadTextFile(log_); }
  std::string dir_, log_;
};

TEST_F(HostRuns, NoScriptShowsTheUsageBoxAndExitsWith57) {
  OrqexRun run;
  std::thread orqex([&] { run = RunOrqex("/Log=" + log_, 60000); });
  HWND box = nullptr;
  for (int i = 0; i < 400 && !box; ++i) {
    box = FindWindowA("#32770", "Orqex usage Error");
    if (!box) Sleep(50);
  }
  HWND text =
      FindWindowExA(box, nullptr, "Static", "Usage:\nOrqex /Script=C:\\MyTest.Orq /Log=orqex.log");
  if (box) SendMessageA(box, WM_COMMAND, IDOK, 0);
  orqex.join();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(text, nullptr);
  EXPECT_EQ(run.exitCode, 57u);
  EXPECT_EQ(LogMessages(Log()).size(), 3u) << Log();
}

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
}

// The engine's outcomes become the exit code.
TEST_F(HostRuns, ExitCodesOfTheEnginesOutcomes) {
  const struct {
    std::string script, switches;
    unsigned exitCode;
    const char* logged;
  } rows[] = {
      {"[DefaultInstall]\r\nSET A=1\r\nSET B=%%A%%2\r\n", "", 0, "Script finished successfully!!"},
      {"[Main]\r\nSET A=1\r\nFOO bar\r\nSET B=2\r\n", "/Section=Main", 2,
       "Error: Unrecognized command in script file.\n>>Line 3: FOO bar\r\n"},
      {"[Main]\r\nCALL Sub\r\nFOO\r\n[Sub]\r\nCONTINUEIF 1==2\r\n", "/Section=Main", 0,
       "finished on a conditional stop: 1==2. Line:5"},
      {"", "", 8, ""},
      {"[DefaultInstall]\r\nSET X=" + std::string(600, 'x') + "\r\n", "", 3, "Error:"},
      {kShortScript, "/Section=Nowhere", 7, ""},
      {"[DefaultInstall]\r\nCALL Loop\r\n[Loop]\r\nCALL Loop\r\n", "", 58,
       "Error: Sections call each other too deeply."},
      // A WhatIf run refuses what the command's parser refuses, as written and as expanded.
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

TEST_F(HostRuns, ScriptWithoutFolderRunsFromTheProgramFolderWhichIsNeverDeleted) {
  const std::string inProgramFolder = TestBinDir() + "\\host_e2e_program_folder.Orq";
  WriteTextFile(inProgramFolder, kShortScript);
  // Started from another current folder (it inherits ours): the program's folder counts.
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(dir_.c_str());
  OrqexRun run =
      RunOrqex("/Script=host_e2e_program_folder.Orq /Log=" + log_ + " /DeleteScriptDirectory");
  SetCurrentDirectoryA(previous);
  const bool stillThere = FileExists(inProgramFolder);
  DeleteFileA(inProgramFolder.c_str());
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_TRUE(stillThere);
  EXPECT_NE(Log().find("ScriptFiles=" + inProgramFolder + ", StartSection=DefaultInstall"),
            std::string::npos)
      << Log();
}

TEST_F(HostRuns, DeleteScriptDirectoryRemovesTheScriptsFolderWhateverTheOutcome) {
  for (const char* script : {kShortScript, "[DefaultInstall]\r\nBOGUS\r\n"}) {
    const std::string victim = dir_ + "\\victim";
    CreateDirectoryA(victim.c_str(), nullptr);
    WriteTextFile(victim + "\\setup.Orq", script);
    OrqexRun run =
        RunOrqex("/Script=" + victim + "\\setup.Orq /Log=" + log_ + " /DeleteScriptDirectory");
    EXPECT_EQ(run.exitCode, script == kShortScript ? 0u : 2u);
    EXPECT_FALSE(FileExists(victim)) << script;
  }
}

TEST_F(HostRuns, ParentEndingEndsTheRunWithMinusOneAndQuietRunsShowNoBox) {
  // The run waits in the usage box meanwhile.
  UniqueKernelHandle parent = Start("\"" + TestBinDir() + "\\exit_after_delay.exe\" 1000");
  ASSERT_TRUE(parent);
  OrqexRun inBox =
      RunOrqex("/Log=" + log_ + " /Parent=" + std::to_string(GetProcessId(parent.Get())), 30000);
  EXPECT_FALSE(inBox.timedOut);  // the time-out would end it with -1 too
  EXPECT_EQ(inBox.exitCode, 0xFFFFFFFFu);

  // An id that names no process changes nothing, nor does a break-on-start setting without a
  // debugger; quiet, the run shows no box (which would keep it waiting).
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

// A value ends at a "-": "my-setup\s.Orq" arrives as "my", which cannot be opened, and the
// folder above it, with everything else in it, stays.
TEST_F(HostRuns, ScriptFolderThatTheScriptWasNotReadFromStays) {
  CreateDirectoryA((dir_ + "\\my-setup").c_str(), nullptr);
  WriteTextFile(dir_ + "\\my-setup\\s.Orq", kShortScript);
  WriteTextFile(dir_ + "\\other.txt", "x");
  OrqexRun run =
      RunOrqex("/Script=" + dir_ + "\\my-setup\\s.Orq /Log=" + log_ + " /DeleteScriptDirectory");
  EXPECT_EQ(run.exitCode, 9u);
  EXPECT_NE(Log().find("Error Loading Script File: " + dir_ + "\\my\r\n"), std::string::npos);
  EXPECT_EQ(Log().find(" closed."), std::string::npos);
  EXPECT_TRUE(FileExists(dir_ + "\\other.txt"));
  EXPECT_TRUE(FileExists(dir_ + "\\my-setup\\s.Orq"));
  EXPECT_NE(
      Log().find("DeleteScriptDirectory: " + dir_ + " stays: the script was not read from it"),
      std::string::npos)
      << Log();
}

// "/Log=" with nothing after it turns the main log off: not even the default log gets the run.
TEST_F(HostRuns, EmptyLogSwitchWritesNoLog) {
  char windows[MAX_PATH];
  const std::string defaultLog =
      std::string(windows, GetWindowsDirectoryA(windows, MAX_PATH)) + "\\tevagent.log";
  WriteTextFile(dir_ + "\\quiet.Orq", kShortScript);
  EXPECT_EQ(RunOrqex("/Log= /Script=" + dir_ + "\\quiet.Orq").exitCode, 0u);
  EXPECT_EQ(ReadTextFile(defaultLog).find(dir_ + "\\quiet.Orq"), std::string::npos);
  EXPECT_FALSE(FileExists(log_));
}
}  // namespace
