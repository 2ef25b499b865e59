#pragma once
// What the two process-control implementations share: the searches by name and
// by module are written once over two primitives each implementation supplies.
#include <windows.h>

#include <string>
#include <vector>

#include "commands/system/process_control.h"
#include "support/win_handles.h"

struct ProcessEntry {
  DWORD id = 0;
  std::string path;  // the program's full path, as the system gives it
  // The process itself, held from the listing on where the system lists by handle, so
  // that what is read, matched and ended is one process even if its id is reused.
  UniqueKernelHandle handle;
  bool endable = false;  // the handle carries the rights to end the process and wait for it
};

// Paths read into a 260-byte buffer; a longer one is treated as unreadable,
// never cut (a cut path could equal another file's path).
constexpr std::size_t kProcessPathSize = 260;

// The text upper-cased in the ANSI code page (double-byte characters stay
// whole).
std::string UpperCased(std::string text);

class ProcessWalker : public ProcessControl {
 public:
  int KillByName(const std::string &name) override;
  bool IsRunning(const std::string &name) override;
  int ListProcesses() override;
  int KillModuleUsers(const std::string &modulePath, bool kill) override;

 protected:
  // Every process but this one whose program path can be read, in the system's
  // order. False when the list cannot be taken at all.
  virtual bool ListEntries(std::vector<ProcessEntry> &entries) = 0;
  // The process of a matching entry, with the rights to end it and wait for it, or
  // nothing when it cannot be had (or is no longer the process that was listed).
  virtual UniqueKernelHandle TakeForEnding(ProcessEntry &entry) = 0;
  // The full paths of the process's modules in the system's order (an
  // unreadable one as the empty text). False when the modules cannot be listed.
  virtual bool ListModules(const ProcessEntry &process, std::vector<std::string> &modules) = 0;
};
