// Whole runs of Orqex.exe: what only the program's own start, switches and end show.
#include <regex>
#include <thread>

#include "files/files_test_support.h"
#include "support_code/broken_script.h"
#include "support_code/script_test.h"

namespace {
const char* const kShortScript = "[DefaultInstall]\r\nSET A=1\r\n";

using HostRuns = ScriptTest;

TEST_F(HostRuns, StartUpLinesComeFirstAndTheRunsStatusIsTheExitCode) {
  // lang="de" f
  LogInit(kLogLevelStatus, "");  // the log is the run's alone
  OrqexRun run = RunScript(dir_, "[Main]\r\nGETPARAM L=LANG\r\nSET X=%%L%%\r\n",
                           "/Section=Main /Params=6C616E673D226465222066 /Quiet");
  EXPECT_EQ(run.exitCode, 0u);
  const std::vector<std::string> messages = LogMessages(Log());
  ASSERT_GE(messages.size(), 5u) << Log();
  for (const std::string& message : messages) EXPECT_NE(message, "") << Log();
  EXPECT_EQ(messages[0], "Command Line: \"" + TestBinDir() + "\\Orqex.exe\" /Script=" + dir_ +
                             "\\test.Orq /Log=" + dir_ +
                             "\\run.log /Section=Main /Params=**** /Quiet");  // may carry passwords
  EXPECT_EQ(messages[1] + "|" + messages[2], "Before CoInitialize|After CoInitialize");
  EXPECT_EQ(messages[3], "ScriptFiles=" + dir_ + "\\test.Orq, StartSection=Main");
  EXPECT_NE(Log().find(" Executing line 3: SET X=de\r\n"), std::string::npos) << Log();
  EXPECT_NE(Log().find("Script finished successfully!!"), std::string::npos);
}

// Under WhatIf what the command's own check refuses (as expanded) ends the run with its code.
TEST_F(HostRuns, WhatIfEndsWithTheCodeOfTheCheckOfTheExpandedLine) {
  const char* refused = "[DefaultInstall]\r\nSET R=HKCU\r\nSETREGVALUE %%R%%\\Software\\X,A=1\r\n";
  EXPECT_EQ(RunScript(dir_, refused, "/WhatIf").exitCode, 20u);
  EXPECT_NE(Log().find("Error: The HKEY Root was not specified."), std::string::npos) << Log();
}

// Only the script's own folder goes: a value ends at a "-", so "my-setup\s.Orq" arrives as "my".
TEST_F(HostRuns, DeleteScriptDirectoryRemovesOnlyTheFolderTheScriptWasReadFrom) {
  const std::string inProgram = TestBinDir() + "\\host_e2e_program_folder.Orq";
  const std::string victim = dir_ + "\\victim", other = dir_ + "\\other.txt";
  const std::string log = dir_ + "\\run.log";
  WriteTextFile(other, "x");
  const std::string toProgram = dir_ + "\\to_program";  // a second name of the program's folder
  ASSERT_NO_FATAL_FAILURE(MakeUnixLink(UnixPath(TestBinDir()), toProgram));
  const struct {
    std::string file, named, script;  // named: as /Script= gives it, when not the file
    unsigned exitCode;
    std::string logged, checked;  // a file or folder that is there afterwards or not
    bool stays;
  } rows[] = {
      {victim + "\\setup.Orq", "", kShortScript, 0, "", victim, false},
      {victim + "\\setup.Orq", "", "[DefaultInstall]\r\nBOGUS\r\n", 2, "", victim, false},
      {inProgram, "host_e2e_program_folder.Orq", kShortScript, 0,
       "ScriptFiles=" + inProgram + ", StartSection=DefaultInstall", inProgram, true},
      {inProgram, toProgram + "\\host_e2e_program_folder.Orq", kShortScript, 0,
       "DeleteScriptDirectory: " + toProgram + " is a protected folder and stays", inProgram, true},
      {dir_ + "\\my-setup\\s.Orq", "", kShortScript, 9,
       "DeleteScriptDirectory: " + dir_ + " stays: the script was not read from it", other, true},
  };
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  SetCurrentDirectoryA(dir_.c_str());  // inherited by the run
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    CreateDirectoryA(row.file.substr(0, row.file.rfind('\\')).c_str(), nullptr);
    WriteTextFile(row.file, row.script);
    DeleteFileA(log.c_str());
    const OrqexRun run =
        RunOrqex("/Script=" + (row.named.empty() ? row.file : row.named) + " /Log=" + log +
                 " /DeleteScriptDirectory");
    EXPECT_EQ(run.exitCode, row.exitCode);
    EXPECT_EQ(FileExists(row.checked), row.stays);
    EXPECT_NE(Log().find(row.logged), std::string::npos) << Log();
  }
  SetCurrentDirectoryA(previous);
  DeleteFileA(inProgram.c_str());
}

// Quiet, a gone parent and a break-on-start setting without a debugger must not hang the run.
TEST_F(HostRuns, NoScriptShowsTheUsageBoxUntilTheParentEndsAndQuietExitsWith57) {
  const std::string log = dir_ + "\\run.log";
  UniqueKernelHandle parent = StartProgram("\"" + TestBinDir() + "\\exit_after_delay.exe\" 3000");
  ASSERT_TRUE(parent);
  HWND box = nullptr, text = nullptr;
  std::thread finder([&] {
    for (int i = 0; i < 400 && !(box = FindWindowA("#32770", "Orqex usage Error")); ++i) Sleep(10);
    text = FindWindowExA(box, nullptr, "Static",
                         "Usage:\nOrqex /Script=C:\\MyTest.Orq /Log=orqex.log");
  });
  OrqexRun inBox =
      RunOrqex("/Log=" + log + " /Parent=" + std::to_string(GetProcessId(parent.Get())), 30000);
  finder.join();
  EXPECT_TRUE(box && text);
  EXPECT_FALSE(inBox.timedOut);  // the time-out would end it with -1 too
  EXPECT_EQ(inBox.exitCode, 0xFFFFFFFFu);

  const DWORD one = 1;
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tevlin\\Agent", "dwBreakOnORQStart", REG_DWORD,
                  &one, sizeof one);
  DeleteFileA(log.c_str());
  OrqexRun quiet = RunOrqex("/Log=" + log + " /Quiet /Parent=999999992", 20000);
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tevlin\\Agent", "dwBreakOnORQStart");
  EXPECT_EQ(quiet.exitCode, 57u);  // a box shown would keep it waiting
  EXPECT_EQ(LogMessages(Log()).size(), 3u) << Log();
}

// Each "Check: line <n>: <what>" entry with the line after it, as "<n>: <what> | <line>".
std::vector<std::string> LoggedFindings(const std::string& log) {
  static const std::regex kFinding(R"(Check: line (\d+): (.*))");
  const std::vector<std::string> messages = LogMessages(log);
  std::vector<std::string> findings;
  for (std::size_t i = 0; i + 1 < messages.size(); ++i) {
    std::smatch match;
    if (std::regex_match(messages[i], match, kFinding))
      findings.push_back(match[1].str() + ": " + match[2].str() + " | " + messages[i + 1]);
  }
  return findings;
}

std::string Shown(const ExpectedFinding& finding) {
  return std::to_string(finding.line) + ": " + finding.message + " | " + finding.text;
}

// Not quiet, so a message box shown would hold the run until it is killed.
TEST_F(HostRuns, CheckLogsEveryFindingWithItsLineAndActsOnNothing) {
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrqCheckScratch");
  EXPECT_EQ(RunScript(dir_, kBrokenScript, "/Check", "broken.Orq").exitCode, kBrokenScriptExitCode);
  std::vector<std::string> expected;
  for (const ExpectedFinding& finding : BrokenScriptFindings()) expected.push_back(Shown(finding));
  EXPECT_EQ(LoggedFindings(Log()), expected) << Log();
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\OrqCheckScratch"))
      << "a checked line was carried out";

  EXPECT_EQ(RunScript(dir_, kBrokenScript, "/Check /Section=Missing", "broken.Orq").exitCode,
            kMissingStartExitCode);
  const std::vector<std::string> findings = LoggedFindings(Log());
  EXPECT_EQ(findings.empty() ? "" : findings.front(), Shown(kMissingStartFinding)) << Log();

  // The shipped cabinet example checks without a finding (the registry example runs clean).
  const std::string script = ReadTextFile(SourceTreePath("examples\\cabinet.Orq"));
  ASSERT_FALSE(script.empty()) << "ORQ_SOURCE_DIR must name the source tree";
  EXPECT_EQ(RunScript(dir_, script, "/Check", "cabinet.Orq").exitCode, 0u);
  EXPECT_EQ(LoggedFindings(Log()), std::vector<std::string>{}) << Log();
}
}  // namespace
