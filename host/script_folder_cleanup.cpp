#include "host/script_folder_cleanup.h"

#include <windows.h>

#include "commands/files/folder_guard.h"
#include "commands/files/path_routines.h"
#include "support/mbcs.h"
#include "support/system_folders.h"
#include "support/win_handles.h"

namespace {
// A link is removed as a link (as REMOVEDIRRECURSIVE removes one): what it points to is
// never walked.
void DeleteFolderTree(const std::string& folder) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAA entry;
    UniqueFindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &entry));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.Get(), &entry)) {
      const std::string name = entry.cFileName;
      const std::string child = folder + "\\" + name;
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(child.c_str());
      } else if (!name.empty() && name[0] != '.') {
        DeleteFolderTree(child);
      }
    }
  }
  RemoveEmptyFolder(folder);
}

// The folder's full path; empty when it cannot be made.
std::string ResolveFolder(const std::string& folder) {
  if (folder.empty()) return {};
  // The folder of "C:\setup.Orq" reads "C:": that is the drive's root, not the current
  // folder of drive C that the bare "C:" would resolve to.
  std::string full = FullPathOf(folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder);
  return full.size() < MAX_PATH ? full : std::string();
}
}  // namespace

bool IsProtectedFolder(const std::string& folder, const std::string& programFolder) {
  return IsGuardedFolder(ResolveFolder(folder), programFolder);
}

bool DeleteScriptFolder(const std::string& folder, const std::string& programFolder) {
  // Resolved once, so the folder checked is the folder deleted.
  const std::string full = ResolveFolder(folder);
  if (IsGuardedFolder(full, programFolder)) return false;
  DeleteFolderTree(std::string(WithoutTrailingChar(full, '\\')));
  return true;
}
