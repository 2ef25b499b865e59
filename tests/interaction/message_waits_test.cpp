#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "commands/interaction/message_waits.h"
#include "support/win_handles.h"

namespace {
std::atomic<int> g_timerTicks{0};
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_timerTicks; }

LRESULT CALLBACK AnswerSentMessage(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_APP + 1) return 77;
  return DefWindowProcA(window, message, w, l);
}

// Makes sure the calling thread has a message queue another thread can post to.
void EnsureMessageQueue() {
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
}

TEST(MessageWaits, SleepDispatchesTimersAndLastsItsTime) {
  g_timerTicks = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 20, CountTick);
  ULONGLONG start = GetTickCount64();
  SleepWithMessages(300);
  ULONGLONG elapsed = GetTickCount64() - start;
  KillTimer(nullptr, timer);
  EXPECT_GE(g_timerTicks.load(), 3);
  EXPECT_GE(elapsed, 280u);
}

TEST(MessageWaits, SentMessagesAreAnsweredDuringTheWait) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = AnswerSentMessage;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "OrqWaitTestWindow";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "OrqWaitTestWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  DWORD_PTR answer = 0;
  LRESULT delivered = 0;
  std::thread sender([&] {
    Sleep(50);
    delivered = SendMessageTimeoutA(window, WM_APP + 1, 0, 0, SMTO_NORMAL, 3000, &answer);
  });
  SleepWithMessages(500);
  sender.join();
  DestroyWindow(window);
  EXPECT_NE(delivered, 0);
  EXPECT_EQ(answer, 77u);
}

TEST(MessageWaits, ReturnsTheHandleAsSoonAsItIsSignalled) {
  UniqueKernelHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  std::thread signaller([&] {
    Sleep(100);
    SetEvent(event.Get());
  });
  ULONGLONG start = GetTickCount64();
  DWORD result = WaitHandleWithMessages(event.Get(), 20000);
  ULONGLONG elapsed = GetTickCount64() - start;
  signaller.join();
  EXPECT_EQ(result, WAIT_OBJECT_0);
  EXPECT_LT(elapsed, 10000u);
  EXPECT_EQ(WaitHandleWithMessages(event.Get(), 0), WAIT_OBJECT_0);
}

TEST(MessageWaits, TimeOutHoldsWhileMessagesKeepArriving) {
  EnsureMessageQueue();
  const DWORD mainThread = GetCurrentThreadId();
  std::atomic<bool> stop{false};
  std::thread poster([&] {
    for (int i = 0; i < 1000 && !stop; ++i) {
      PostThreadMessageA(mainThread, WM_APP + 2, 0, 0);
      Sleep(5);
    }
  });
  UniqueKernelHandle never(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  ULONGLONG start = GetTickCount64();
  DWORD result = WaitHandleWithMessages(never.Get(), 300);
  ULONGLONG elapsed = GetTickCount64() - start;
  stop = true;
  poster.join();
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  EXPECT_EQ(result, static_cast<DWORD>(WAIT_TIMEOUT));
  // Each message must not restart the full time: the wait ends near 300 ms, not after
  // the poster's five seconds.
  EXPECT_LT(elapsed, 3000u);
}
}  // namespace
