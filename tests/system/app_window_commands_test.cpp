// CLOSEAPP, ISAPPRUNNING and WAITFORWINDOWCLOSE against the window helper, a
// program of its own with one top-level window; its end is read from its
// process handle.
#include "support_code/script_test.h"

namespace {
// One window helper: started, waited for until its window exists, ended at the
// latest when the test is over.
class WindowApp {
 public:
  WindowApp(const std::string &className, const std::string &title, const std::string &options) {
    std::string ready = "OrqWindowReady_" + className + "_" + std::to_string(GetTickCount64());
    UniqueKernelHandle event(CreateEventA(nullptr, TRUE, FALSE, ready.c_str()));
    std::string commandLine = "\"" + TestBinDir() + "\\window_app.exe\" " + className + " \"" +
                              title + "\" --ready " + ready + " " + options;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &started)) {
      process_.Reset(started.hProcess);
      UniqueKernelHandle thread(started.hThread);
      HANDLE both[] = {event.Get(), process_.Get()};
      WaitForMultipleObjects(2, both, FALSE, 10000);
    }
  }
  ~WindowApp() {
    if (Running()) TerminateProcess(process_.Get(), 99);
  }
  bool Running() const {
    return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
  }

 private:
  UniqueKernelHandle process_;
};

using AppWindowTest = ScriptTest;

TEST_F(AppWindowTest, IsAppRunningAndWaitForWindowCloseFindAWindowByClassOrTitle) {
  WindowApp app("OrqWaitClass", "Orq Wait Title", "--life 7000");
  ASSERT_TRUE(app.Running());
  ExpectAnswers({{"ISAPPRUNNING ByClass=OrqWaitClass", "TRUE"},
                 {"ISAPPRUNNING ByTitle=Orq Wait Title", "TRUE"},
                 {"ISAPPRUNNING Other=OrqNoSuchWindow", "FALSE"},
                 {"ISAPPRUNNING Blank=", "FALSE"}});
  ExpectFailures({{"ISAPPRUNNING R", 23}}, false);
  ExpectFailures({{"WAITFORWINDOWCLOSE ,5000", 51}});

  // {line, least and most milliseconds it may take, window still there
  // afterwards}
  struct Case {
    const char *line;
    ULONGLONG least, most;
    bool stays;
    const char *logged;
  } cases[] = {
      {"WAITFORWINDOWCLOSE OrqNoSuchWindow,3000", 0, 500, true, ""},
      {"WAITFORWINDOWCLOSE Orq Wait Title,1500", 1900, 3500, true, "at most 2000 ms"},
      {"WAITFORWINDOWCLOSE OrqWaitClass,-1", 0, 10000, false, "without a limit"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.line);
    ULONGLONG start = GetTickCount64();
    ASSERT_EQ(Run({c.line}), 0u);
    ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, c.least);
    EXPECT_LE(elapsed, c.most);
    EXPECT_EQ(app.Running(), c.stays);
    EXPECT_NE(Log().find(c.logged), std::string::npos) << Log();
  }
}

TEST_F(AppWindowTest, CloseAppEndsEachApplicationWithinItsTimeAndNeverTheEngine) {
  struct Case {
    const char *className;
    const char *title;
    const char *options;
    const char *line;
    ULONGLONG least, most;  // seconds
  } cases[] = {
      // Other classes get WM_DESTROY, which ends the helper even when it
      // ignores WM_CLOSE.
      {"OrqCloseA", "Orq A", "--ignore-close", "CLOSEAPP OrqCloseA", 1, 8},
      {"OrqCloseB", "Orq Close Title", "", "CLOSEAPP Orq Close Title", 1, 8},
      {"Tevlin_OsMainClass", "Orq Main", "", "CLOSEAPP tevlin_osmainclass", 1, 8},
      // WM_CLOSE ignored: the window stays through the 15 looks, then the
      // process is ended.
      {"Tevlin_OsMainClass", "Orq Main", "--ignore-close", "CLOSEAPP Tevlin_OsMainClass", 15, 22},
      // Hung: the close message gives up, and the process is ended long before
      // it answers.
      {"OrqHung", "Orq Hung", "--hang 80000 --life 90000", "CLOSEAPP OrqHung", 15, 40},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.line);
    WindowApp app(c.className, c.title, c.options);
    ASSERT_TRUE(app.Running());
    ULONGLONG start = GetTickCount64();
    ASSERT_EQ(Run({c.line}), 0u);
    ULONGLONG seconds = (GetTickCount64() - start) / 1000;
    EXPECT_FALSE(app.Running());
    EXPECT_GE(seconds, c.least);
    EXPECT_LE(seconds, c.most);
    EXPECT_NE(Log().find("Closing application..."), std::string::npos);
  }

  // The list ends at its first empty item; a window of the engine's own is
  // never closed.
  WindowApp first("OrqListA", "Orq List A", ""), second("OrqListB", "Orq List B", "");
  HWND own = CreateWindowExA(0, "STATIC", "OrqOwnWindow", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                             nullptr);
  ASSERT_EQ(Run({"CLOSEAPP OrqListA,,OrqListB", "CLOSEAPP OrqOwnWindow"}), 0u);
  EXPECT_FALSE(first.Running());
  EXPECT_TRUE(second.Running());
  EXPECT_TRUE(IsWindow(own));
  DestroyWindow(own);
}
}  // namespace
