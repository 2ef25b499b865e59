#pragma once
// An installation on a thread of its own: InstallCab hands the work over and returns at
// once, so that no caller ever waits inside a call into OrqCab. The worker reports
// progress, coalesced, and calls Finished exactly once.
#include <windows.h>

#include <functional>
#include <string>

#include "agent_interfaces.h"
#include "orqcab/cab_extract.h"

// The newest finished file reaches the caller at most this often; the last one always.
constexpr ULONGLONG kProgressIntervalMs = 100;

// Passes on the newest finished file at most every `intervalMs` (the first at once) and
// always the cabinet's last file; Flush passes on a file still held back (the newest one
// before a failure). Index and count go through unchanged, so the caller always knows how
// far the installation has come.
class ProgressCoalescer {
 public:
  ProgressCoalescer(FileReport forward, ULONGLONG intervalMs);
  void operator()(unsigned index, unsigned count, unsigned long size, const std::string& name);
  void Flush();

 private:
  void Send();

  FileReport forward_;
  ULONGLONG intervalMs_;
  ULONGLONG lastSent_ = 0;
  bool sentAny_ = false;
  bool held_ = false;
  unsigned index_ = 0, count_ = 0;
  unsigned long size_ = 0;
  std::string name_;
};

// The work of one installation: extracts, reporting each finished file, and returns the
// outcome that Finished carries.
using InstallJob = std::function<ExtractOutcome(const FileReport& report)>;

// Starts `job` on a new thread that holds a server lock until it is done, and returns at
// once: S_OK, or the failure when no thread could be started (then nothing runs and
// `callback` hears nothing).
HRESULT StartInstallWorker(IOrqexCallback* callback, InstallJob job);
