// Test helper, a service: "normal" (or nothing) starts and stops at once; "slow <ms> [<hint>]"
// is pending <ms> each way; "ignorestop" stays stop pending (two minutes, then it goes).
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {
std::string mode = "normal";
DWORD modeMs = 0;
DWORD hintMs = 1000;
SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopRequested = nullptr;

void Report(DWORD state, DWORD hint = 0) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  status.dwWaitHint = hint;
  status.dwCheckPoint = hint ? 1 : 0;
  SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
    if (mode != "normal") Report(SERVICE_STOP_PENDING, hintMs);
    SetEvent(stopRequested);
  }
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, char**) {
  statusHandle = RegisterServiceCtrlHandlerExA("OrqTestService", Control, nullptr);
  if (!statusHandle) return;
  if (mode == "slow") {
    Report(SERVICE_START_PENDING, hintMs);
    Sleep(modeMs);
  }
  Report(SERVICE_RUNNING);
  WaitForSingleObject(stopRequested, INFINITE);
  if (mode == "slow") Sleep(modeMs);
  if (mode == "ignorestop") Sleep(120000);
  Report(SERVICE_STOPPED);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) mode = argv[1];
  if (argc > 2) modeMs = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
  if (argc > 3) hintMs = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
  stopRequested = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::string name = "OrqTestService";
  SERVICE_TABLE_ENTRYA table[] = {{name.data(), ServiceMain}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
