// The parts of process control both Windows families share: ending one process,
// the searches by name and by module, and the choice of implementation.
#include "commands/system/process_control.h"

#include <windows.h>

#include "commands/system/process_walk.h"
#include "support/log.h"
#include "support/mbcs.h"
#include "support/system_folders.h"
#include "support/win_handles.h"
#include "support/windows_family.h"

namespace {
constexpr DWORD kCloseWaitMs = 10000;
// TerminateProcess only starts the end; a caller that goes on to replace the
// program's files or asks whether it still runs needs it gone.
constexpr DWORD kTerminateWaitMs = 5000;

struct WindowSearch {
  DWORD processId = 0;
  bool found = false;
};

BOOL CALLBACK CloseFirstWindow(HWND window, LPARAM param) {
  auto *search = reinterpret_cast<WindowSearch *>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  PostMessageA(window, WM_CLOSE, 0, 0);
  search->found = true;
  return FALSE;
}
}  // namespace

std::string UpperCased(std::string text) {
  if (!text.empty()) CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

int KillProcess(HANDLE process, unsigned long processId) {
  if (process == nullptr || processId == GetCurrentProcessId()) return 0;  // never the engine
  WindowSearch search;
  search.processId = processId;
  EnumWindows(CloseFirstWindow, reinterpret_cast<LPARAM>(&search));
  if (search.found && WaitForSingleObject(process, kCloseWaitMs) == WAIT_OBJECT_0) return 1;
  if (!TerminateProcess(process, 0)) {
    LogStatus("Cannot Kill Process: %lu, Error Code: %lu", processId, GetLastError());
    return 0;
  }
  WaitForSingleObject(process, kTerminateWaitMs);
  return 1;
}

int ProcessWalker::KillByName(const std::string &name) {
  const std::string wanted = UpperCased(name);
  std::vector<ProcessEntry> entries;
  if (!ListEntries(entries)) return 0;
  for (ProcessEntry &entry : entries) {
    const std::string path = UpperCased(entry.path);
    if (FindText(path, wanted) == std::string::npos) continue;
    UniqueKernelHandle process = TakeForEnding(entry);
    if (KillProcess(process.Get(), entry.id) == 1) return 1;
    LogStatus("Cannot Kill Process: %s", path.c_str());
  }
  return 0;
}

bool ProcessWalker::IsRunning(const std::string &name) {
  const std::string wanted = UpperCased(name);
  std::vector<ProcessEntry> entries;
  if (!ListEntries(entries)) return false;
  for (const ProcessEntry &entry : entries) {
    if (FindText(UpperCased(entry.path), wanted) != std::string::npos) return true;
  }
  return false;
}

int ProcessWalker::ListProcesses() {
  std::vector<ProcessEntry> entries;
  if (ListEntries(entries)) {
    for (const ProcessEntry &entry : entries) {
      LogStatus("Process ID: %lu, %s", entry.id, entry.path.c_str());
    }
  }
  return 1;
}

int ProcessWalker::KillModuleUsers(const std::string &modulePath, bool kill) {
  const std::string wanted = UpperCased(modulePath);
  const std::string productFolder = ProductFolder();
  int result = 0;
  std::vector<ProcessEntry> entries;
  if (wanted.empty() || !ListEntries(entries)) return 0;
  std::vector<std::string> modules;
  for (ProcessEntry &entry : entries) {
    if (!ListModules(entry, modules)) continue;
    for (const std::string &module : modules) {
      if (module.empty() || UpperCased(module) != wanted) continue;
      LogStatus("Module: %s is used by Process: %s", modulePath.c_str(), entry.path.c_str());
      if (kill && IsInProductFolder(entry.path, productFolder)) {
        UniqueKernelHandle process = TakeForEnding(entry);
        result = KillProcess(process.Get(), entry.id);
      }
      break;
    }
  }
  return result;
}

std::string ProductFolder() {
  std::string windows = WindowsFolder();
  return windows.empty() ? std::string() : windows + "\\Tevlin";
}

// "C:\WINDOWS\TevlinOther\x.exe" is not inside "C:\WINDOWS\Tevlin": a backslash
// must follow.
bool IsInProductFolder(const std::string &programPath, const std::string &productFolder) {
  if (productFolder.empty() || programPath.size() <= productFolder.size()) return false;
  const std::string path = UpperCased(programPath);
  return path.compare(0, productFolder.size(), UpperCased(productFolder)) == 0 &&
         path[productFolder.size()] == '\\';
}

std::unique_ptr<ProcessControl> MakeProcessControl() {
  return IsNtFamily() ? MakeNtProcessControl() : MakeWin9xProcessControl();
}

int CheckModuleUsers(const std::string &modulePath, bool kill) {
  std::unique_ptr<ProcessControl> control = MakeProcessControl();
  if (!control || !control->Init()) return 0;
  return control->KillModuleUsers(modulePath, kill);
}
