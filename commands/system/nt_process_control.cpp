// Process control on the NT family, through the process status functions of
// "PsApi.dll", loaded at run time.
#include <windows.h>

#include "commands/system/process_walk.h"
#include "support/win_handles.h"

namespace {
using EnumProcessesFn = BOOL(WINAPI *)(DWORD *, DWORD, DWORD *);
using EnumProcessModulesFn = BOOL(WINAPI *)(HANDLE, HMODULE *, DWORD, DWORD *);
using GetModuleFileNameExFn = DWORD(WINAPI *)(HANDLE, HMODULE, LPSTR, DWORD);

// The lists start with room for 1024 entries and grow while the system fills
// them, so a busy machine's later processes and modules are not missed.
constexpr std::size_t kFirstListCount = 1024;
constexpr std::size_t kLargestListCount = 65536;

template <typename Item, typename Fill>
bool ReadGrowingList(std::vector<Item> &items, Fill fill) {
  for (std::size_t count = kFirstListCount; count <= kLargestListCount; count *= 2) {
    items.assign(count, Item{});
    DWORD bytes = static_cast<DWORD>(count * sizeof(Item));
    DWORD needed = 0;
    if (!fill(items.data(), bytes, &needed)) return false;
    if (needed < bytes) {
      items.resize(needed / sizeof(Item));
      return true;
    }
  }
  return true;  // the largest list, full: as much as can be read
}

class NtProcessControl : public ProcessWalker {
 public:
  bool Init() override {
    library_.Reset(LoadLibraryA("PsApi.dll"));
    if (library_) {
      enumProcesses_ =
          reinterpret_cast<EnumProcessesFn>(GetProcAddress(library_.Get(), "EnumProcesses"));
      enumProcessModules_ = reinterpret_cast<EnumProcessModulesFn>(
          GetProcAddress(library_.Get(), "EnumProcessModules"));
      getModuleFileNameEx_ = reinterpret_cast<GetModuleFileNameExFn>(
          GetProcAddress(library_.Get(), "GetModuleFileNameExA"));
      if (enumProcesses_ && enumProcessModules_ && getModuleFileNameEx_) return true;
    }
    library_.Reset();
    enumProcesses_ = nullptr;
    enumProcessModules_ = nullptr;
    getModuleFileNameEx_ = nullptr;
    return false;
  }

 protected:
  bool ListEntries(std::vector<ProcessEntry> &entries) override {
    entries.clear();
    std::vector<DWORD> ids;
    if (!ReadGrowingList(ids, enumProcesses_)) return false;
    const DWORD self = GetCurrentProcessId();
    for (DWORD id : ids) {
      if (id == self) continue;
      // Opened once, with the rights to end it where they are granted: the handle read
      // from is the one a match is ended through.
      ProcessEntry entry;
      entry.id = id;
      entry.handle.Reset(OpenProcess(kReadRights | kEndRights, FALSE, id));
      entry.endable = static_cast<bool>(entry.handle);
      if (!entry.handle) entry.handle.Reset(OpenProcess(kReadRights, FALSE, id));
      HMODULE first = nullptr;
      DWORD needed = 0;
      if (!entry.handle ||
          !enumProcessModules_(entry.handle.Get(), &first, sizeof first, &needed) ||
          needed == 0 || !ModulePath(entry.handle.Get(), first, entry.path)) {
        continue;
      }
      entries.push_back(std::move(entry));
    }
    return true;
  }

  UniqueKernelHandle TakeForEnding(ProcessEntry &entry) override {
    // Only a handle opened with the rights to end the process is handed on.
    return entry.endable ? std::move(entry.handle) : UniqueKernelHandle();
  }

  bool ListModules(const ProcessEntry &process, std::vector<std::string> &modules) override {
    modules.clear();
    HANDLE handle = process.handle.Get();  // the listed process, not a new open by id
    if (!process.handle) return false;
    std::vector<HMODULE> list;
    auto fill = [&](HMODULE *items, DWORD bytes, DWORD *needed) {
      return enumProcessModules_(handle, items, bytes, needed);
    };
    if (!ReadGrowingList(list, fill)) return false;
    for (HMODULE module : list) {
      std::string path;
      ModulePath(handle, module, path);
      modules.push_back(std::move(path));
    }
    return true;
  }

 private:
  static constexpr DWORD kReadRights = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
  static constexpr DWORD kEndRights = SYNCHRONIZE | PROCESS_TERMINATE;

  // False (and `path` empty) when the name cannot be read or does not fit 260
  // bytes.
  bool ModulePath(HANDLE process, HMODULE module, std::string &path) const {
    path.assign(kProcessPathSize + 1, '\0');
    DWORD length =
        getModuleFileNameEx_(process, module, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length > 0 && length < kProcessPathSize ? length : 0);
    return !path.empty();
  }

  UniqueModule library_;
  EnumProcessesFn enumProcesses_ = nullptr;
  EnumProcessModulesFn enumProcessModules_ = nullptr;
  GetModuleFileNameExFn getModuleFileNameEx_ = nullptr;
};
}  // namespace

std::unique_ptr<ProcessControl> MakeNtProcessControl() {
  return std::make_unique<NtProcessControl>();
}
