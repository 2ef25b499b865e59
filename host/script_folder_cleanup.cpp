#include "host/script_folder_cleanup.h"

#include <windows.h>

#include "support/mbcs.h"
#include "support/system_folders.h"
#include "support/win_handles.h"

namespace {
std::string FullPath(const std::string& path) {
  std::string full = FullPathOf(path);
  if (full.empty() || full.size() >= MAX_PATH) return {};
  std::string longForm(MAX_PATH, '\0');
  DWORD n = GetLongPathNameA(full.c_str(), longForm.data(), MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    longForm.resize(n);
    return longForm;
  }
  return full;
}

// Full path for comparison: upper case, no trailing backslash.
std::string ComparableForm(const std::string& path) {
  std::string full(WithoutTrailingChar(path, '\\'));
  if (!full.empty()) CharUpperBuffA(full.data(), static_cast<DWORD>(full.size()));
  return full;
}

// `ancestor` is `path` or a folder above it.
bool IsSameOrAbove(const std::string& ancestor, const std::string& path) {
  if (ancestor.empty() || path.compare(0, ancestor.size(), ancestor) != 0) return false;
  return path.size() == ancestor.size() || path[ancestor.size()] == '\\';
}

void DeleteFolderTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  UniqueFindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &entry));
  if (find) {
    do {
      const std::string name = entry.cFileName;
      const std::string child = folder + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (name.empty() || name[0] == '.') continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
          RemoveDirectoryA(child.c_str());  // the link only, not what it points to
        } else {
          DeleteFolderTree(child);
        }
      } else {
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(find.Get(), &entry));
  }
  find.Reset();
  RemoveDirectoryA(folder.c_str());
}

// The folder's full path; empty when it cannot be made.
std::string ResolveFolder(const std::string& folder) {
  if (folder.empty()) return {};
  // The folder of "C:\setup.Orq" reads "C:": that is the drive's root, not the current
  // folder of drive C that the bare "C:" would resolve to.
  if (folder.size() == 2 && folder[1] == ':') return FullPath(folder + "\\");
  return FullPath(folder);
}

bool IsProtectedFullPath(const std::string& full, const std::string& programFolder) {
  if (full.empty() || PathIsRootA(full.c_str())) return true;
  const std::string target = ComparableForm(full);
  if (target.size() <= 2) return true;  // "C:" or nothing left
  for (const std::string& guarded : {WindowsFolder(), programFolder}) {
    if (guarded.empty()) continue;
    std::string guardedFull = FullPath(guarded);
    if (IsSameOrAbove(target, ComparableForm(guardedFull.empty() ? guarded : guardedFull))) {
      return true;
    }
  }
  return false;
}
}  // namespace

bool IsProtectedFolder(const std::string& folder, const std::string& programFolder) {
  return IsProtectedFullPath(ResolveFolder(folder), programFolder);
}

bool DeleteScriptFolder(const std::string& folder, const std::string& programFolder) {
  // Resolved once, so the folder checked is the folder deleted.
  std::string full = ResolveFolder(folder);
  if (IsProtectedFullPath(full, programFolder)) return false;
  DeleteFolderTree(std::string(WithoutTrailingChar(full, '\\')));
  return true;
}
