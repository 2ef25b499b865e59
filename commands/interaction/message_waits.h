#pragma once
// Waits that keep dispatching the calling thread's window messages, so that the progress
// dialog stays alive and COM calls into this thread get through while a command waits.
#include <windows.h>

// Every kind of queued input and sent message ends a wait for dispatching.
constexpr DWORD kWaitWakeMask = 0xFF;

// Waits for `handles` (all of them when `waitAll`) at most `timeoutMs` (INFINITE: no limit),
// dispatching every message that arrives meanwhile. Returns the wait's own result, or
// WAIT_TIMEOUT (258) once the time has run out, however many messages came.
DWORD WaitWithMessages(DWORD count, const HANDLE* handles, bool waitAll, DWORD timeoutMs);
DWORD WaitHandleWithMessages(HANDLE handle, DWORD timeoutMs);
// Lets `milliseconds` pass while dispatching messages.
void SleepWithMessages(DWORD milliseconds);
