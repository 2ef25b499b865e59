// The calling agent's interfaces, unmarshalled from the packets of "CallBack=" and
// "AppUtil=". Every call is made on the main thread, which entered COM as a single-threaded
// apartment; the agent's answers are not looked at.
#include "engine/agent_link.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include "agent_interfaces.h"
#include "engine/agent_packet_parse.h"
#include "support/win_handles.h"
#include "support/wide_text.h"

namespace {
ComPtr<IOrqexCallback>& TheCallback() {
  static ComPtr<IOrqexCallback> callback;
  return callback;
}
ComPtr<IOrqexAppUtility>& TheAppUtility() {
  static ComPtr<IOrqexAppUtility> appUtility;
  return appUtility;
}

// The interface `iid` from a packet's hexadecimal text; empty on any failure.
template <typename I>
void TakeInterface(const std::string& hexText, REFIID iid, ComPtr<I>& target) {
  target.Reset();
  std::string bytes;
  if (!DecodeInterfacePacket(hexText, bytes)) return;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return;
  void* data = GlobalLock(memory);
  if (!data) {
    GlobalFree(memory);
    return;
  }
  CopyMemory(data, bytes.data(), bytes.size());
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  // The stream frees the memory when it is released.
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return;
  }
  // Releases the stream whatever the outcome.
  void* pointer = nullptr;
  if (SUCCEEDED(CoGetInterfaceAndReleaseStream(stream, iid, &pointer)) && pointer) {
    *target.Put() = static_cast<I*>(pointer);
  }
}
}  // namespace

void AgentConnect(const std::string& callbackText, const std::string& appUtilText) {
  if (!callbackText.empty()) TakeInterface(callbackText, IID_IOrqexCallback, TheCallback());
  if (!appUtilText.empty()) TakeInterface(appUtilText, IID_IOrqexAppUtility, TheAppUtility());
}

bool AgentHasCallback() { return static_cast<bool>(TheCallback()); }

void AgentProgress(long first, long second, long third, const std::string& text) {
  if (!TheCallback()) return;
  ComString message(text);
  TheCallback()->Progress(first, second, third, message.Get());
}

void AgentFinish(long status, const std::string& message) {
  if (TheCallback()) {
    ComString text(message);
    TheCallback()->Finished(status, text.Get());
  }
  TheCallback().Reset();
  TheAppUtility().Reset();
}

bool AgentStartApplication(const std::string& command, long number) {
  if (!TheAppUtility()) return false;
  ComString text(command);
  TheAppUtility()->StartApplication(text.Get(), number);
  return true;
}

bool AgentCloseApplication(const std::string& name, const std::string& second, long timeoutMs,
                           long flags) {
  if (!TheAppUtility()) return false;
  ComString first(name);
  ComString other(second);
  TheAppUtility()->CloseApplication(first.Get(), other.Get(), timeoutMs, flags);
  return true;
}

IUnknown* AgentApplicationUtility() { return TheAppUtility().Get(); }
