// The child helper reports its command line, folder, show command and path, and "ended".
#include <sstream>
#include <thread>
#include <tuple>

#include "commands/system/run_command_line.h"
#include "support_code/script_test.h"

namespace {
constexpr const char* kChild = "child_reporter.exe";

class RunCommandsTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    report_ = dir_ + "\\report.txt", plain_ = dir_ + "\\plain", blank_ = dir_ + "\\with blank";
    // "with.exe" is a decoy the system would start for an unquoted "...\with blank\..." program.
    for (const std::string& copy :
         {plain_ + "\\" + kChild, blank_ + "\\" + kChild, dir_ + "\\with.exe"}) {
      CreateDirectoryA(copy.substr(0, copy.rfind('\\')).c_str(), nullptr);
      CopyFileA((TestBinDir() + "\\" + kChild).c_str(), copy.c_str(), FALSE);
    }
  }

  // The report's lines once it has `count` of them (fewer after 10 s).
  std::vector<std::string> Report(std::size_t count = 0) const {
    std::vector<std::string> lines;
    for (int tries = 0; tries == 0 || (lines.size() < count && tries < 200); ++tries) {
      if (tries) Sleep(50);
      std::istringstream text(ReadTextFile(report_));
      lines.clear();
      for (std::string line; std::getline(text, line);) lines.push_back(line);
    }
    return lines;
  }

  std::string report_, plain_, blank_;
};

// An unquoted program path with blanks starts the file it names, never the decoy
// "<dir>\with.exe" the system would take for "<dir>\with blank\..."; a document starts the
// program its type is opened with.
TEST_F(RunCommandsTest, StartsTheProgramTheLineNamesShownOrHiddenAndWaitsForItsEnd) {
  const std::string args = " " + report_ + " 0 0 /s", child = kChild;
  const std::string document = blank_ + "\\the document.orqrundoc";
  WriteTextFile(document, "text");
  PutRegistryValue(HKEY_CLASSES_ROOT, ".orqrundoc", "", Sz("OrqRunDocument"));
  PutRegistryValue(HKEY_CLASSES_ROOT, "OrqRunDocument\\shell\\open\\command", "",
                   Sz("\"" + TestBinDir() + "\\" + child + "\" " + report_ + " 0 0 \"%1\""));
  // {lines, the child's folder, its show command, the end of its command line}
  const std::tuple<std::vector<std::string>, std::string, const char*, std::string> cases[] = {
      {{"RUNWAIT " + blank_ + "\\" + child + args}, blank_, "10", args},
      {{"SHELLEXECUTE " + blank_ + "\\" + child + args}, blank_, "0", args},
      {{"SET Doc=" + document, "SHELLEXECUTE %%Doc%%"}, TestBinDir(), "0", document + "\""},
      {{"SETWORKDIR " + blank_, "RUNHIDEWAIT " + child + args}, blank_, "0", args},
      {{"SETWORKDIR " + plain_, "RUNWAIT \"" + blank_ + "\\" + child + "\"" + args}, blank_, "10",
       args},
      {{"SETWORKDIR " + blank_, "RUNHIDEWAIT <Search_Path>" + child + args}, TestBinDir(), "0",
       args}};
  for (const auto& [lines, folder, show, tail] : cases) {
    SCOPED_TRACE(lines.back());
    DeleteFileA(report_.c_str());
    ASSERT_EQ(Run(lines), 0u) << Log();
    const bool shell = lines.back().rfind("SHELL", 0) == 0;  // returns at once, logs nothing
    std::vector<std::string> report = Report(shell ? 5 : 0);
    ASSERT_EQ(report.size(), 5u) << "the wait returned before the child ended";
    EXPECT_EQ(_stricmp(report[3].c_str(), (folder + "\\" + child).c_str()), 0) << report[3];
    EXPECT_EQ(report[2], show);
    EXPECT_EQ(report[0].substr(report[0].size() - tail.size()), tail);
    EXPECT_EQ(Log().find("Starting application...") == std::string::npos, shell);
  }
  SHDeleteKeyA(HKEY_CLASSES_ROOT, ".orqrundoc");
  SHDeleteKeyA(HKEY_CLASSES_ROOT, "OrqRunDocument");
}

TEST_F(RunCommandsTest, CommandLinesAreJoinedQuotedOrKeptAndTooLongOnesRefused) {
  using Form = CommandLineForm;
  const std::string xs(251, 'x');  // folders of 253 and 254 bytes: 259 and 260 joined
  const std::tuple<std::string, std::string, Form, std::string> cases[] = {
      // A program that is not there is quoted all the same: "C:\My.exe" never runs.
      {"setup.exe /s", "C:\\My Dir", Form::Ready, "\"C:\\My Dir\\setup.exe\" /s"},
      {"\"sub dir\\x.exe\" -q", "C:\\Temp", Form::Ready, "\"C:\\Temp\\sub dir\\x.exe\" -q"},
      {"\\\\server\\share\\x.exe", "C:\\Temp", Form::Ready, "\\\\server\\share\\x.exe"},
      {"x.exe", "C:\\" + xs.substr(1), Form::Ready, "C:\\" + xs.substr(1) + "\\x.exe"},
      {"x.exe", "C:\\" + xs, Form::TooLong, ""},
      {"x.exe", "C:\\ " + xs.substr(3), Form::TooLong, ""},  // fits only unquoted
  };
  for (const auto& [text, workDir, form, expected] : cases) {
    std::string line;
    EXPECT_EQ(BuildCommandLine(text, workDir, line), form) << text << " in " << workDir;
    EXPECT_EQ(line, expected) << text;
  }
}

TEST_F(RunCommandsTest, RunReturnsWhileTheChildRunsAndRunWaitServesMessagesUntilItEnds) {
  const std::string child = std::string(kChild) + " " + report_ + " 0 ";
  ASSERT_EQ(Run({"SETWORKDIR " + plain_, "RUNHIDE " + child + "4000"}), 0u);
  ASSERT_EQ(Report(4).size(), 4u);  // started, not ended yet
  EXPECT_EQ(Report(4)[2], "0");       // hidden
  ASSERT_EQ(Report(5).size(), 5u);

  // A window of the engine thread answers while RUNWAIT waits (the send gives up at 1.8 s).
  HWND window =
      CreateWindowExA(0, "STATIC", "abc", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  bool answered = false;
  std::thread sender([&] {
    Sleep(300);
    DWORD_PTR length = 0;
    answered = SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 1500, &length);
  });
  DeleteFileA(report_.c_str());
  ASSERT_EQ(Run({"SETWORKDIR " + plain_, "RUNWAIT " + child + "2000"}), 0u);
  sender.join();
  DestroyWindow(window);
  EXPECT_EQ(Report().size(), 5u);
  EXPECT_TRUE(answered);
}

TEST_F(RunCommandsTest, WhatCannotBeStartedAsWrittenLeavesALogLineAndNothingRuns) {
  const std::string tail = std::string(kChild) + " " + report_;
  const std::vector<std::string> cases[] = {
      {"SETWORKDIR " + plain_, "RUN missing_program.exe"},
      {"RUN " + tail},  // no working folder to find it in
      {"SETWORKDIR " + plain_, "RUNWAIT " + tail + " " + std::string(220, 'x')},
  };
  for (const auto& lines : cases) {
    ASSERT_EQ(Run(lines), 0u);
    std::string log = Log();
    std::size_t at = log.find("CreateProcess Error: ");
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_GT(log.find('\r', at), at + 25) << "the system's text follows";
  }
  ExpectFailures({{"RUN %%Missing%%" + tail, 28}, {"SHELLEXECUTE %%Missing%%", 28}});
  Sleep(300);
  EXPECT_FALSE(FileExists(report_));
}
}  // namespace
