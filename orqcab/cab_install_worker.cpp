#include "orqcab/cab_install_worker.h"

#include <objbase.h>

#include <new>
#include <system_error>
#include <thread>
#include <utility>

#include "orqcab/cab_installer.h"
#include "support/win_handles.h"
#include "support/wide_text.h"

ProgressCoalescer::ProgressCoalescer(FileReport forward, ULONGLONG intervalMs)
    : forward_(std::move(forward)), intervalMs_(intervalMs) {}

void ProgressCoalescer::operator()(unsigned index, unsigned count, unsigned long size,
                                   const std::string& name) {
  held_ = true;
  index_ = index;
  count_ = count;
  size_ = size;
  name_ = name;
  if (!sentAny_ || index == count || GetTickCount64() - lastSent_ >= intervalMs_) Send();
}

void ProgressCoalescer::Flush() {
  if (held_) Send();
}

void ProgressCoalescer::Send() {
  held_ = false;
  sentAny_ = true;
  lastSent_ = GetTickCount64();
  if (forward_) forward_(index_, count_, size_, name_);
}

namespace {
struct WorkerStart {
  IStream* callback;  // the marshalled callback, unmarshalled (and released) by the worker
  InstallJob job;
};

// Runs in the multithreaded apartment: its calls to the caller leave directly, without a
// message loop of OrqCab's in between.
void RunInstallation(WorkerStart& start) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  {
    ComPtr<IOrqexCallback> callback;
    CoGetInterfaceAndReleaseStream(start.callback, IID_IOrqexCallback,
                                   reinterpret_cast<void**>(callback.Put()));
    ProgressCoalescer progress(
        [&](unsigned index, unsigned count, unsigned long size, const std::string& name) {
          if (!callback) return;
          ComString text(name);
          callback->Progress(static_cast<LONG>(index), static_cast<LONG>(count),
                             static_cast<LONG>(size), text.Get());
        },
        kProgressIntervalMs);
    const ExtractOutcome outcome = start.job(std::ref(progress));
    progress.Flush();
    if (callback) {
      ComString message(outcome.message);
      callback->Finished(outcome.status, message.Get());
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  ServerUnlock();  // last: at zero the server ends
}
}  // namespace

HRESULT StartInstallWorker(IOrqexCallback* callback, InstallJob job) {
  WorkerStart start{nullptr, std::move(job)};
  const HRESULT marshalled =
      CoMarshalInterThreadInterfaceInStream(IID_IOrqexCallback, callback, &start.callback);
  if (FAILED(marshalled)) return marshalled;
  ServerLock();
  try {
    std::thread([start = std::move(start)]() mutable { RunInstallation(start); }).detach();
    return S_OK;
  } catch (const std::system_error&) {
  } catch (const std::bad_alloc&) {
  }
  // The thread never started: the stream and the lock are still ours.
  CoReleaseMarshalData(start.callback);
  start.callback->Release();
  ServerUnlock();
  return E_OUTOFMEMORY;
}
