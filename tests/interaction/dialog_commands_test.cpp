// The script runs on the test's thread; a second one reads its windows with window messages
// and presses the boxes' buttons, as a user would (null display driver).
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <thread>

#include "commands/interaction/message_waits.h"
#include "commands/interaction/progress_dialog.h"
#include "engine/host_values.h"
#include "resources/progress_dialog_ids.h"
#include "support_code/script_test.h"

namespace {
std::string Text(HWND window) {
  std::string text(1024, '\0');
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_NORMAL, 3000, &length);
  return text.substr(0, length);
}

// The first dialog-class window of `thread` (a message box or the progress dialog).
HWND DialogOf(DWORD thread) {
  HWND found = nullptr;
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM found) -> BOOL {
        std::string name(16, '\0');
        name.resize(GetClassNameA(window, name.data(), 16));
        if (name != "#32770") return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

struct DialogView {
  HWND window = nullptr;
  std::string title, status;
  DWORD_PTR position = 0;
  RECT rect{};
};

class DialogCommandsTest : public ScriptTest {
 protected:
  void TearDown() override {
    CloseProgressDialog();
    TheHostValues().quietMode = false;
    ScriptTest::TearDown();
  }

  // Runs `lines` here while `other` runs on a second thread, then dispatches this thread's
  // messages until `other` is done. Returns how long the run took.
  ULONGLONG RunBeside(const std::vector<std::string>& lines, const std::function<void()>& other) {
    UniqueKernelHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread helper([&] { other(), SetEvent(done.Get()); });
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(Run(lines), 0u) << Log();
    const ULONGLONG elapsed = GetTickCount64() - start;
    WaitHandleWithMessages(done.Get(), 20000);
    helper.join();
    return elapsed;
  }
  // Presses `button` on the script's first message box, `delayMs` after it appeared, if one
  // appears within `waitMs`; returns its text, or "<none>".
  std::function<void()> Presser(int button, DWORD delayMs, std::string& text, DWORD waitMs) {
    return [=, &text, script = GetCurrentThreadId()] {
      text = "<none>";
      for (DWORD waited = 0; waited < waitMs; waited += 10, Sleep(10)) {
        HWND box = DialogOf(script);
        if (!box || !IsWindowVisible(box) || Text(box) != "Calvane Orqex") continue;
        text = Text(GetDlgItem(box, 0xFFFF));  // the message text control
        Sleep(delayMs);
        PostMessageA(box, WM_COMMAND, button, 0);
        return;
      }
    };
  }
  DialogView View() {
    DialogView view;
    RunBeside({}, [&view, script = GetCurrentThreadId()] {
      if (!(view.window = DialogOf(script))) return;
      view.title = Text(view.window);
      view.status = Text(GetDlgItem(view.window, IDC_PROGRESS_STATUS));
      SendMessageTimeoutA(GetDlgItem(view.window, IDC_PROGRESS_BAR), PBM_GETPOS, 0, 0, SMTO_NORMAL,
                          3000, &view.position);
      GetWindowRect(view.window, &view.rect);
    });
    return view;
  }
};

TEST_F(DialogCommandsTest, YesNoAnswersTheButtonPressedAndShowMsgWaitsForOk) {
  const struct {
    std::string line;
    int button;
    std::string answer;
  } rows[] = {{"YESNO A= Install %%Q%% now? ", IDYES, "YES"},
              {"YESNO A=Install %%Q%% now?", IDNO, "NO"},
              {"SHOWMSG  Install %%Q%% now? ", IDOK, "<unset>"}};
  for (const auto& row : rows) {
    std::string shown;
    EXPECT_GE(RunBeside({"SET Q=Orqex", row.line}, Presser(row.button, 400, shown, 10000)), 390u);
    EXPECT_EQ(shown, "Install Orqex now?") << row.line;
    EXPECT_EQ(Symbol("A"), row.answer) << row.line;
  }
  std::string shown;  // a failing YESNO asks nothing
  std::thread guard(Presser(IDNO, 0, shown, 1000));
  ExpectFailures({{"YESNO Install now?", 23}, {"YESNO A=Install %%Missing%%?", 28}});
  guard.join();
  EXPECT_EQ(shown, "<none>");
}

TEST_F(DialogCommandsTest, QuietModeShowsNothingAndAnswersYes) {
  TheHostValues().quietMode = true;
  std::string shown;
  EXPECT_LT(RunBeside({"SHOWMSG Hello", "YESNO A=Install?", "STARTPROGRESSDLG Setup",
                       "SETPROGRESS 50,Copying", "ENDPROGRESSDLG"},
                      Presser(IDNO, 0, shown, 1000)),
            1000u);  // no closing pause either
  EXPECT_EQ(shown, "<none>");
  EXPECT_EQ(DialogOf(GetCurrentThreadId()), nullptr);
  EXPECT_EQ(Symbol("A"), "YES");
}

TEST_F(DialogCommandsTest, ProgressDialogShowsTitleBarAndTextUntilEnded) {
  // Without a dialog, updates and the end do nothing and return at once.
  ASSERT_EQ(Run({"SETPROGRESS 10,Nothing", "ENDPROGRESSDLG"}), 0u);
  EXPECT_EQ(View().window, nullptr);

  ASSERT_EQ(Run({"SET T=Setup", "STARTPROGRESSDLG  %%T%% one "}), 0u);
  const DialogView first = View();
  ASSERT_NE(first.window, nullptr);
  EXPECT_EQ(first.title, "Setup one");
  RECT area{};  // centred on the work area
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_NEAR(first.rect.left + first.rect.right, area.left + area.right, 2);
  EXPECT_NEAR(first.rect.top + first.rect.bottom, area.top + area.bottom, 2);

  const struct {
    std::string argument;
    DWORD_PTR position;
    std::string status;
  } rows[] = {{"40,Copying files", 40, "Copying files"},
              {"75", 75, ""},
              {" 12abc , %%P%% files, more ", 12, "33 files, more"},
              {"-5,Below", 0, "Below"},  // kept at the ends of the bar, never wrapped
              {"65576,Wraps in 16 bits", 100, "Wraps in 16 bits"},
              {",No number", 0, "No number"}};
  for (const auto& row : rows) {
    ASSERT_EQ(Run({"SET P=33", "SETPROGRESS " + row.argument}), 0u);
    const DialogView view = View();
    EXPECT_EQ(view.window, first.window);
    EXPECT_EQ(view.position, row.position) << row.argument;
    EXPECT_EQ(view.status, row.status) << row.argument;
  }

  ASSERT_EQ(Run({"STARTPROGRESSDLG Second"}), 0u);  // renames, keeps bar and text
  const DialogView renamed = View();
  EXPECT_EQ(renamed.window, first.window);
  EXPECT_EQ(renamed.title, "Second");
  EXPECT_EQ(renamed.status, "No number");

  const ULONGLONG start = GetTickCount64();
  ASSERT_EQ(Run({"ENDPROGRESSDLG"}), 0u);
  EXPECT_GE(GetTickCount64() - start, 1450u);  // shown a moment longer, then closed
  EXPECT_FALSE(IsWindow(first.window));
  ASSERT_EQ(Run({"SETPROGRESS 10,After the end"}), 0u);
  EXPECT_EQ(View().window, nullptr);
}
}  // namespace
