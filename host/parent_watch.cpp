#include "host/parent_watch.h"

#include <windows.h>

#include "support/win_handles.h"

namespace {
constexpr UINT kParentEndedExitCode = 0xFFFFFFFF;

DWORD WINAPI WatchParent(void* parentProcess) {
  WaitForSingleObject(static_cast<HANDLE>(parentProcess), INFINITE);
  ExitProcess(kParentEndedExitCode);
}
}  // namespace

void StartParentWatch(unsigned long processId) {
  UniqueKernelHandle parent(OpenProcess(SYNCHRONIZE, FALSE, processId));
  if (!parent) return;
  UniqueKernelHandle thread(CreateThread(nullptr, 0, WatchParent, parent.Get(), 0, nullptr));
  // The watching thread owns the process handle for the rest of the process.
  if (thread) parent.Release();
}
