// The run commands start the child helper, which reports its command line, show
// command and program path; the tests read that report back from the file it
// wrote.
#include <atomic>
#include <cctype>
#include <thread>

#include "support_code/script_test.h"

namespace {
constexpr const char *kChild = "child_reporter.exe";

std::string Lower(std::string text) {
  for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

class RunCommandsTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    report_ = dir_ + "\\report.txt";
    plain_ = CopyChildTo("plain");
    blank_ = CopyChildTo("with blank");
    // A decoy the system would start for an unquoted "...\with blank\..." program.
    CopyFileA((plain_ + "\\" + kChild).c_str(), (dir_ + "\\with.exe").c_str(), FALSE);
  }

  std::string CopyChildTo(const std::string &folder) {
    std::string path = dir_ + "\\" + folder;
    CreateDirectoryA(path.c_str(), nullptr);
    CopyFileA((TestBinDir() + "\\" + kChild).c_str(), (path + "\\" + kChild).c_str(), FALSE);
    return path;
  }

  // Lines of the child's report: command line, current folder, show command,
  // program, and "ended" once it has finished.
  std::vector<std::string> Report() const {
    std::vector<std::string> lines;
    std::string text = ReadTextFile(report_), line;
    for (char c : text) {
      if (c == '\n') {
        lines.push_back(line);
        line.clear();
      } else {
        line += c;
      }
    }
    return lines;
  }
  bool WaitForReportLines(std::size_t count, DWORD timeoutMs = 10000) const {
    for (DWORD waited = 0; Report().size() < count; waited += 50) {
      if (waited >= timeoutMs) return false;
      Sleep(50);
    }
    return true;
  }

  std::string report_, plain_, blank_;
};

TEST_F(RunCommandsTest, StartsTheProgramTheLineNamesShownOrHiddenAndWaitsForItsEnd) {
  const std::string args = " " + report_ + " 0 0 /s";
  const std::string bin = TestBinDir();
  struct Case {
    std::vector<std::string> lines;
    std::string program;
    int show;
  } cases[] = {
      {{"SETWORKDIR " + plain_, std::string("RUNWAIT ") + kChild + args}, plain_, 10},
      {{"SETWORKDIR " + blank_, std::string("RUNHIDEWAIT ") + kChild + args}, blank_, 0},
      {{"SETWORKDIR " + plain_, "RUNWAIT \"" + blank_ + "\\" + kChild + "\"" + args}, blank_, 10},
      {{"SETWORKDIR " + blank_, std::string("RUNHIDEWAIT <Search_Path>") + kChild + args}, bin, 0},
      {{"SET Prog=" + std::string(kChild), "SETWORKDIR " + blank_, "RUNWAIT %%Prog%%" + args},
       blank_,
       10},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.lines.back());
    DeleteFileA(report_.c_str());
    ASSERT_EQ(Run(c.lines), 0u) << Log();
    std::vector<std::string> report = Report();
    ASSERT_EQ(report.size(), 5u) << "the wait returned before the child ended";
    EXPECT_EQ(Lower(report[3]), Lower(c.program + "\\" + kChild));
    EXPECT_EQ(report[2], std::to_string(c.show));
    EXPECT_EQ(report[0].substr(report[0].size() - args.size()), args);
    EXPECT_NE(Log().find("Starting application..."), std::string::npos);
  }
}

TEST_F(RunCommandsTest, RunReturnsWhileTheChildRunsAndRunWaitServesMessagesUntilItEnds) {
  ULONGLONG start = GetTickCount64();
  ASSERT_EQ(
      Run({"SETWORKDIR " + plain_, std::string("RUNHIDE ") + kChild + " " + report_ + " 0 4000"}),
      0u);
  EXPECT_LT(GetTickCount64() - start, 3500u);
  ASSERT_TRUE(WaitForReportLines(4));
  EXPECT_EQ(Report()[2], "0");
  EXPECT_EQ(Report().size(), 4u);  // not ended yet
  ASSERT_TRUE(WaitForReportLines(5));

  // A window of the engine thread keeps answering while RUNWAIT waits.
  HWND window =
      CreateWindowExA(0, "STATIC", "abc", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  std::atomic<ULONGLONG> answeredAfter{0};
  start = GetTickCount64();
  std::thread sender([&] {
    Sleep(300);
    DWORD_PTR length = 0;
    if (SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length) &&
        length == 3) {
      answeredAfter = GetTickCount64() - start;
    }
  });
  DeleteFileA(report_.c_str());
  ASSERT_EQ(
      Run({"SETWORKDIR " + plain_, std::string("RUNWAIT ") + kChild + " " + report_ + " 0 2000"}),
      0u);
  const ULONGLONG elapsed = GetTickCount64() - start;
  sender.join();
  DestroyWindow(window);
  EXPECT_EQ(Report().size(), 5u);
  EXPECT_GE(elapsed, 2400u);  // the child's 2 s and the 500 ms pause after it
  EXPECT_GT(answeredAfter.load(), 0u);
  EXPECT_LT(answeredAfter.load(), 2000u);
}

TEST_F(RunCommandsTest, WhatCannotBeStartedAsWrittenLeavesALogLineAndNothingRuns) {
  const std::string tail = " " + report_;
  const std::vector<std::string> cases[] = {
      {"SETWORKDIR " + plain_, "RUN missing_program.exe" + tail},
      {std::string("RUN ") + kChild + tail},  // no working folder to find it in
      {"SETWORKDIR " + plain_,
       std::string("RUNWAIT ") + kChild + tail + " " + std::string(220, 'x')},
  };
  for (const auto &lines : cases) {
    SCOPED_TRACE(lines.back());
    ASSERT_EQ(Run(lines), 0u);
    std::string log = Log();
    std::size_t at = log.find("CreateProcess Error: ");
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_GT(log.find('\r', at), at + 25) << "the system's text follows";
  }
  Sleep(300);
  EXPECT_FALSE(FileExists(report_));
  ExpectFailures(
      {{"RUN %%Missing%%" + std::string(kChild) + tail, 28}, {"SHELLEXECUTE %%Missing%%", 28}});
}

TEST_F(RunCommandsTest, ShellExecuteOpensADocumentWithItsAssociatedProgramHidden) {
  const std::string command = "\"" + TestBinDir() + "\\" + kChild + "\" " + report_ + " 0 0 \"%1\"";
  PutRegistryValue(HKEY_CLASSES_ROOT, ".orqrundoc", "", Sz("OrqRunDocument"));
  PutRegistryValue(HKEY_CLASSES_ROOT, "OrqRunDocument\\shell\\open\\command", "", Sz(command));
  const std::string document = blank_ + "\\the document.orqrundoc";
  WriteTextFile(document, "text");

  EXPECT_EQ(Run({"SET Doc=" + document, "SHELLEXECUTE %%Doc%%"}), 0u);
  bool started = WaitForReportLines(4);
  SHDeleteKeyA(HKEY_CLASSES_ROOT, ".orqrundoc");
  SHDeleteKeyA(HKEY_CLASSES_ROOT, "OrqRunDocument");
  ASSERT_TRUE(started) << Log();
  std::vector<std::string> report = Report();
  EXPECT_NE(Lower(report[0]).find(Lower(document)), std::string::npos) << report[0];
  EXPECT_EQ(report[2], "0");
  WaitForReportLines(5);  // let it finish before the folder goes
}

// Through the test agent, which records each call on its application utility; in quiet
// mode only the close is asked for.
TEST_F(RunCommandsTest, UserAppCommandsCallTheAgentWithTheirArguments) {
  ExpectFailures({{"STARTUSERAPP prog.exe", 51}});
  EXPECT_EQ(Run({"STARTUSERAPP prog.exe,1", "CLOSEUSERAPP prog.exe"}), 0u);  // no agent here

  WriteTextFile(dir_ + "\\user.Orq",
                "[DefaultInstall]\r\nSET P=prog one.exe\r\nSTARTUSERAPP %%P%% /x , 42\r\n"
                "CLOSEUSERAPP  %%P%%\r\n");
  const std::string close = "CloseApplication 30000 -1 prog one.exe|\r\n";
  const std::pair<const char *, std::string> cases[] = {
      {"", "StartApplication 42 prog one.exe /x\r\n" + close}, {" /Quiet", close}};
  for (const auto &[extra, calls] : cases) {
    const std::string record = dir_ + "\\calls.txt";
    DeleteFileA(record.c_str());
    std::string commandLine = "\"" + TestBinDir() + "\\test_agent.exe\" " + record +
                              " /Script=" + dir_ + "\\user.Orq /Log=" + dir_ + "\\run.log" + extra;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started));
    UniqueKernelHandle process(started.hProcess), thread(started.hThread);
    ASSERT_EQ(WaitForSingleObject(process.Get(), 60000), WAIT_OBJECT_0);
    EXPECT_EQ(ReadTextFile(record).substr(0, calls.size()), calls) << extra << "\n" << Log();
  }
}
}  // namespace
