#pragma once
// The one place where PROMPTREBOOT's restart leaves the program, so that tests
// can see the request without restarting Windows.

enum class RestartRoute {
  NtShutdown,       // InitiateSystemShutdownA: local machine, no message, no wait,
                    // restart
  Win9xExitThread,  // a thread of its own calls ExitWindowsEx(EWX_REBOOT)
};

using RestartStarter = void (*)(RestartRoute route);

// Replaces the starter (nullptr: the system's own calls again); returns the
// previous one.
RestartStarter SetRestartStarter(RestartStarter starter);
void StartRestart(RestartRoute route);
