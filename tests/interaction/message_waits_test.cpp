#include "commands/interaction/message_waits.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "support/win_handles.h"

namespace {
std::atomic<int> g_timerTicks{0};
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_timerTicks; }

TEST(MessageWaits, SleepDispatchesPostedAndSentMessagesAndLastsItsTime) {
  HWND window =
      CreateWindowExA(0, "STATIC", "abc", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  DWORD_PTR answer = 0;
  std::thread sender([&] {
    Sleep(50);
    SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 3000, &answer);
  });
  g_timerTicks = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 20, CountTick);
  const ULONGLONG start = GetTickCount64();
  SleepWithMessages(300);
  const ULONGLONG elapsed = GetTickCount64() - start;
  KillTimer(nullptr, timer);
  sender.join();
  DestroyWindow(window);
  EXPECT_EQ(answer, 3u);  // answered by the waiting thread
  EXPECT_GE(g_timerTicks.load(), 3);
  EXPECT_GE(elapsed, 280u);
}

TEST(MessageWaits, EndsAtTheTimeOutWhileMessagesArriveAndAtOnceWhenSignalled) {
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // a queue the poster can reach
  const DWORD waiter = GetCurrentThreadId();
  std::atomic<bool> stop{false};
  std::thread poster([&] {
    for (int i = 0; i < 1000 && !stop; ++i) {
      PostThreadMessageA(waiter, WM_APP + 2, 0, 0);
      Sleep(5);
    }
  });
  UniqueKernelHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  ULONGLONG start = GetTickCount64();
  EXPECT_EQ(WaitHandleWithMessages(event.Get(), 300), static_cast<DWORD>(WAIT_TIMEOUT));
  // A message must not restart the full time: the wait ends near 300 ms, not after the
  // poster's five seconds.
  EXPECT_LT(GetTickCount64() - start, 3000u);

  std::thread signaller([&] {
    Sleep(100);
    SetEvent(event.Get());
  });
  start = GetTickCount64();
  EXPECT_EQ(WaitHandleWithMessages(event.Get(), 20000), WAIT_OBJECT_0);
  EXPECT_LT(GetTickCount64() - start, 10000u);
  signaller.join();
  stop = true;
  poster.join();
  EXPECT_EQ(WaitHandleWithMessages(event.Get(), 0), WAIT_OBJECT_0);
}
// A quit message met while a command waits does not outlive the wait: left in the queue it
// would end the next message box's loop before the user could answer it.
TEST(MessageWaits, AQuitMessageSeenInsideAWaitIsDropped) {
  PostQuitMessage(7);
  SleepWithMessages(50);
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}
}  // namespace
