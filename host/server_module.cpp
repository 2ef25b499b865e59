#include "host/server_module.h"

#include <array>
#include <atomic>

#include "support/win_handles.h"

namespace {
constexpr DWORD kIdleMs = 5000;

// A class the server would expose: its id, how to make its class object, and the cookie
// of its registration.
struct ClassEntry {
  const CLSID* classId;
  IUnknown* (*makeFactory)();
  HRESULT (*updateRegistry)(bool registering);
  DWORD cookie;
};

struct ServerModule {
  DWORD mainThreadId = 0;
  std::atomic<long> lockCount{0};
  std::atomic<bool> active{false};
  std::atomic<bool> stopping{false};
  UniqueKernelHandle shutdownEvent;
  UniqueKernelHandle monitorThread;
  std::array<ClassEntry, 0> classes{};
};

ServerModule& TheModule() {
  static ServerModule module;
  return module;
}

DWORD WINAPI ShutdownMonitor(void*) {
  ServerModule& module = TheModule();
  HANDLE event = module.shutdownEvent.Get();
  for (;;) {
    WaitForSingleObject(event, INFINITE);
    if (module.stopping) return 0;
    // Quiet for a whole idle period: no unlock signalled the event meanwhile.
    do {
      module.active = false;
    } while (WaitForSingleObject(event, kIdleMs) == WAIT_OBJECT_0 && !module.stopping);
    if (module.stopping) return 0;
    if (!module.active && module.lockCount == 0) break;
  }
  PostThreadMessageA(module.mainThreadId, WM_QUIT, 0, 0);
  return 0;
}
}  // namespace

void ServerModuleInit(DWORD mainThreadId) { TheModule().mainThreadId = mainThreadId; }

void ServerModuleTerm() {
  ServerModule& module = TheModule();
  if (module.monitorThread) {
    // The monitor owns no handle of its own: it is woken, ends, and then both go.
    module.stopping = true;
    SetEvent(module.shutdownEvent.Get());
    WaitForSingleObject(module.monitorThread.Get(), INFINITE);
    module.monitorThread.Reset();
  }
  module.shutdownEvent.Reset();
  module.stopping = false;
}

long ServerModuleLock() { return ++TheModule().lockCount; }

long ServerModuleUnlock() {
  ServerModule& module = TheModule();
  long count = --module.lockCount;
  if (count == 0) {
    module.active = true;
    if (module.shutdownEvent) SetEvent(module.shutdownEvent.Get());
  }
  return count;
}

bool StartShutdownMonitor() {
  ServerModule& module = TheModule();
  if (module.monitorThread) return true;
  module.shutdownEvent.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!module.shutdownEvent) return false;
  module.monitorThread.Reset(CreateThread(nullptr, 0, ShutdownMonitor, nullptr, 0, nullptr));
  return static_cast<bool>(module.monitorThread);
}

HRESULT RegisterServerClassObjects() {
  for (ClassEntry& entry : TheModule().classes) {
    ComPtr<IUnknown> factory;
    *factory.Put() = entry.makeFactory();
    HRESULT hr = CoRegisterClassObject(*entry.classId, factory.Get(), CLSCTX_LOCAL_SERVER,
                                       REGCLS_MULTIPLEUSE, &entry.cookie);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT RevokeServerClassObjects() {
  HRESULT result = S_OK;
  for (ClassEntry& entry : TheModule().classes) {
    HRESULT hr = CoRevokeClassObject(entry.cookie);
    if (FAILED(hr)) result = hr;
  }
  return result;
}

HRESULT RegisterServerClassesInRegistry() {
  for (ClassEntry& entry : TheModule().classes) {
    if (HRESULT hr = entry.updateRegistry(true); FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT UnregisterServerClassesInRegistry() {
  for (ClassEntry& entry : TheModule().classes) entry.updateRegistry(false);
  return S_OK;
}
