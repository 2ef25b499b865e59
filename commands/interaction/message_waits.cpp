#include "commands/interaction/message_waits.h"

#include "support/win_handles.h"

namespace {
// A quit message (the local server's shutdown monitor, the progress dialog's Esc) is taken
// out of the queue like any other while a command waits; it is remembered and posted again
// when the wait returns, so whoever reads the queue after the command still finds it.
class QuitKeeper {
 public:
  QuitKeeper() = default;
  QuitKeeper(const QuitKeeper&) = delete;
  QuitKeeper& operator=(const QuitKeeper&) = delete;
  ~QuitKeeper() {
    if (seen_) PostQuitMessage(exitCode_);
  }
  void Seen(WPARAM exitCode) {
    seen_ = true;
    exitCode_ = static_cast<int>(exitCode);
  }

 private:
  bool seen_ = false;
  int exitCode_ = 0;
};

void DispatchWaitingMessages(QuitKeeper& quit) {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit.Seen(message.wParam);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
}  // namespace

DWORD WaitWithMessages(DWORD count, const HANDLE* handles, bool waitAll, DWORD timeoutMs) {
  QuitKeeper quit;
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    DWORD remaining = INFINITE;
    if (timeoutMs != INFINITE) {
      ULONGLONG elapsed = GetTickCount64() - start;
      remaining = elapsed >= timeoutMs ? 0 : static_cast<DWORD>(timeoutMs - elapsed);
    }
    DWORD result =
        MsgWaitForMultipleObjects(count, handles, waitAll ? TRUE : FALSE, remaining, kWaitWakeMask);
    if (result != WAIT_OBJECT_0 + count) return result;
    DispatchWaitingMessages(quit);
    // The messages may have used up the rest of the time.
    if (timeoutMs != INFINITE && GetTickCount64() - start >= timeoutMs) return WAIT_TIMEOUT;
  }
}

DWORD WaitHandleWithMessages(HANDLE handle, DWORD timeoutMs) {
  return WaitWithMessages(1, &handle, false, timeoutMs);
}

void SleepWithMessages(DWORD milliseconds) {
  // An event nobody signals: the wait ends only by its time-out.
  UniqueKernelHandle never(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!never) {
    WaitWithMessages(0, nullptr, false, milliseconds);
    return;
  }
  HANDLE handle = never.Get();
  WaitWithMessages(1, &handle, false, milliseconds);
}
