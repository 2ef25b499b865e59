#include "commands/interaction/restart_request.h"

#include <windows.h>

#include "support/win_handles.h"

namespace {
DWORD WINAPI ExitWindowsThread(void*) {
  ExitWindowsEx(EWX_REBOOT, 0);
  return 0;
}

void SystemRestart(RestartRoute route) {
  if (route == RestartRoute::NtShutdown) {
    InitiateSystemShutdownA(nullptr, nullptr, 0, FALSE, TRUE);
  } else {
    // Started and not waited for: the script goes on while Windows shuts down.
    UniqueKernelHandle thread(CreateThread(nullptr, 0, ExitWindowsThread, nullptr, 0, nullptr));
  }
}

RestartStarter g_starter = SystemRestart;
}  // namespace

RestartStarter SetRestartStarter(RestartStarter starter) {
  RestartStarter previous = g_starter;
  g_starter = starter ? starter : SystemRestart;
  return previous;
}

void StartRestart(RestartRoute route) { g_starter(route); }
