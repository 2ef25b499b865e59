#include "commands/interaction/message_waits.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "support/win_handles.h"

namespace {
// A command's wait answers the messages sent to the waiting thread's windows (a sender
// would hang otherwise), lasts its time even while messages keep arriving, ends at once
// when its handle is signalled, and drops a quit message (left in the queue it would end
// the next message box's loop before the user could answer it).
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
  std::thread signaller([&] {
    Sleep(100);
    SetEvent(event.Get());
  });
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
