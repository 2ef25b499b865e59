#include "commands/interaction/cab_install_sink.h"

#include "engine/agent_link.h"
#include "engine/server_module.h"
#include "support/wide_text.h"

CabInstallSink::CabInstallSink() { ServerModuleLock(); }

CabInstallSink::~CabInstallSink() { ServerModuleUnlock(); }

HRESULT CabInstallSink::QueryInterface(REFIID iid, void** result) {
  if (!result) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOrqexCallback)) {
    *result = static_cast<IOrqexCallback*>(this);
    AddRef();
    return S_OK;
  }
  *result = nullptr;
  return E_NOINTERFACE;
}

ULONG CabInstallSink::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG CabInstallSink::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT CabInstallSink::Progress(LONG first, LONG second, LONG third, BSTR text) {
  lastHeard_ = GetTickCount64();
  if (AgentHasCallback()) AgentProgress(first, second, third, AnsiFromBstr(text));
  return S_OK;
}

HRESULT CabInstallSink::Finished(LONG status, BSTR message) {
  if (finished_) return S_OK;  // the installation ends once
  finished_ = true;
  lastHeard_ = GetTickCount64();
  status_ = status;
  message_ = AnsiFromBstr(message);
  if (completion_) SetEvent(completion_);
  return S_OK;
}

void CabInstallSink::Arm(HANDLE completion) {
  completion_ = completion;
  lastHeard_ = GetTickCount64();
}
