#include "commands/interaction/message_waits.h"

#include "support/win_handles.h"

namespace {
void DispatchWaitingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
}  // namespace

DWORD WaitWithMessages(DWORD count, const HANDLE* handles, DWORD timeoutMs) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    DWORD remaining = INFINITE;
    if (timeoutMs != INFINITE) {
      ULONGLONG elapsed = GetTickCount64() - start;
      remaining = elapsed >= timeoutMs ? 0 : static_cast<DWORD>(timeoutMs - elapsed);
    }
    DWORD result = MsgWaitForMultipleObjects(count, handles, FALSE, remaining, kWaitWakeMask);
    if (result != WAIT_OBJECT_0 + count) return result;
    DispatchWaitingMessages();
    // The messages may have used up the rest of the time.
    if (timeoutMs != INFINITE && GetTickCount64() - start >= timeoutMs) return WAIT_TIMEOUT;
  }
}

DWORD WaitHandleWithMessages(HANDLE handle, DWORD timeoutMs) {
  return WaitWithMessages(1, &handle, timeoutMs);
}

void SleepWithMessages(DWORD milliseconds) {
  // An event nobody signals: the wait ends only by its time-out.
  UniqueKernelHandle never(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!never) {
    WaitWithMessages(0, nullptr, milliseconds);
    return;
  }
  HANDLE handle = never.Get();
  WaitWithMessages(1, &handle, milliseconds);
}
