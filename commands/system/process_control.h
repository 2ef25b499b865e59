#pragma once
// Finding and ending processes. Two implementations of one small interface,
// chosen at run time by the Windows family: the process status functions of
// "PsApi.dll" on the NT family and the Tool Help functions of "Kernel32.dll" on
// the 95/98/Me family, both loaded by name so the program starts on either.
//
// A process matches a name when its program's full path, upper-cased, contains
// the upper-cased name anywhere. Modules match by their full path, without
// regard to case. The engine's own process is never matched, listed as a module
// user or ended.
#include <windows.h>

#include <memory>
#include <string>

class ProcessControl {
 public:
  virtual ~ProcessControl() = default;
  // Loads the library and resolves its functions; false when any is missing.
  virtual bool Init() = 0;
  // Ends the first matching process that can be ended: 1, or 0 when none was
  // ended.
  virtual int KillByName(const std::string &name) = 0;
  virtual bool IsRunning(const std::string &name) = 0;
  // One log line "Process ID: %d, %s" per process; returns 1.
  virtual int ListProcesses() = 0;
  // Logs every process that has `modulePath` loaded and, with `kill`, ends
  // those whose program lies in the product's folder under the Windows folder.
  // Returns the result of the last KillProcess call (0 when none was made).
  virtual int KillModuleUsers(const std::string &modulePath, bool kill) = 0;
};

std::unique_ptr<ProcessControl> MakeNtProcessControl();
std::unique_ptr<ProcessControl> MakeWin9xProcessControl();
// The implementation for the Windows family this program runs on.
std::unique_ptr<ProcessControl> MakeProcessControl();

// Asks the first top-level window of the process (held open with the rights to
// end it and wait for it since it was matched, so its id cannot go to another
// process meanwhile) to close (WM_CLOSE), waits up to 10 s for it to end, else
// terminates it. 1 when the process was ended, else 0 (nothing is done without
// a handle).
int KillProcess(HANDLE process, unsigned long processId);

// What the file commands need of the process commands: KillModuleUsers of this
// family's implementation, or 0 when it cannot be loaded.
int CheckModuleUsers(const std::string &modulePath, bool kill);

// The product's folder, "<Windows folder>\Tevlin", and whether `programPath`
// lies inside it: the folder's text (compared without regard to case) followed
// by a backslash.
std::string ProductFolder();
bool IsInProductFolder(const std::string &programPath, const std::string &productFolder);
