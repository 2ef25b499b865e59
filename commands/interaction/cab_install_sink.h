#pragma once
// The engine's end of a cabinet installation: the cabinet installer reports
// progress and the end of the installation to this object through the agent's
// callback interface.
#include <windows.h>

#include <string>

#include "agent_interfaces.h"

class CabInstallSink final : public IOrqexCallback {
 public:
  // A new sink with no reference yet (the creator adds the first). While it lives it holds
  // a lock on the server module, so the module does not ask the program to end meanwhile.
  CabInstallSink();
  CabInstallSink(const CabInstallSink&) = delete;
  CabInstallSink& operator=(const CabInstallSink&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // Forwards the four values to the agent's callback, when there is one; always
  // S_OK.
  HRESULT STDMETHODCALLTYPE Progress(LONG first, LONG second, LONG third, BSTR text) override;
  // Keeps the status and a copy of the message and signals the completion event;
  // S_OK. Only the first call counts.
  HRESULT STDMETHODCALLTYPE Finished(LONG status, BSTR message) override;

  // Before the install call: the event that Finished signals (not owned; null
  // once the wait is over). The installer counts as heard from now.
  void Arm(HANDLE completion);
  bool HasFinished() const { return finished_; }
  LONG Status() const { return status_; }
  const std::string& Message() const { return message_; }
  // When the installer was last heard from (GetTickCount64): Arm, Progress or
  // Finished.
  ULONGLONG LastHeard() const { return lastHeard_; }

 private:
  ~CabInstallSink();

  LONG references_ = 0;
  LONG status_ = 0;
  std::string message_;
  HANDLE completion_ = nullptr;
  bool finished_ = false;
  ULONGLONG lastHeard_ = 0;
};
