// OrqDemo, the small product that examples/product/product.Orq installs: one program that is
// both its Windows service and its command-line tool.
//   Started by the service manager: runs as the service "OrqDemoService" until it is stopped.
//   Started by hand: prints the product's version and the service's state, and exits with 0.
#include <windows.h>

#include <cstdio>

#include "support/win_handles.h"

namespace {
const char kServiceName[] = "OrqDemoService";
const char kVersion[] = "1.0.0";

SERVICE_STATUS_HANDLE statusHandle = nullptr;
UniqueKernelHandle stopRequested;

void Report(DWORD state) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted =
      state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
  SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
    Report(SERVICE_STOP_PENDING);
    SetEvent(stopRequested.Get());
  }
  return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, char**) {
  statusHandle = RegisterServiceCtrlHandlerExA(kServiceName, Control, nullptr);
  if (!statusHandle) return;
  Report(SERVICE_RUNNING);
  WaitForSingleObject(stopRequested.Get(), INFINITE);
  Report(SERVICE_STOPPED);
}

const char* StateName(DWORD state) {
  switch (state) {
    case SERVICE_STOPPED: return "stopped";
    case SERVICE_START_PENDING: return "starting";
    case SERVICE_STOP_PENDING: return "stopping";
    case SERVICE_RUNNING: return "running";
    default: return "in another state";
  }
}

int PrintStatus() {
  UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  UniqueServiceHandle service(
      manager ? OpenServiceA(manager.Get(), kServiceName, SERVICE_QUERY_STATUS) : nullptr);
  SERVICE_STATUS status{};
  if (!service || !QueryServiceStatus(service.Get(), &status)) {
    std::printf("OrqDemo %s: the service %s is not installed\n", kVersion, kServiceName);
  } else {
    std::printf("OrqDemo %s: the service %s is %s\n", kVersion, kServiceName,
                StateName(status.dwCurrentState));
  }
  return 0;
}
}  // namespace

int main() {
  stopRequested = UniqueKernelHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  char name[sizeof kServiceName];
  CopyMemory(name, kServiceName, sizeof kServiceName);
  SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  if (StartServiceCtrlDispatcherA(table)) return 0;
  return GetLastError() == ERROR_FAILED_SERVICE_CONTROLLER_CONNECT ? PrintStatus() : 1;
}
