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
#include <deque>
#include <mutex>
#include <new>
#include <string>
#include <thread>

#include "agent_interfaces.h"
#include "engine/mbcs.h"
#include "engine/text_args.h"
#include "host/command_line_parse.h"
#include "orqcab/cab_entry_name_parse.h"
#include "orqcab/cab_extract.h"
#include "orqcab/cab_target.h"
#include "support/system_folders.h"
#include "support/win_handles.h"
#include "support/wide_text.h"

namespace {
std::atomic<long> g_serverLocks{0};
std::atomic<bool> g_startupLockHeld{false};
DWORD g_serverThread = GetCurrentThreadId();

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
CabDestination TargetFolder(long number, const std::string& cabinetPath, BSTR params,
                            std::string& message) {
  CabDestination destination{BaseFolder(number, cabinetPath), {}};
  if (destination.base.empty()) {
    message = "No target folder: the first number selects none (" + std::to_string(number) + ")";
    return {};
  }
  const std::string sub = ParamValue(DecodeParams(AnsiFromBstr(params)), "cabfolder");
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

struct FileDone {
  unsigned index, count;
  unsigned long size;
  std::string name;
};

// Extracts on this thread while a thread of the multithreaded apartment hands each finished
// file on to `sink`: the calls to the caller overlap the extraction instead of adding to it,
// and leave without passing through this apartment's message loop. Every file is reported,
// in order, before the extraction's outcome is returned.
ExtractOutcome ExtractReporting(const std::string& cabinetPath, const CabDestination& target,
                                bool keepExisting, IOrqexCallback* sink) {
  IStream* stream = nullptr;
  UniqueKernelHandle ready(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  UniqueKernelHandle reported(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!sink || !ready || !reported ||
      FAILED(CoMarshalInterThreadInterfaceInStream(IID_IOrqexCallback, sink, &stream))) {
    return ExtractCabinet(cabinetPath, target, keepExisting, FileReport());
  }
  std::mutex lock;
  std::deque<FileDone> done;
  bool finished = false;
  std::thread reporter([&] {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ComPtr<IOrqexCallback> callback;
    CoGetInterfaceAndReleaseStream(stream, IID_IOrqexCallback,
                                   reinterpret_cast<void**>(callback.Put()));
    for (bool last = false; !last;) {
      WaitForSingleObject(ready.Get(), INFINITE);
      std::deque<FileDone> batch;
      {
        std::lock_guard<std::mutex> hold(lock);
        batch.swap(done);
        last = finished;
      }
      for (const FileDone& file : batch) {
        if (!callback) continue;
        ComString text(file.name);
        callback->Progress(static_cast<LONG>(file.index), static_cast<LONG>(file.count),
                           static_cast<LONG>(file.size), text.Get());
      }
    }
    callback.Reset();
    if (SUCCEEDED(com)) CoUninitialize();
    SetEvent(reported.Get());
  });
  ExtractOutcome outcome = ExtractCabinet(
      cabinetPath, target, keepExisting,
      [&](unsigned index, unsigned count, unsigned long size, const std::string& name) {
        std::lock_guard<std::mutex> hold(lock);
        done.push_back({index, count, size, name});
        SetEvent(ready.Get());
      });
  {
    std::lock_guard<std::mutex> hold(lock);
    finished = true;
    SetEvent(ready.Get());
  }
  // The reporter's calls may call back into this apartment: serve it while waiting.
  HANDLE handle = reported.Get();
  DWORD signalled = 0;
  CoWaitForMultipleHandles(0, INFINITE, 1, &handle, &signalled);
  reporter.join();
  return outcome;
}

class CabInstaller final : public IOrqCabInstaller {
 public:
  CabInstaller() { ServerLock(); }
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

  HRESULT STDMETHODCALLTYPE InstallCab(BSTR cabinet, long targetFolder, long existingFiles,
                                       long version1, long version2, long version3, long version4,
                                       IUnknown* callback, long, IUnknown*, BSTR params) override {
    ComPtr<IOrqexCallback> sink;
    if (callback) {
      callback->QueryInterface(IID_IOrqexCallback, reinterpret_cast<void**>(sink.Put()));
    }
    // Nobody would learn how it ended: nothing is installed or recorded.
    if (!sink) return E_POINTER;
    const std::string cabinetPath = AnsiFromBstr(cabinet);
    ExtractOutcome outcome;
    const CabDestination target = TargetFolder(targetFolder, cabinetPath, params, outcome.message);
    if (target.empty()) {
      outcome.status = E_INVALIDARG;
    } else if (existingFiles != 0 && existingFiles != 1) {
      outcome.status = E_INVALIDARG;
      outcome.message = "The second number must be 0 or 1, not " + std::to_string(existingFiles);
    } else {
      outcome = ExtractReporting(cabinetPath, target, existingFiles == 1, sink.Get());
    }
    if (outcome.status >= 0) {
      const std::string installed =
          std::to_string(outcome.filesWritten) + " files into " + outcome.folder;
      const LONG error = WriteLastUpdate(std::to_string(version1) + "." + std::to_string(version2) +
                                             "." + std::to_string(version3) + "." +
                                             std::to_string(version4),
                                         cabinetPath);
      if (error != ERROR_SUCCESS) {
        outcome.status = HRESULT_FROM_WIN32(error);
        outcome.message = "Cannot record the last update in HKLM\\" + std::string(kLastUpdateKey) +
                          " (system error " + std::to_string(error) + ") after writing " + installed;
      } else {
        outcome.message = "Installed " + installed;
      }
    }
    ComString message(outcome.message);
    sink->Finished(outcome.status, message.Get());
    return S_OK;
  }

 private:
  ~CabInstaller() { ServerUnlock(); }
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
