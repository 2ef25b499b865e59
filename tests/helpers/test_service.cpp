// Test helper: a service program of its own process. Its command line chooses how it
// behaves (times in milliseconds):
//   (none) or normal           runs at once and stops at once
//   slowstart <ms> [<hint>]    reports start pending with the wait hint, runs after <ms>
//   slowstop <ms>              reports stop pending on a stop request, stops after <ms>
//   ignorestop                 accepts a stop request but stays in stop pending (for two
//                              minutes, then it stops, so a forgotten one goes away)
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {
const char* mode = "normal";
DWORD modeMs = 0;
DWORD hintMs = 1000;
SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopRequested = nullptr;

bool Is(const char* name) { return std::strcmp(mode, name) == 0; }

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
    if (!Is("normal")) Report(SERVICE_STOP_PENDING, hintMs);
    SetEvent(stopRequested);
    return NO_ERROR;
  }
  return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, char**) {
  statusHandle = RegisterServiceCtrlHandlerExA("OrqTestService", Control, nullptr);
  if (!statusHandle) return;
  if (Is("slowstart")) {
    Report(SERVICE_START_PENDING, hintMs);
    Sleep(modeMs);
  }
  Report(SERVICE_RUNNING);
  WaitForSingleObject(stopRequested, INFINITE);
  if (Is("slowstop")) Sleep(modeMs);
  if (Is("ignorestop")) Sleep(120000);
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
