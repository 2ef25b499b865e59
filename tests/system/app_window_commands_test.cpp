// Against the window helper; its end and exit code are read from its process handle.
#include "support_code/script_test.h"

namespace {
class AppWindowTest : public ScriptTest {
 protected:
  std::unique_ptr<StartedProgram> StartWindow(const std::string& className,
                                              const std::string& title,
                                              const std::string& options) {
    std::string ready = "OrqReady_" + name_ + std::to_string(++started_);
    return StartProgramCopy("window_app.exe", dir_ + "\\w" + std::to_string(started_) + ".exe",
                            className + " \"" + title + "\" --ready " + ready + " " + options,
                            ready.c_str());
  }
  ULONGLONG Took(const std::vector<std::string>& lines) {
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(Run(lines), 0u) << Log();
    return GetTickCount64() - start;
  }
  int started_ = 0;
};

TEST_F(AppWindowTest, WindowsAreFoundByClassOrTitleAndWaitsLastTheirLoggedTime) {
  auto app = StartWindow("OrqWaitClass", "Orq Wait Title", "--life 9000");
  ExpectAnswers({{"ISAPPRUNNING ByClass=OrqWaitClass", "TRUE"},
                 {"ISAPPRUNNING ByTitle=Orq Wait Title", "TRUE"},
                 {"ISAPPRUNNING Other=OrqNoSuchWindow", "FALSE"},
                 {"ISAPPRUNNING Blank=", "FALSE"}});
  ExpectFailures({{"ISAPPRUNNING R", 23}}, false);
  // {lines, least and most milliseconds, window there afterwards, the one wait logged}.
  // WAITFORTIME takes a number or a symbol holding one; text and negative numbers (however
  // large) are no wait at all, where a wrapped value would hang the run.
  const std::tuple<std::vector<std::string>, ULONGLONG, ULONGLONG, bool, const char*> cases[] = {
      {{"SET Delay=700", "WAITFORTIME 300", "WAITFORTIME Delay", "WAITFORTIME abc",
        "WAITFORTIME -1", "WAITFORTIME -4294967296"}, 1000, 2000, true, "Waiting 700 ms"},
      {{"WAITFORWINDOWCLOSE OrqNoSuchWindow,3000"}, 0, 500, true, ""},
      {{"WAITFORWINDOWCLOSE Orq Wait Title,1500"}, 1900, 3500, true, "at most 2000 ms"},
      {{"WAITFORWINDOWCLOSE OrqWaitClass,-1"}, 0, 10000, false, "without a time limit"}};
  for (const auto& [lines, least, most, stays, logged] : cases) {
    SCOPED_TRACE(lines.back());
    ULONGLONG took = Took(lines);
    EXPECT_GE(took, least);
    EXPECT_LE(took, most);
    EXPECT_NE(app->Ended(), stays);
    const std::size_t at = Log().find(logged);
    EXPECT_TRUE(at != std::string::npos && Log().find("Waiting", at + 1) == std::string::npos)
        << Log();
  }
}

TEST_F(AppWindowTest, CloseAppEndsEachApplicationWithinItsTimeAndNeverTheEngine) {
  // {class, title, helper options, line, least and most ms, exit code: 10 closed, 0 ended}
  const std::tuple<const char*, const char*, const char*, const char*, ULONGLONG, ULONGLONG, DWORD>
      cases[] = {
          // Other classes get WM_DESTROY, which closes the helper even when it ignores WM_CLOSE.
          {"OrqCloseA", "Orq Close Title", "--ignore-close", "CLOSEAPP Orq Close Title", 1000,
           8000, 10},
          // WM_CLOSE, for this class in any case, ignored: the window stays through the 15
          // looks, then the process is ended.
          {"Tevlin_OsMainClass", "M", "--ignore-close", "CLOSEAPP tevlin_osmainclass", 15000, 22000,
           0},
          // Hung: the close message gives up and the process is ended long before it answers.
          {"OrqHung", "Orq Hung", "--hang 80000 --life 90000", "CLOSEAPP OrqHung", 15000, 40000,
           0}};
  for (const auto& [className, title, options, line, least, most, exitCode] : cases) {
    SCOPED_TRACE(line);
    auto app = StartWindow(className, title, options);
    ULONGLONG took = Took({line});
    EXPECT_GE(took, least);
    EXPECT_LE(took, most);
    ASSERT_TRUE(app->Ended());
    EXPECT_EQ(app->ExitCode(), exitCode);
    EXPECT_NE(Log().find("Closing application..."), std::string::npos);
  }

  // The list ends at its first empty item; a window of the engine's own is never closed.
  auto first = StartWindow("OrqListA", "A", ""), second = StartWindow("OrqListB", "B", "");
  HWND own = CreateWindowExA(0, "STATIC", "OrqOwnWindow", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                             nullptr);
  Took({"CLOSEAPP OrqListA,,OrqListB", "CLOSEAPP OrqOwnWindow"});
  EXPECT_TRUE(first->Ended());
  EXPECT_FALSE(second->Ended());
  EXPECT_TRUE(IsWindow(own));
  EXPECT_EQ(Log().find("Closing application...OrqOwnWindow"), std::string::npos);
  DestroyWindow(own);
}
// A whole run as Windows 98, names through a symbol: a window that ignores WM_CLOSE is ended after
// the wait; the run's own program and progress dialog are never reported, ended or waited for.
TEST_F(AppWindowTest, WholeRunAsWindows98EndsWindowsButNeverItsOwnProgramOrDialog) {
  auto shown = StartWindow("OrqW98Shown", "Orq W98 Shown", "");
  auto ignoring = StartWindow("OrqW98Ignoring", "Orq W98 Ignoring", "--ignore-close");
  const std::string copy = dir_ + "\\OrqexW98.exe";
  CopyOrqexAsNineEight(copy);
  WriteTextFile(dir_ + "\\s.Orq",
                "[DefaultInstall]\r\nSET Dir=" + dir_ + "\r\nISPROCESSRUNNING Before=%%Dir%%\\w1"
                "\r\nKILLPROCESS %%Dir%%\\w1.exe\r\nKILLPROCESS %%Dir%%\\w2.exe\r\nKILLPROCESS "
                "%%Dir%%\r\nISPROCESSRUNNING After=%%Dir%%\r\nSTARTPROGRESSDLG Orq Own Dialog\r\n"
                "ISAPPRUNNING R=Orq Own Dialog\r\nWAITFORWINDOWCLOSE Orq Own Dialog,30000\r\n"
                "WAITFORWINDOWCLOSE Orq Own Dialog\r\nSET Seen=%%Before%% %%After%% %%R%%\r\n");
  const ULONGLONG start = GetTickCount64();
  const std::string run = copy + " /Script=" + dir_ + "\\s.Orq /Log=" + dir_ + "\\run.log";
  EXPECT_EQ(RunProgram(run).exitCode, 0u) << Log();  // a wait without a limit would never end
  EXPECT_GE(GetTickCount64() - start, 10000u) << "the ignoring window had its 10 s";
  EXPECT_NE(Log().find("SET Seen=TRUE FALSE FALSE"), std::string::npos) << Log();
  EXPECT_EQ(Log().find("Waiting"), std::string::npos) << Log();
  ASSERT_TRUE(shown->Ended() && ignoring->Ended());
  EXPECT_EQ(shown->ExitCode(), 10u);
  EXPECT_EQ(ignoring->ExitCode(), 0u);
}
}  // namespace
