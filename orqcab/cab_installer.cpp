// OrqCabInstaller: extracts a cabinet into a folder, reporting to the caller's
// callback.
//
// The six numbers of an install request:
//   1. the base folder: 0 the cabinet's own folder, 1 the Windows folder, 2 the
//   system
//      folder, 3 the temporary folder; any other number is refused;
//   2. files already there: 0 replaces them, 1 keeps them;
//   3.-6. the version of the update ("3.4.5.6"), kept as the last-update
//   record.
// The parameter text is the caller's hexadecimal "Params=" text; its decoded
// pairs may hold cabfolder="sub\folder", a folder below the base (created when
// missing; it must stay below the base, as cabinet names must). The last-update
// record: HKLM\SOFTWARE\Orqex\OrqCab, values "LastUpdate" (the version) and
// "LastCabinet" (the cabinet's path); ResetLastUpdate deletes both.
#include "orqcab/cab_installer.h"

#include <atomic>
#include <new>
#include <set>
#include <string>
#include <utility>

#include "agent_interfaces.h"
#include "engine/text_args.h"
#include "host/command_line_parse.h"
#include "orqcab/cab_entry_name_parse.h"
#include "orqcab/cab_extract.h"
#include "orqcab/cab_install_worker.h"
#include "orqcab/cab_target.h"
#include "support/mbcs.h"
#include "support/system_folders.h"
#include "support/win_handles.h"
#include "support/wide_text.h"

namespace {
std::atomic<long> g_serverLocks{0};
std::atomic<bool> g_startupLockHeld{false};
DWORD g_serverThread = GetCurrentThreadId();
// The live objects (made, used and ended on the server's thread only).
std::set<IUnknown*> g_installers;
// The client whose end is watched: one per server (single use).
DWORD g_watchedClient = 0;
UniqueKernelHandle g_clientProcess;
HANDLE g_clientWait = nullptr;

VOID CALLBACK ClientEnded(void*, BOOLEAN) {
  PostThreadMessageA(g_serverThread, kClientEndedMessage, 0, 0);
}

void WatchClient(DWORD clientProcessId) {
  if (g_watchedClient != 0 || clientProcessId == 0) return;
  g_clientProcess.Reset(OpenProcess(SYNCHRONIZE, FALSE, clientProcessId));
  if (!g_clientProcess) return;
  g_watchedClient = clientProcessId;
  RegisterWaitForSingleObject(&g_clientWait, g_clientProcess.Get(), ClientEnded, nullptr, INFINITE,
                              WT_EXECUTEONLYONCE);
}

std::string BaseFolder(long number, const std::string& cabinetPath) {
  switch (number) {
    case 0: {  // the cabinet's own folder ("/" and double-byte names included)
      const std::string full = FullPathOf(cabinetPath);
      const std::size_t slash = FindLastChar(full, '\\');
      if (slash == std::string::npos) return {};
      return full.substr(0, slash == 2 && full[1] == ':' ? 3 : slash);  // "C:\" stays a root
    }
    case 1:
      return WindowsFolder();
    case 2:
      return SystemFolder();
    case 3: {
      std::string temp = TempFolder();
      if (!temp.empty() && temp.back() == '\\') temp.pop_back();
      return temp;
    }
    default:
      return {};
  }
}

// The folder the request selects (its sub-folder is created by the extraction);
// empty with `message` set when there is none.
CabDestination TargetFolder(long number, const std::string& cabinetPath, const std::string& params,
                            std::string& message) {
  CabDestination destination{BaseFolder(number, cabinetPath), {}};
  if (destination.base.empty()) {
    message = "No target folder: the first number selects none (" + std::to_string(number) + ")";
    return {};
  }
  const std::string sub = ParamValue(DecodeParams(params), "cabfolder");
  if (sub.empty()) return destination;
  const CabEntryName checked = CheckCabEntryName(sub);
  if (!checked.accepted) {
    message = "Refused the target folder \"" + sub + "\": " + checked.reason;
    return {};
  }
  if (destination.base.size() + 1 + checked.relativePath.size() >= MAX_PATH) {
    message = "The target folder's path is too long";
    return {};
  }
  destination.sub = checked.relativePath;
  return destination;
}

// The last-update record; 0 or the registry's error.
LONG WriteLastUpdate(const std::string& version, const std::string& cabinetPath) {
  UniqueRegKey key;
  LONG error = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kLastUpdateKey, 0, nullptr, 0, KEY_SET_VALUE,
                               nullptr, key.Put(), nullptr);
  if (error == ERROR_SUCCESS) {
    error = RegSetValueExA(key.Get(), "LastUpdate", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(version.c_str()),
                           static_cast<DWORD>(version.size() + 1));
  }
  if (error == ERROR_SUCCESS) {
    error = RegSetValueExA(key.Get(), "LastCabinet", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(cabinetPath.c_str()),
                           static_cast<DWORD>(cabinetPath.size() + 1));
  }
  return error;
}

// One installation request as InstallCab received it.
struct InstallRequest {
  std::string cabinetPath;
  long targetFolder = 0, existingFiles = 0;
  long version[4] = {};
  std::string params;
};

// The whole installation (on the worker's thread): the target, the extraction reporting
// each file, and on success the last-update record.
ExtractOutcome Install(const InstallRequest& request, const FileReport& report) {
  ExtractOutcome outcome;
  const CabDestination target =
      TargetFolder(request.targetFolder, request.cabinetPath, request.params, outcome.message);
  if (target.base.empty()) {
    outcome.status = E_INVALIDARG;
  } else if (request.existingFiles != 0 && request.existingFiles != 1) {
    outcome.status = E_INVALIDARG;
    outcome.message =
        "The second number must be 0 or 1, not " + std::to_string(request.existingFiles);
  } else {
    outcome = ExtractCabinet(request.cabinetPath, target, request.existingFiles == 1, report);
  }
  if (outcome.status >= 0) {
    const std::string installed =
        std::to_string(outcome.filesWritten) + " files into " + outcome.folder;
    const LONG error = WriteLastUpdate(
        std::to_string(request.version[0]) + "." + std::to_string(request.version[1]) + "." +
            std::to_string(request.version[2]) + "." + std::to_string(request.version[3]),
        request.cabinetPath);
    if (error != ERROR_SUCCESS) {
      outcome.status = HRESULT_FROM_WIN32(error);
      outcome.message = "Cannot record the last update in HKLM\\" + std::string(kLastUpdateKey) +
                        " (system error " + std::to_string(error) + ") after writing " + installed;
    } else {
      outcome.message = "Installed " + installed;
    }
  }
  return outcome;
}

class CabInstaller final : public IOrqCabInstaller {
 public:
  CabInstaller() {
    ServerLock();
    g_installers.insert(this);
  }
  CabInstaller(const CabInstaller&) = delete;
  CabInstaller& operator=(const CabInstaller&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOrqCabInstaller)) {
      *result = static_cast<IOrqCabInstaller*>(this);
      AddRef();
      return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const long left = --references_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE ResetLastUpdate() override {
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLastUpdateKey, 0, KEY_SET_VALUE, key.Put()) !=
        ERROR_SUCCESS) {
      return S_OK;  // nothing recorded
    }
    RegDeleteValueA(key.Get(), "LastUpdate");
    RegDeleteValueA(key.Get(), "LastCabinet");
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE LastUpdate(BSTR* version) override {
    if (!version) return E_POINTER;
    std::string value(MAX_PATH, '\0');
    DWORD size = MAX_PATH;
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLastUpdateKey, 0, KEY_QUERY_VALUE, key.Put()) !=
            ERROR_SUCCESS ||
        RegQueryValueExA(key.Get(), "LastUpdate", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS) {
      size = 0;
    }
    value.resize(value.find('\0') == std::string::npos ? size : value.find('\0'));
    ComString text(value);
    *version = text.Release();
    return S_OK;
  }

  // Hands the installation to a worker thread and returns at once; the worker reports to
  // `callback` and ends with Finished. Without a callback nothing is installed.
  HRESULT STDMETHODCALLTYPE InstallCab(BSTR cabinet, long targetFolder, long existingFiles,
                                       long version1, long version2, long version3, long version4,
                                       IUnknown* callback, long, IUnknown*, BSTR params) override {
    ComPtr<IOrqexCallback> sink;
    if (callback) {
      callback->QueryInterface(IID_IOrqexCallback, reinterpret_cast<void**>(sink.Put()));
    }
    if (!sink) return E_POINTER;
    InstallRequest request{AnsiFromBstr(cabinet), targetFolder, existingFiles,
                           {version1, version2, version3, version4},
                           AnsiFromBstr(params)};
    return StartInstallWorker(sink.Get(), [request = std::move(request)](const FileReport& report) {
      return Install(request, report);
    });
  }

  HRESULT STDMETHODCALLTYPE ExchangeProcessIds(long clientProcessId,
                                               long* serverProcessId) override {
    if (!serverProcessId) return E_POINTER;
    WatchClient(static_cast<DWORD>(clientProcessId));
    *serverProcessId = static_cast<long>(GetCurrentProcessId());
    return S_OK;
  }

 private:
  ~CabInstaller() {
    g_installers.erase(this);
    ServerUnlock();
  }
  std::atomic<long> references_{0};
};

class InstallerFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
    if (!result) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *result = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *result = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // a static object
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** result) override {
    if (!result) return E_POINTER;
    *result = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    CabInstaller* installer = new (std::nothrow) CabInstaller();
    if (!installer) return E_OUTOFMEMORY;
    installer->AddRef();
    HRESULT status = installer->QueryInterface(iid, result);
    installer->Release();
    ReleaseStartupLock();  // from now on the clients' objects keep the server
    return status;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      ServerLock();
    } else {
      ServerUnlock();
    }
    return S_OK;
  }
};
}  // namespace

void ServerLock() { ++g_serverLocks; }

void LetGoOfEndedClient() {
  ReleaseStartupLock();
  // Disconnecting drops the references the ended client held; the last one ends its object.
  const std::set<IUnknown*> installers = g_installers;
  for (IUnknown* installer : installers) CoDisconnectObject(installer, 0);
}

void HoldStartupLock() {
  g_startupLockHeld = true;
  ServerLock();
}

void ReleaseStartupLock() {
  if (g_startupLockHeld.exchange(false)) ServerUnlock();
}

void ServerUnlock() {
  if (--g_serverLocks == 0) PostThreadMessageA(g_serverThread, WM_QUIT, 0, 0);
}

IClassFactory* InstallerClassFactory() {
  static InstallerFactory factory;
  return &factory;
}
