// OrqCab.exe: the cabinet installer, a COM local server.
//   OrqCab /RegServer     registers the class (LocalServer32) and the type
//   libraries
//                         OrqCab.tlb and OrqexAgent.tlb found beside the
//                         program
//   OrqCab /UnregServer   removes the class and OrqCab.tlb's registration
//   OrqCab -Embedding     serves the class (how COM starts it)
// Exit codes: 0 done, 1 registration failed, 87 no known switch.
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <string>

#include "orqcab/cab_installer.h"
#include "orqcab_interfaces.h"
#include "support/system_folders.h"
#include "support/win_handles.h"
#include "support/wide_text.h"

namespace {
// Without a first client the server does not wait forever.
constexpr UINT kFirstClientTimeoutMs = 60000;

std::string ProgramFolder() {
  std::string path = ProgramFilePath();
  std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string GuidText(REFGUID guid) {
  std::wstring wide(64, L'\0');
  int length = StringFromGUID2(guid, wide.data(), static_cast<int>(wide.size()));
  std::string text;
  for (int i = 0; i + 1 < length; ++i) text += static_cast<char>(wide[i]);
  return text;
}

bool RegisterTypeLibrary(const std::string& path) {
  ComPtr<ITypeLib> library;
  std::wstring wide = WideFromAnsi(path);
  if (FAILED(LoadTypeLibEx(wide.c_str(), REGKIND_NONE, library.Put()))) return false;
  return SUCCEEDED(RegisterTypeLib(library.Get(), wide.data(), nullptr));
}

bool SetDefaultValue(const std::string& subKey, const std::string& value) {
  UniqueRegKey key;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      key.Put(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExA(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

int Register() {
  const std::string folder = ProgramFolder();
  const std::string classKey = "CLSID\\" + GuidText(CLSID_OrqCabInstaller);
  bool done = SetDefaultValue(classKey, "OrqCab cabinet installer") &&
              SetDefaultValue(classKey + "\\LocalServer32", "\"" + ProgramFilePath() + "\"") &&
              RegisterTypeLibrary(folder + "\\OrqCab.tlb");
  // The callback's interface: shared with Orqex, so it is registered here and
  // never removed.
  RegisterTypeLibrary(folder + "\\OrqexAgent.tlb");
  return done ? 0 : 1;
}

int Unregister() {
  SHDeleteKeyA(HKEY_CLASSES_ROOT, ("CLSID\\" + GuidText(CLSID_OrqCabInstaller)).c_str());
  // The type library was registered under this build's system kind (win32 for a 32-bit one).
  constexpr SYSKIND kOwnKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  UnRegisterTypeLib(LIBID_OrqCabLib, 1, 0, LOCALE_NEUTRAL, kOwnKind);
  return 0;
}

// One client per server process: a run of Orqex keeps the object it got for all
// its installations, and a server that ended or stopped answering is never
// offered to another client.
int Serve() {
  DWORD cookie = 0;
  if (FAILED(CoRegisterClassObject(CLSID_OrqCabInstaller, InstallerClassFactory(),
                                   CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie))) {
    return 1;
  }
  // Alive until the first client is done, or the time for a first client has
  // passed.
  HoldStartupLock();
  UINT_PTR timer = SetTimer(nullptr, 0, kFirstClientTimeoutMs, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == timer) {
      KillTimer(nullptr, timer);
      ReleaseStartupLock();  // ends the loop unless a client holds an object
      continue;
    }
    if (message.message == kClientEndedMessage && message.hwnd == nullptr) {
      LetGoOfEndedClient();  // a client that ended without letting go
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  CoRevokeClassObject(cookie);
  return 0;
}

bool HasSwitch(const std::string& commandLine, const char* name) {
  std::string lower;
  for (char c : commandLine) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  for (const char* lead : {"/", "-"}) {
    if (lower.find(std::string(lead) + name) != std::string::npos) return true;
  }
  return false;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string commandLine = GetCommandLineA();
  if (FAILED(CoInitialize(nullptr))) return 1;
  int exitCode = 87;
  if (HasSwitch(commandLine, "unregserver")) {
    exitCode = Unregister();
  } else if (HasSwitch(commandLine, "regserver")) {
    exitCode = Register();
  } else if (HasSwitch(commandLine, "embedding")) {
    exitCode = Serve();
  }
  CoUninitialize();
  return exitCode;
}
