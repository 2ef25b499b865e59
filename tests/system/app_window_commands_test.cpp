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

TEST_F(AppWindowTest, IsAppRunningAndWaitForWindowCloseFindAWindowByClassOrTitle) {
  auto app = StartWindow("OrqWaitClass", "Orq Wait Title", "--life 7000");
  ExpectAnswers({{"ISAPPRUNNING ByClass=OrqWaitClass", "TRUE"},
                 {"ISAPPRUNNING ByTitle=Orq Wait Title", "TRUE"},
                 {"ISAPPRUNNING Other=OrqNoSuchWindow", "FALSE"},
                 {"ISAPPRUNNING Blank=", "FALSE"}});
  ExpectFailures({{"ISAPPRUNNING R", 23}}, false);
  // {line, least and most milliseconds, window there afterwards, logged}
  const std::tuple<const char*, ULONGLONG, ULONGLONG, bool, const char*> cases[] = {
      {"WAITFORWINDOWCLOSE OrqNoSuchWindow,3000", 0, 500, true, ""},
      {"WAITFORWINDOWCLOSE Orq Wait Title,1500", 1900, 3500, true, "at most 2000 ms"},
      {"WAITFORWINDOWCLOSE OrqWaitClass,-1", 0, 10000, false, "without a time limit"}};
  for (const auto& [line, least, most, stays, logged] : cases) {
    SCOPED_TRACE(line);
    ULONGLONG took = Took({line});
    EXPECT_GE(took, least);
    EXPECT_LE(took, most);
    EXPECT_NE(app->Ended(), stays);
    EXPECT_NE(Log().find(logged), std::string::npos) << Log();
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
// A whole run: the engine's own progress dialog is not running, nor waited for.
TEST_F(AppWindowTest, TheEnginesOwnDialogIsNoApplicationToFindOrWaitFor) {
  const std::string script =
      "[DefaultInstall]\r\nSTARTPROGRESSDLG Orq Own Dialog\r\n"
      "ISAPPRUNNING R=Orq Own Dialog\r\nWAITFORWINDOWCLOSE Orq Own Dialog,30000\r\n"
      "WAITFORWINDOWCLOSE Orq Own Dialog\r\nSET Seen=%%R%%\r\n";
  EXPECT_EQ(RunScript(dir_, script).exitCode, 0u);  // a wait without a limit would never end
  EXPECT_NE(Log().find("Executing line 6: SET Seen=FALSE"), std::string::npos) << Log();
  EXPECT_EQ(Log().find("Waiting"), std::string::npos) << Log();
}
}  // namespace
