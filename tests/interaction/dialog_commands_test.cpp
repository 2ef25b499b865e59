// A second thread presses the boxes' buttons as a user would (null display driver).
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <atomic>
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

// The first dialog-class window: a message box or the progress dialog.
HWND Dialog(const char* title = nullptr) { return FindWindowA("#32770", title); }

class DialogCommandsTest : public ScriptTest {
 protected:
  void TearDown() override {
    CloseProgressDialog();
    TheHostValues().quietMode = false;
    ScriptTest::TearDown();
  }

  // Presses `button` on the first box within `waitMs`; `shown`: its text, "<none>" or closed.
  std::thread Presser(int button, DWORD waitMs, std::string& shown) {
    return std::thread([=, &shown] {
      shown = "<none>";
      for (DWORD waited = 0; waited < waitMs; waited += 10, Sleep(10)) {
        HWND box = Dialog("Calvane Orqex");
        if (!box || !IsWindowVisible(box)) continue;
        shown = Text(GetDlgItem(box, 0xFFFF));  // the message text control
        Sleep(400);
        if (!IsWindowVisible(box)) shown = "<closed by itself>";
        PostMessageA(box, WM_COMMAND, button, 0);
        for (int i = 0; i < 500 && IsWindow(box); ++i) Sleep(10);  // gone before the next
        return;
      }
    });
  }
  // The progress dialog's "title|status text|bar position", or "<none>".
  std::string View() {
    HWND dialog = Dialog();
    if (!dialog) return "<none>";
    return Text(dialog) + "|" + Text(GetDlgItem(dialog, IDC_PROGRESS_STATUS)) + "|" +
           std::to_string(SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
  }
};

// A failing YESNO asks nothing; in quiet mode nothing is shown and YESNO answers YES.
TEST_F(DialogCommandsTest, FailingOrQuietBoxesAskNothing) {
  std::string shown;
  std::thread guard = Presser(IDNO, 3000, shown);
  ExpectFailures({{"YESNO Install now?", 23}, {"YESNO A=Install %%Missing%%?", 28}});
  TheHostValues().quietMode = true;
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(Run({"SHOWMSG Hello", "YESNO A=Install?", "STARTPROGRESSDLG Setup",
                 "SETPROGRESS 50,Copying", "ENDPROGRESSDLG"}),
            0u);
  EXPECT_LT(GetTickCount64() - start, 1000u);  // no closing pause either
  guard.join();
  EXPECT_EQ(shown + "|" + View() + "|" + Symbol("A"), "<none>|<none>|YES");
}

TEST_F(DialogCommandsTest, ProgressDialogShowsTitleBarAndTextUntilEnded) {
  ASSERT_EQ(Run({"SET T=Setup", "STARTPROGRESSDLG  %%T%% one "}), 0u);
  EXPECT_EQ(View(), "Setup one||0");
  HWND dialog = Dialog();
  RECT box{}, area{};  // centred on the work area
  GetWindowRect(dialog, &box);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_NEAR(box.left + box.right, area.left + area.right, 2);
  EXPECT_NEAR(box.top + box.bottom, area.top + area.bottom, 2);

  const std::pair<std::string, std::string> rows[] = {
      {"40,Copying files", "Copying files|40"},
      {"75", "|75"},
      {" 12abc , %%P%% files, more ", "33 files, more|12"},
      {"-5,Below", "Below|0"},  // kept at the ends of the bar, never wrapped
      {"65576,Wraps in 16 bits", "Wraps in 16 bits|100"},
      {",No number", "No number|0"}};
  for (const auto& [argument, shown] : rows) {
    ASSERT_EQ(Run({"SET P=33", "SETPROGRESS " + argument}), 0u);
    EXPECT_EQ(View(), "Setup one|" + shown) << argument;
  }
  ASSERT_EQ(Run({"STARTPROGRESSDLG Second"}), 0u);  // renames, keeps bar and text
  EXPECT_EQ(View(), "Second|No number|0");
  EXPECT_EQ(Dialog(), dialog);

  const ULONGLONG start = GetTickCount64();
  ASSERT_EQ(Run({"ENDPROGRESSDLG"}), 0u);
  EXPECT_GE(GetTickCount64() - start, 1450u);  // the last state stays on screen 1.5 s
  EXPECT_FALSE(IsWindow(dialog));
  ASSERT_EQ(Run({"SETPROGRESS 10,After the end"}), 0u);  // without a dialog: nothing
  EXPECT_EQ(View(), "<none>");
}
// Closing the progress dialog sends Cancel (as Esc does), which must not answer a later box.
TEST_F(DialogCommandsTest, BoxesWaitForTheButtonAlsoAfterTheProgressDialogWasClosed) {
  const std::string title = "Orq Cancel Test";
  OrqexRun run;
  std::thread orqex([&] {
    run = RunScript(dir_, "[DefaultInstall]\r\nSET Q=Orqex\r\nSTARTPROGRESSDLG " + title +
                              "\r\nWAITFORTIME 2000\r\nYESNO A= Go %%Q%% on? \r\nYESNO B=Sure?\r\n"
                              "SHOWMSG Answers %%A%% %%B%% \r\nENDPROGRESSDLG\r\n");
  });
  HWND dialog = nullptr;
  for (int i = 0; i < 2000 && !(dialog = Dialog(title.c_str())); ++i) Sleep(10);
  PostMessageA(dialog, WM_CLOSE, 0, 0);  // from a thread other than the engine's
  std::string asked, sure, told;
  Presser(IDYES, 20000, asked).join();
  Presser(IDNO, 20000, sure).join();
  Presser(IDOK, 20000, told).join();
  orqex.join();
  EXPECT_NE(dialog, nullptr);
  EXPECT_EQ(asked + "|" + sure + "|" + told, "Go Orqex on?|Sure?|Answers YES NO");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_NE(Log().find("Executing line 7: SHOWMSG Answers YES NO"), std::string::npos) << Log();
}

// A sender would hang on an unanswered wait; a quit left queued would end the next box.
TEST(MessageWaits, AnswerMessagesKeepTheirTimeAndDropAQuit) {
  HWND window =
      CreateWindowExA(0, "STATIC", "abc", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const DWORD waiter = GetCurrentThreadId();
  DWORD_PTR answer = 0;
  std::atomic<bool> stop{false};
  std::thread sender([&] {
    SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 3000, &answer);
    for (int i = 0; i < 1000 && !stop; ++i, Sleep(5)) PostThreadMessageA(waiter, WM_APP + 2, 0, 0);
  });
  ULONGLONG start = GetTickCount64();
  SleepWithMessages(300);
  EXPECT_GE(GetTickCount64() - start, 280u);
  UniqueKernelHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  start = GetTickCount64();
  EXPECT_EQ(WaitHandleWithMessages(event.Get(), 300), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_LT(GetTickCount64() - start, 3000u);  // not restarted by each message
  std::thread signaller([&] { Sleep(100), SetEvent(event.Get()); });
  EXPECT_EQ(WaitHandleWithMessages(event.Get(), 20000), WAIT_OBJECT_0);
  signaller.join();
  stop = true;
  sender.join();
  DestroyWindow(window);
  EXPECT_EQ(answer, 3u);  // answered by the waiting thread

  PostQuitMessage(7);
  SleepWithMessages(50);
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}
}  // namespace
