// Process control on the 95/98/Me family, through the Tool Help functions of
// "Kernel32.dll", resolved at run time. The records are passed with the sizes
// of the structures this program was built with, so a 64-bit build asks for
// 64-bit records.
#include <windows.h>
// after windows.h, which it needs
#include <tlhelp32.h>

#include "commands/system/process_walk.h"
#include "support/mbcs.h"
#include "support/win_handles.h"

namespace {
using CreateSnapshotFn = HANDLE(WINAPI *)(DWORD, DWORD);
using ProcessWalkFn = BOOL(WINAPI *)(HANDLE, PROCESSENTRY32 *);
using ModuleWalkFn = BOOL(WINAPI *)(HANDLE, MODULEENTRY32 *);

constexpr DWORD kSnapshotAll = 15;    // heap lists, processes, threads and modules
constexpr DWORD kSnapshotModule = 8;  // the modules of one process

// A text field of a Tool Help record, up to its zero (or the whole field when
// none).
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  std::size_t length = 0;
  while (length < N && field[length] != '\0') ++length;
  return std::string(field, length);
}

class Win9xProcessControl : public ProcessWalker {
 public:
  bool Init() override {
    library_.Reset(LoadLibraryA("Kernel32.dll"));
    if (library_) {
      HMODULE lib = library_.Get();
      process32First_ = reinterpret_cast<ProcessWalkFn>(GetProcAddress(lib, "Process32First"));
      process32Next_ = reinterpret_cast<ProcessWalkFn>(GetProcAddress(lib, "Process32Next"));
      module32First_ = reinterpret_cast<ModuleWalkFn>(GetProcAddress(lib, "Module32First"));
      module32Next_ = reinterpret_cast<ModuleWalkFn>(GetProcAddress(lib, "Module32Next"));
      createSnapshot_ =
          reinterpret_cast<CreateSnapshotFn>(GetProcAddress(lib, "CreateToolhelp32Snapshot"));
      if (process32First_ && process32Next_ && module32First_ && module32Next_ && createSnapshot_) {
        return true;
      }
    }
    library_.Reset();
    process32First_ = process32Next_ = nullptr;
    module32First_ = module32Next_ = nullptr;
    createSnapshot_ = nullptr;
    return false;
  }

 protected:
  bool ListEntries(std::vector<ProcessEntry> &entries) override {
    entries.clear();
    GetSystemTimeAsFileTime(&listedAt_);
    UniqueKernelHandle snapshot(createSnapshot_(kSnapshotAll, 0));
    if (!snapshot) return false;
    const DWORD self = GetCurrentProcessId();
    PROCESSENTRY32 record{};
    record.dwSize = sizeof record;
    for (BOOL more = process32First_(snapshot.Get(), &record); more;
         more = process32Next_(snapshot.Get(), &record)) {
      if (record.th32ProcessID == self) continue;
      ProcessEntry entry;
      entry.id = record.th32ProcessID;
      entry.path = FieldText(record.szExeFile);
      // This family gives the full path here; where only the file name comes
      // back (as the NT family's Tool Help does), the program's own module
      // names the full path.
      if (FindChar(entry.path, '\\') == std::string::npos) {
        std::vector<std::string> modules;
        if (!ListModules(entry, modules) || modules.empty() || modules.front().empty()) continue;
        entry.path = modules.front();
      }
      entries.push_back(std::move(entry));
    }
    return true;
  }

  bool ListModules(const ProcessEntry &process, std::vector<std::string> &modules) override {
    modules.clear();
    UniqueKernelHandle snapshot(createSnapshot_(kSnapshotModule, process.id));
    if (!snapshot) return false;
    MODULEENTRY32 record{};
    record.dwSize = sizeof record;
    for (BOOL more = module32First_(snapshot.Get(), &record); more;
         more = module32Next_(snapshot.Get(), &record)) {
      modules.push_back(FieldText(record.szExePath));
    }
    return true;
  }

  // The list gives ids only: the process is opened once, when it matched, and kept until
  // it is ended. One started after the list was taken has reused the id and is not the
  // process that matched (where the system tells creation times; this family does not).
  UniqueKernelHandle TakeForEnding(ProcessEntry &entry) override {
    UniqueKernelHandle process(
        OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, entry.id));
    if (!process) process.Reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, entry.id));
    FILETIME created, exited, kernel, user;
    if (process && GetProcessTimes(process.Get(), &created, &exited, &kernel, &user) &&
        CompareFileTime(&created, &listedAt_) > 0) {
      return {};
    }
    return process;
  }

 private:
  FILETIME listedAt_{};
  UniqueModule library_;
  ProcessWalkFn process32First_ = nullptr;
  ProcessWalkFn process32Next_ = nullptr;
  ModuleWalkFn module32First_ = nullptr;
  ModuleWalkFn module32Next_ = nullptr;
  CreateSnapshotFn createSnapshot_ = nullptr;
};
}  // namespace

std::unique_ptr<ProcessControl> MakeWin9xProcessControl() {
  return std::make_unique<Win9xProcessControl>();
}
