// Test helper, and the reference for writing an agent (docs/agent.md): starts Orqex.exe with
// its two interfaces and records every call Orqex makes on them.
//
//   test_agent.exe <record file> <Orqex arguments...>
//
// Each call becomes one line of the record file, appended at once; the agent's exit code is
// Orqex's, also recorded as the last line "Exit <code>":
//   Progress <first> <second> <third> <text>
//   Finished 0x<status, 8 hex digits> <message>
//   StartApplication <number> <command>
//   CloseApplication <timeout> <flags> <name>|<second>
#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "agent_interfaces.h"
#include "support/win_handles.h"

namespace {
std::string g_recordPath;

void Record(const std::string& line) {
  if (FILE* file = std::fopen(g_recordPath.c_str(), "ab")) {
    std::fputs((line + "\r\n").c_str(), file);
    std::fclose(file);
  }
}

std::string Ansi(BSTR text) {
  int size = WideCharToMultiByte(CP_ACP, 0, text, SysStringLen(text), nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 0, '\0');
  WideCharToMultiByte(CP_ACP, 0, text, SysStringLen(text), out.data(), size, nullptr, nullptr);
  return out;
}

// One object of the program's lifetime behind both interfaces: nothing is ever freed.
class Agent : public IOrqexCallback, public IOrqexAppUtility {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOrqexCallback)) {
      *object = static_cast<IOrqexCallback*>(this);
    } else if (IsEqualIID(iid, IID_IOrqexAppUtility)) {
      *object = static_cast<IOrqexAppUtility*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE Progress(LONG first, LONG second, LONG third, BSTR text) override {
    Record("Progress " + std::to_string(first) + " " + std::to_string(second) + " " +
           std::to_string(third) + " " + Ansi(text));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Finished(LONG status, BSTR message) override {
    std::string hex(16, '\0');
    hex.resize(
        std::snprintf(hex.data(), hex.size(), "0x%08lX", static_cast<unsigned long>(status)));
    Record("Finished " + hex + " " + Ansi(message));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE StartApplication(BSTR command, LONG number) override {
    Record("StartApplication " + std::to_string(number) + " " + Ansi(command));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CloseApplication(BSTR name, BSTR second, LONG timeoutMs,
                                             LONG flags) override {
    Record("CloseApplication " + std::to_string(timeoutMs) + " " + std::to_string(flags) + " " +
           Ansi(name) + "|" + Ansi(second));
    return S_OK;
  }
};

// The interface's marshaling packet (local context, normal marshaling) as hexadecimal text.
std::string MarshalToHex(IUnknown* object, REFIID iid) {
  ComPtr<IStream> stream;
  HGLOBAL memory = nullptr;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put())) ||
      FAILED(
          CoMarshalInterface(stream.Get(), iid, object, MSHCTX_LOCAL, nullptr, MSHLFLAGS_NORMAL)) ||
      FAILED(GetHGlobalFromStream(stream.Get(), &memory))) {
    return "";
  }
  ULARGE_INTEGER size{};
  stream->Seek({}, STREAM_SEEK_CUR, &size);
  const auto* bytes = static_cast<const unsigned char*>(GlobalLock(memory));
  std::string hex;
  for (ULONGLONG i = 0; bytes && i < size.QuadPart; ++i) {
    hex += "0123456789ABCDEF"[bytes[i] >> 4];
    hex += "0123456789ABCDEF"[bytes[i] & 15];
  }
  GlobalUnlock(memory);
  return hex;
}

// Starts Orqex and dispatches this thread's messages until it ends (the calls arrive as
// messages of this single-threaded apartment); ends it after 180 s without a call.
DWORD RunOrqex(const std::string& folder, const std::string& arguments) {
  std::string commandLine = "\"" + folder + "\\Orqex.exe\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return 0xFFFFFFFE;
  }
  UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  HANDLE handle = process.Get();
  DWORD result, exitCode = 0xFFFFFFFE;
  while ((result = MsgWaitForMultipleObjects(1, &handle, FALSE, 180000, QS_ALLINPUT)) ==
         WAIT_OBJECT_0 + 1) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  if (result != WAIT_OBJECT_0)
    TerminateProcess(handle, exitCode), WaitForSingleObject(handle, 5000);
  GetExitCodeProcess(handle, &exitCode);
  return exitCode;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || FAILED(CoInitialize(nullptr))) return -3;
  g_recordPath = argv[1];
  const std::string line = GetCommandLineA();
  const std::string rest = line.substr(line.find(g_recordPath) + g_recordPath.size());
  std::string folder(MAX_PATH, '\0');
  folder.resize(GetModuleFileNameA(nullptr, folder.data(), MAX_PATH));
  folder.resize(folder.find_last_of('\\'));
  const std::string tlb = folder + "\\OrqexAgent.tlb";
  int exitCode = -5;
  ComPtr<ITypeLib> library;
  // Registering the type library lets the system's type-library marshaler carry the calls.
  if (SUCCEEDED(LoadTypeLibEx(std::wstring(tlb.begin(), tlb.end()).c_str(), REGKIND_REGISTER,
                              library.Put()))) {
    Agent agent;
    IOrqexCallback* callback = &agent;
    IOrqexAppUtility* appUtility = &agent;
    exitCode = static_cast<int>(
        RunOrqex(folder, "/CallBack=" + MarshalToHex(callback, IID_IOrqexCallback) +
                             " /AppUtil=" + MarshalToHex(appUtility, IID_IOrqexAppUtility) + rest));
    Record("Exit " + std::to_string(exitCode));
    CoDisconnectObject(callback, 0);
  }
  library.Reset();
  CoUninitialize();
  return exitCode;
}
