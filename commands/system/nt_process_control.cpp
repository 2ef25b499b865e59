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
      UniqueKernelHandle process = OpenForReading(id);
      if (!process) continue;
      HMODULE first = nullptr;
      DWORD needed = 0;
      if (!enumProcessModules_(process.Get(), &first, sizeof first, &needed) || needed == 0)
        continue;
      ProcessEntry entry;
      entry.id = id;
      if (ModulePath(process.Get(), first, entry.path)) entries.push_back(std::move(entry));
    }
    return true;
  }

  bool ListModules(const ProcessEntry &process, std::vector<std::string> &modules) override {
    modules.clear();
    UniqueKernelHandle handle = OpenForReading(process.id);
    if (!handle) return false;
    std::vector<HMODULE> list;
    auto fill = [&](HMODULE *items, DWORD bytes, DWORD *needed) {
      return enumProcessModules_(handle.Get(), items, bytes, needed);
    };
    if (!ReadGrowingList(list, fill)) return false;
    for (HMODULE module : list) {
      std::string path;
      ModulePath(handle.Get(), module, path);
      modules.push_back(std::move(path));
    }
    return true;
  }

 private:
  static UniqueKernelHandle OpenForReading(DWORD id) {
    return UniqueKernelHandle(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
  }

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
