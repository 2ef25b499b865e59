// Test helper, and the reference for writing an agent: starts Orqex.exe with its two
// interfaces and records every call Orqex makes on them.
//
//   test_agent.exe <record file> <Orqex arguments...>
//
// Registers OrqexAgent.tlb (beside this program) so that the system's type-library marshaler
// carries the calls, marshals its callback and application-utility objects into HGLOBAL
// streams (local context, normal marshaling), passes their bytes in hexadecimal as
// "/CallBack=" and "/AppUtil=" ahead of the given arguments, dispatches its messages while
// Orqex runs (the calls arrive as messages of this single-threaded apartment) and exits with
// Orqex's exit code. Each call becomes one line of the record file, appended at once:
//   Progress <first> <second> <third> <text>
//   Finished 0x<status, 8 hex digits> <message>
//   StartApplication <number> <command>
//   CloseApplication <timeout> <flags> <name>|<second>
// and at the end "Exit <code>".
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "agent_interfaces.h"
#include "support/win_handles.h"

namespace {
constexpr DWORD kRunLimitMs = 180000;

std::string g_recordPath;

std::string Ansi(BSTR text) {
  if (!text) return std::string();
  int length = static_cast<int>(SysStringLen(text));
  int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

void Record(const std::string& line) {
  UniqueKernelHandle file(CreateFileA(g_recordPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  const std::string bytes = line + "\r\n";
  DWORD written = 0;
  if (file)
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Objects of this program's lifetime: reference counts are kept but nothing is freed.
template <typename I>
class AgentObject : public I {
 public:
  explicit AgentObject(const IID& iid) : iid_(iid) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, iid_)) {
      *object = static_cast<I*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    return static_cast<ULONG>(InterlockedDecrement(&refs_));
  }

 private:
  const IID& iid_;
  LONG refs_ = 1;
};

class Callback : public AgentObject<IOrqexCallback> {
 public:
  Callback() : AgentObject(IID_IOrqexCallback) {}
  HRESULT STDMETHODCALLTYPE Progress(LONG first, LONG second, LONG third, BSTR text) override {
    Record("Progress " + std::to_string(first) + " " + std::to_string(second) + " " +
           std::to_string(third) + " " + Ansi(text));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Finished(LONG status, BSTR message) override {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(status));
    Record(std::string("Finished ") + hex + " " + Ansi(message));
    return S_OK;
  }
};

class AppUtility : public AgentObject<IOrqexAppUtility> {
 public:
  AppUtility() : AgentObject(IID_IOrqexAppUtility) {}
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

std::string OwnFolder() {
  std::string path(MAX_PATH, '\0');
  path.resize(GetModuleFileNameA(nullptr, path.data(), MAX_PATH));
  return path.substr(0, path.find_last_of('\\'));
}

// The marshaling packet of `object` as hexadecimal text; empty on failure.
std::string MarshalToHex(IUnknown* object, REFIID iid) {
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put())) ||
      FAILED(
          CoMarshalInterface(stream.Get(), iid, object, MSHCTX_LOCAL, nullptr, MSHLFLAGS_NORMAL))) {
    return std::string();
  }
  HGLOBAL memory = nullptr;
  STATSTG stat{};
  if (FAILED(GetHGlobalFromStream(stream.Get(), &memory)) ||
      FAILED(stream->Stat(&stat, STATFLAG_NONAME))) {
    return std::string();
  }
  const auto* bytes = static_cast<const unsigned char*>(GlobalLock(memory));
  if (!bytes) return std::string();
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (ULONGLONG i = 0; i < stat.cbSize.QuadPart; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 15];
  }
  GlobalUnlock(memory);
  return hex;
}

// The command line after the program's own name.
std::string ArgumentsText() {
  const char* p = GetCommandLineA();
  if (*p == '"') {
    for (++p; *p && *p != '"'; ++p) {
    }
    if (*p) ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

int RunOrqex(const std::string& arguments) {
  std::string commandLine = "\"" + OwnFolder() + "\\Orqex.exe\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return -2;
  }
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle thread(info.hThread);
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    ULONGLONG elapsed = GetTickCount64() - start;
    if (elapsed >= kRunLimitMs) {
      TerminateProcess(process.Get(), 0xFFFFFFFE);
      WaitForSingleObject(process.Get(), 5000);
      break;
    }
    HANDLE handle = process.Get();
    DWORD result = MsgWaitForMultipleObjects(
        1, &handle, FALSE, static_cast<DWORD>(kRunLimitMs - elapsed), QS_ALLINPUT);
    if (result == WAIT_OBJECT_0) break;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(process.Get(), &exitCode);
  return static_cast<int>(exitCode);
}
}  // namespace

int main() {
  std::string rest = ArgumentsText();
  std::size_t blank = rest.find(' ');
  g_recordPath = rest.substr(0, blank);
  rest = blank == std::string::npos ? std::string() : rest.substr(blank + 1);
  if (g_recordPath.empty()) return -3;

  if (FAILED(CoInitialize(nullptr))) return -4;
  int exitCode = -5;
  {
    ComPtr<ITypeLib> library;
    const std::wstring tlb = [] {
      std::string path = OwnFolder() + "\\OrqexAgent.tlb";
      return std::wstring(path.begin(), path.end());
    }();
    if (SUCCEEDED(LoadTypeLibEx(tlb.c_str(), REGKIND_REGISTER, library.Put()))) {
      Callback callback;
      AppUtility appUtility;
      std::string callbackHex = MarshalToHex(&callback, IID_IOrqexCallback);
      std::string appUtilHex = MarshalToHex(&appUtility, IID_IOrqexAppUtility);
      exitCode = RunOrqex("/CallBack=" + callbackHex + " /AppUtil=" + appUtilHex + " " + rest);
      Record("Exit " + std::to_string(exitCode));
      CoDisconnectObject(&callback, 0);
      CoDisconnectObject(&appUtility, 0);
    }
  }
  CoUninitialize();
  return exitCode;
}
