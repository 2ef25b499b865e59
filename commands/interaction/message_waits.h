#pragma once
// Waits that keep dispatching the calling thread's window messages, so that the progress
// dialog stays alive and COM calls into this thread get through while a command waits.
// This is the engine thread's one message loop outside the message boxes' own.
#include <windows.h>

// Every kind of queued input and sent message ends a wait for dispatching.
constexpr DWORD kWaitWakeMask = 0xFF;

// Waits until one of `handles` is signalled, at most `timeoutMs` (INFINITE: no limit),
// dispatching every message that arrives meanwhile. Returns the wait's own result, or
// WAIT_TIMEOUT (258) once the time has run out, however many messages came. A quit message
// met here is dropped: nothing in the engine ends its run by one, and left in the queue it
// would end the next message box's loop before the user could answer.
DWORD WaitWithMessages(DWORD count, const HANDLE* handles, DWORD timeoutMs);
DWORD WaitHandleWithMessages(HANDLE handle, DWORD timeoutMs);
// Lets `milliseconds` pass while dispatching messages.
void SleepWithMessages(DWORD milliseconds);
