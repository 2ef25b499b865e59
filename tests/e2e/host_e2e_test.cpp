// Whole runs of Orqex.exe that check the host: switches, the usage box, the start-up log
// lines, the parent watch and the deletion of the script's folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/win_handles.h"
#include "support_code/win32_test_utils.h"

namespace {
const char* const kUsageText = "Usage:\nOrqex /Script=C:\\MyTest.Orq /Log=orqex.log";
const char* const kUsageCaption = "Orqex usage Error";
const char* const kShortScript = "[DefaultInstall]\r\nSET A=1\r\n";

struct Started {
  UniqueKernelHandle process;
  DWORD id = 0;
};

Started Start(const std::string& commandLine, const std::string& currentDir = "") {
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  Started started;
  if (CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &info)) {
    started.process.Reset(info.hProcess);
    started.id = info.dwProcessId;
    CloseHandle(info.hThread);
  }
  return started;
}

// The exit code, or a note that the process is still running after `timeoutMs` (it is
// then ended).
DWORD WaitForExit(const Started& started, DWORD timeoutMs) {
  if (!started.process) return 0xDEADDEAD;
  if (WaitForSingleObject(started.process.Get(), timeoutMs) == WAIT_TIMEOUT) {
    TerminateProcess(started.process.Get(), 0xBAD);
    WaitForSingleObject(started.process.Get(), 5000);
    return 0xBAD;
  }
  DWORD code = 0;
  GetExitCodeProcess(started.process.Get(), &code);
  return code;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line, '\n');) lines.push_back(line);
  return lines;
}

// The message part of each log line ("" for a line that does not have the log's form).
std::vector<std::string> Messages(const std::string& log) {
  static const std::regex kLine(R"(\d\d-\d\d \d\d:\d\d:\d\d   \\Orqex:[0-9a-f]{3,} (.*)\r)");
  std::vector<std::string> messages;
  for (const std::string& line : Lines(log)) {
    std::smatch match;
    messages.push_back(std::regex_match(line, match, kLine) ? match[1].str() : "");
  }
  return messages;
}

BOOL CALLBACK CollectText(HWND child, LPARAM texts) {
  char text[512];
  int n = GetWindowTextA(child, text, sizeof text);
  reinterpret_cast<std::vector<std::string>*>(texts)->emplace_back(text, n > 0 ? n : 0);
  return TRUE;
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
    box = FindWindowA("#32770", kUsageCaption);
    if (!box) Sleep(50);
  }
  std::vector<std::string> texts;
  if (box) {
    EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&texts));
    SendMessageA(box, WM_COMMAND, IDOK, 0);
  }
  orqex.join();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(std::find(texts.begin(), texts.end(), kUsageText), texts.end());
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 57u);
  std::vector<std::string> messages = Messages(Log());
  ASSERT_EQ(messages.size(), 3u) << Log();
  EXPECT_EQ(messages[1], "Before CoInitialize");
}

TEST_F(HostRuns, QuietWithoutScriptShowsNothingAndExitsWith57) {
  OrqexRun run = RunOrqex("/Quiet /Log=" + log_, 20000);
  EXPECT_FALSE(run.timedOut);  // a box would have kept it waiting
  EXPECT_EQ(run.exitCode, 57u);
  EXPECT_EQ(Messages(Log()).size(), 3u);
  // A registration word followed by a blank is no registration: the usage rule applies.
  EXPECT_EQ(RunOrqex("/Log=" + log_ + " /Quiet /RegServer ", 20000).exitCode, 57u);
  EXPECT_EQ(RunOrqex("/Log=" + log_ + " /Quiet /UnregServer", 20000).exitCode, 0u);
}

TEST_F(HostRuns, BreakOnStartWithoutADebuggerDoesNotStopTheProgram) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tevlin\\Agent", 0, nullptr, 0,
                            KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  UniqueRegKey owned(key);
  DWORD saved = 0, size = sizeof saved;
  bool hadValue = RegQueryValueExA(key, "dwBreakOnORQStart", nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(&saved), &size) == ERROR_SUCCESS;
  DWORD one = 1;
  RegSetValueExA(key, "dwBreakOnORQStart", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof one);
  OrqexRun run = RunOrqex("/Quiet /Log=" + log_, 20000);
  if (hadValue) {
    RegSetValueExA(key, "dwBreakOnORQStart", 0, REG_DWORD, reinterpret_cast<BYTE*>(&saved),
                   sizeof saved);
  } else {
    RegDeleteValueA(key, "dwBreakOnORQStart");
  }
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 57u);
  EXPECT_EQ(Messages(Log()).size(), 3u);
}

TEST_F(HostRuns, StartUpLinesComeFirstInTheLogsForm) {
  OrqexRun run = RunScript(dir_, "[Main]\r\nSET A=1\r\n", "/Section=Main");
  EXPECT_EQ(run.exitCode, 0u);
  std::vector<std::string> messages = Messages(Log());
  ASSERT_GE(messages.size(), 5u) << Log();
  for (const std::string& message : messages) EXPECT_NE(message, "") << Log();
  EXPECT_EQ(messages[0], "Command Line: \"" + TestBinDir() + "\\Orqex.exe\" /Script=" + dir_ +
                             "\\test.Orq /Log=" + log_ + " /Section=Main");
  EXPECT_EQ(messages[1], "Before CoInitialize");
  EXPECT_EQ(messages[2], "After CoInitialize");
  EXPECT_EQ(messages[3], "ScriptFiles=" + dir_ + "\\test.Orq, StartSection=Main");
}

TEST_F(HostRuns, TheRunsStatusIsTheExitCode) {
  EXPECT_EQ(RunScript(dir_, kShortScript, "/Section=Nowhere").exitCode, 7u);
  EXPECT_EQ(RunOrqex("/Script=" + dir_ + "\\missing.Orq /Log=" + log_).exitCode, 9u);
  EXPECT_EQ(RunScript(dir_, kShortScript, "/section=DefaultInstall").exitCode, 0u);
}

TEST_F(HostRuns, ParamsAreDecodedForTheScript) {
  // lang="de" mode="x"
  RunScript(dir_, "[DefaultInstall]\r\nGETPARAM L=LANG\r\nSET X=%%L%%\r\n",
            "/Params=6C616E673D226465222066 /Quiet");
  EXPECT_NE(Log().find(" Executing line 3: SET X=de\r\n"), std::string::npos) << Log();
}

TEST_F(HostRuns, ScriptWithoutFolderRunsFromTheProgramFolder) {
  const std::string name = "host_e2e_program_folder.Orq";
  const std::string inProgramFolder = TestBinDir() + "\\" + name;
  WriteTextFile(inProgramFolder, kShortScript);
  // Started from another current folder: the program's folder still counts.
  Started orqex = Start("\"" + TestBinDir() + "\\Orqex.exe\" /Script=" + name + " /Log=" + log_ +
                            " /DeleteScriptDirectory",
                        dir_);
  DWORD code = WaitForExit(orqex, 60000);
  bool stillThere = FileExists(inProgramFolder);
  DeleteFileA(inProgramFolder.c_str());
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(stillThere);
  EXPECT_NE(Log().find("ScriptFiles=" + inProgramFolder + ", StartSection=DefaultInstall"),
            std::string::npos)
      << Log();
}

TEST_F(HostRuns, DeleteScriptDirectoryRemovesTheScriptsFolderWhateverTheOutcome) {
  for (const char* script : {kShortScript, "[DefaultInstall]\r\nBOGUS\r\n"}) {
    const std::string victim = dir_ + "\\victim";
    CreateDirectoryA(victim.c_str(), nullptr);
    CreateDirectoryA((victim + "\\sub").c_str(), nullptr);
    WriteTextFile(victim + "\\sub\\payload.bin", "p");
    WriteTextFile(victim + "\\setup.Orq", script);
    OrqexRun run =
        RunOrqex("/Script=" + victim + "\\setup.Orq /Log=" + log_ + " /DeleteScriptDirectory");
    EXPECT_EQ(run.exitCode, script == kShortScript ? 0u : 2u);
    EXPECT_FALSE(FileExists(victim)) << script;
  }
}

TEST_F(HostRuns, DeleteScriptDirectoryNeverTakesTheProgramFolderOrItsParents) {
  const std::string program = dir_ + "\\program";
  CreateDirectoryA(program.c_str(), nullptr);
  ASSERT_TRUE(
      CopyFileA((TestBinDir() + "\\Orqex.exe").c_str(), (program + "\\Orqex.exe").c_str(), FALSE));
  WriteTextFile(program + "\\setup.Orq", kShortScript);
  WriteTextFile(dir_ + "\\above.Orq", kShortScript);
  for (const std::string& script : {program + "\\setup.Orq", dir_ + "\\above.Orq"}) {
    Started orqex = Start("\"" + program + "\\Orqex.exe\" /Script=" + script + " /Log=" + log_ +
                          " /DeleteScriptDirectory");
    EXPECT_EQ(WaitForExit(orqex, 60000), 0u);
    EXPECT_TRUE(FileExists(script)) << script;
  }
  EXPECT_TRUE(FileExists(program + "\\Orqex.exe"));
  EXPECT_NE(Log().find("is a protected folder and stays"), std::string::npos) << Log();
}

TEST_F(HostRuns, ParentEndingEndsTheRunWithMinusOne) {
  const std::string helper = "\"" + TestBinDir() + "\\exit_after_delay.exe\" 1000";
  // Waiting in the usage box.
  Started parent = Start(helper);
  ASSERT_TRUE(parent.process);
  OrqexRun inBox = RunOrqex("/Log=" + log_ + " /Parent=" + std::to_string(parent.id), 30000);
  EXPECT_FALSE(inBox.timedOut);
  EXPECT_EQ(inBox.exitCode, 0xFFFFFFFFu);

  // In the middle of a script far longer than the parent lives.
  std::string script = "[DefaultInstall]\r\n";
  for (int i = 0; i < 100000; ++i) script += "SET A=" + std::to_string(i) + "\r\n";
  parent = Start(helper);
  ASSERT_TRUE(parent.process);
  ULONGLONG start = GetTickCount64();
  OrqexRun inRun = RunScript(dir_, script, "/Parent=" + std::to_string(parent.id), "long.Orq");
  EXPECT_EQ(inRun.exitCode, 0xFFFFFFFFu);
  EXPECT_LT(GetTickCount64() - start, 15000u);
  EXPECT_EQ(Log().find("Script finished"), std::string::npos);

  // An id that names no process changes nothing.
  EXPECT_EQ(RunOrqex("/Log=" + log_ + " /Quiet /Parent=999999992", 20000).exitCode, 57u);
  EXPECT_EQ(RunOrqex("/Log=" + log_ + " /Quiet /Parent=abc", 20000).exitCode, 57u);
}
}  // namespace
