// Message boxes and the progress dialog under the null display driver. The script runs on
// the test's main thread; another thread finds its windows, reads them back with window
// messages and presses the boxes' buttons, as a user would.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <thread>

#include "commands/interaction/message_waits.h"
#include "commands/interaction/progress_dialog.h"
#include "engine/host_values.h"
#include "resources/progress_dialog_ids.h"
#include "support_code/script_test.h"

namespace {
constexpr const char* kBoxCaption = "Calvane Orqex";
constexpr int kMessageTextId = 0xFFFF;  // the text control of a message box

std::string WindowText(HWND window) {
  std::string text(1024, '\0');
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_NORMAL, 3000, &length);
  text.resize(length);
  return text;
}

// The dialog-class windows of `thread` (message boxes and the progress dialog).
std::vector<HWND> DialogsOf(DWORD thread) {
  std::vector<HWND> found;
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM list) -> BOOL {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) == "#32770")
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Watches the script thread's dialogs while a run lasts: answers every message box with
// `button` after `delayMs` and records what it saw.
class BoxPresser {
 public:
  BoxPresser(int button, DWORD delayMs) : script_(GetCurrentThreadId()) {
    thread_ = std::thread([this, button, delayMs] {
      while (!stop_) {
        for (HWND box : DialogsOf(script_)) {
          if (!IsWindowVisible(box) || WindowText(box) != kBoxCaption || box == last_) continue;
          last_ = box;
          texts_.push_back(WindowText(GetDlgItem(box, kMessageTextId)));
          Sleep(delayMs);
          PostMessageA(box, WM_COMMAND, button, 0);
        }
        Sleep(10);
      }
    });
  }
  ~BoxPresser() { Stop(); }
  // The texts of the boxes answered, once the run is over.
  const std::vector<std::string>& Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return texts_;
  }

 private:
  DWORD script_;
  std::atomic<bool> stop_{false};
  HWND last_ = nullptr;
  std::vector<std::string> texts_;
  std::thread thread_;
};

// What another thread reads from the progress dialog of this thread.
struct DialogView {
  HWND window = nullptr;
  std::string title;
  int position = -1;
  std::string status;
  RECT rect{};
};

class DialogCommandsTest : public ScriptTest {
 protected:
  void TearDown() override {
    CloseProgressDialog();
    TheHostValues().quietMode = false;
    ScriptTest::TearDown();
  }

  // Reads the dialog from a second thread while this one dispatches its messages.
  DialogView View() {
    DialogView view;
    const DWORD script = GetCurrentThreadId();
    UniqueKernelHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread reader([&] {
      std::vector<HWND> dialogs = DialogsOf(script);
      if (dialogs.size() == 1) {
        view.window = dialogs[0];
        view.title = WindowText(view.window);
        DWORD_PTR position = 0;
        SendMessageTimeoutA(GetDlgItem(view.window, IDC_PROGRESS_BAR), PBM_GETPOS, 0, 0,
                            SMTO_NORMAL, 3000, &position);
        view.position = static_cast<int>(position);
        view.status = WindowText(GetDlgItem(view.window, IDC_PROGRESS_STATUS));
        GetWindowRect(view.window, &view.rect);
      }
      SetEvent(done.Get());
    });
    WaitHandleWithMessages(done.Get(), 10000);
    reader.join();
    return view;
  }

  // Runs the lines and returns how long the run took.
  ULONGLONG TimedRun(const std::vector<std::string>& lines, unsigned expected = 0) {
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(Run(lines), expected) << Log();
    return GetTickCount64() - start;
  }
};

TEST_F(DialogCommandsTest, YesNoSetsTheAnswerPressedAndShowMsgWaitsForOk) {
  struct Row {
    std::string line;
    int button;
    std::string answer;  // of symbol A
  };
  const Row rows[] = {
      {"YESNO A= Install %%Q%% now? ", IDYES, "YES"},
      {"YESNO A=Install %%Q%% now?", IDNO, "NO"},
      {"SHOWMSG  Install %%Q%% now? ", IDOK, "<unset>"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.line);
    BoxPresser presser(row.button, 400);
    ULONGLONG elapsed = TimedRun({"SET Q=Orqex", row.line});
    EXPECT_EQ(presser.Stop(), std::vector<std::string>{"Install Orqex now?"});
    EXPECT_GE(elapsed, 390u);  // the run waited for the press
    EXPECT_EQ(Symbol("A"), row.answer);
    EXPECT_TRUE(DialogsOf(GetCurrentThreadId()).empty());
  }
}

TEST_F(DialogCommandsTest, YesNoWithoutNameOrWithUnknownSymbolFailsWithoutAsking) {
  BoxPresser presser(IDNO, 0);
  ExpectFailures({{"YESNO Install now?", 23},
                  {"YESNO " + std::string(260, 'N') + "=Install?", 23},
                  {"YESNO A=Install %%Missing%%?", 28}});
  EXPECT_TRUE(presser.Stop().empty());
}

TEST_F(DialogCommandsTest, QuietModeShowsNothingAndAnswersYes) {
  TheHostValues().quietMode = true;
  BoxPresser presser(IDNO, 0);
  ULONGLONG elapsed = TimedRun({"SHOWMSG Hello", "YESNO A=Install?", "STARTPROGRESSDLG Setup",
                                "SETPROGRESS 50,Copying", "ENDPROGRESSDLG"});
  EXPECT_TRUE(presser.Stop().empty());
  EXPECT_TRUE(DialogsOf(GetCurrentThreadId()).empty());  // no progress dialog either
  EXPECT_EQ(Symbol("A"), "YES");
  EXPECT_LT(elapsed, 1000u);  // no closing pause either
}

TEST_F(DialogCommandsTest, ProgressDialogShowsTitleBarAndTextUntilEnded) {
  // Before any dialog exists, updates and the end do nothing and return at once.
  EXPECT_LT(TimedRun({"SETPROGRESS 10,Nothing", "ENDPROGRESSDLG"}), 1000u);
  EXPECT_EQ(View().window, nullptr);

  TimedRun({"SET T=Setup", "STARTPROGRESSDLG  %%T%% one "});
  DialogView first = View();
  ASSERT_NE(first.window, nullptr);
  EXPECT_EQ(first.title, "Setup one");
  EXPECT_EQ(first.position, 0);
  EXPECT_EQ(first.status, "");
  // Centred on the work area.
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_NEAR((first.rect.left + first.rect.right) / 2, (area.left + area.right) / 2, 1);
  EXPECT_NEAR((first.rect.top + first.rect.bottom) / 2, (area.top + area.bottom) / 2, 1);

  struct Row {
    std::string argument;
    int position;
    std::string status;
  };
  const Row rows[] = {
      {"40,Copying files", 40, "Copying files"},
      {"75", 75, ""},
      {" 12abc , %%P%% files, more ", 12, "33 files, more"},
      {"%%P%%", 33, ""},
      {"-5,Below the bar", 0, "Below the bar"},             // kept at the ends of the bar,
      {"65576,Wraps in 16 bits", 100, "Wraps in 16 bits"},  // not wrapped
      {"99999999999999999999,Huge", 100, "Huge"},
      {",No number", 0, "No number"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.argument);
    TimedRun({"SET P=33", "SETPROGRESS " + row.argument});
    DialogView view = View();
    EXPECT_EQ(view.window, first.window);
    EXPECT_EQ(view.position, row.position);
    EXPECT_EQ(view.status, row.status);
  }

  // A second start renames the open dialog and leaves its bar and text alone.
  TimedRun({"STARTPROGRESSDLG Second"});
  DialogView renamed = View();
  EXPECT_EQ(renamed.window, first.window);
  EXPECT_EQ(renamed.title, "Second");
  EXPECT_EQ(renamed.position, 0);
  EXPECT_EQ(renamed.status, "No number");

  // The end keeps the dialog shown for a moment, then closes it for good.
  EXPECT_GE(TimedRun({"ENDPROGRESSDLG"}), 1450u);
  EXPECT_FALSE(IsWindow(first.window));
  EXPECT_LT(TimedRun({"SETPROGRESS 10,After the end"}), 1000u);
  EXPECT_EQ(View().window, nullptr);
}

TEST(CenterWindow, CentresOnOwnerOrParentAndStaysInsideTheArea) {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  struct Row {
    const char* what;
    RECT owner;  // popup owner (screen) or parent (child) rectangle
    bool child;
    POINT expected;  // the window's top-left: screen (popup) or parent client (child)
  };
  const LONG w = 200, h = 100;
  const Row rows[] = {
      {"on its owner", {300, 200, 700, 600}, false, {400, 350}},
      {"kept inside the left and top edges",
       {area.left, area.top, area.left + 50, area.top + 50},
       false,
       {area.left, area.top}},
      {"kept inside the right and bottom edges",
       {area.right - 50, area.bottom - 50, area.right, area.bottom},
       false,
       {area.right - w, area.bottom - h}},
      {"a child on its parent's client area", {100, 100, 500, 400}, true, {-1, -1}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    HWND owner =
        CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, row.owner.left, row.owner.top,
                        row.owner.right - row.owner.left, row.owner.bottom - row.owner.top, nullptr,
                        nullptr, nullptr, nullptr);
    HWND window = CreateWindowExA(0, "STATIC", "window", row.child ? WS_CHILD : WS_POPUP, 0, 0, w,
                                  h, owner, nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner && window);
    CenterWindow(window, nullptr);
    RECT placed{};
    GetWindowRect(window, &placed);
    POINT topLeft{placed.left, placed.top};
    if (row.child) {
      RECT client{};
      GetClientRect(owner, &client);
      ScreenToClient(owner, &topLeft);
      EXPECT_EQ(topLeft.x, client.right / 2 - w / 2);
      EXPECT_EQ(topLeft.y, client.bottom / 2 - h / 2);
    } else {
      EXPECT_EQ(topLeft.x, row.expected.x);
      EXPECT_EQ(topLeft.y, row.expected.y);
    }
    DestroyWindow(window);
    DestroyWindow(owner);
  }
}
}  // namespace
