#pragma once
// What the two process-control implementations share: the searches by name and
// by module are written once over two primitives each implementation supplies.
#include <windows.h>

#include <string>
#include <vector>

#include "commands/system/process_control.h"

struct ProcessEntry {
  DWORD id = 0;
  std::string path;  // the program's full path, as the system gives it
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
  // The full paths of the process's modules in the system's order (an
  // unreadable one as the empty text). False when the modules cannot be listed.
  virtual bool ListModules(const ProcessEntry &process, std::vector<std::string> &modules) = 0;
};
