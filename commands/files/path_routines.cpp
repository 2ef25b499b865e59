#include "commands/files/path_routines.h"

#include <windows.h>
// after windows.h
#include <aclapi.h>
#include <io.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "engine/errors.h"
#include "engine/mbcs.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/schedule_delete.h"
#include "support/system_folders.h"
#include "support/win_handles.h"
#include "support/windows_family.h"

namespace {
bool EndsWithBackslash(std::string_view text) {
  std::size_t last = FindLastChar(text, '\\');
  return last != std::string_view::npos && last + 1 == text.size();
}

bool TryCandidate(std::string folder, std::string_view name, std::size_t capacity,
                  std::string& found) {
  if (folder.empty() || !AppendPath(folder, capacity, name) || !IsExistingFile(folder)) {
    return false;
  }
  found = std::move(folder);
  return true;
}
}  // namespace

bool AppendPath(std::string& folder, std::size_t capacity, std::string_view name) {
  if (folder.size() + name.size() + 2 >= capacity) return false;
  bool folderEnds = EndsWithBackslash(folder);
  bool nameStarts = !name.empty() && name[0] == '\\';
  if (folderEnds && nameStarts) {
    folder.pop_back();
  } else if (!folderEnds && !nameStarts) {
    folder += '\\';
  }
  folder.append(name);
  return true;
}

bool IsExistingFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SearchFile(std::string_view workDir, std::string& path, std::size_t capacity) {
  if (path.empty() || path.size() + 1 > capacity) return false;
  // The name as given is made full: the profile functions look for a name without a
  // folder in the Windows folder, not in the current one where it was found.
  if (IsExistingFile(path)) {
    std::string full(capacity, '\0');
    DWORD length =
        GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length != 0 && length < full.size()) {
      full.resize(length);
      path = std::move(full);
      return true;
    }
  }

  std::string found;
  const std::string folders[] = {
      std::string(workDir),
      CurrentFolder(),
      WindowsFolder(),
      SystemFolder(),
  };
  for (const std::string& folder : folders) {
    if (TryCandidate(folder, path, capacity, found)) {
      path = std::move(found);
      return true;
    }
  }

  std::string searched(capacity, '\0');
  DWORD length = SearchPathA(nullptr, path.c_str(), nullptr, static_cast<DWORD>(searched.size()),
                             searched.data(), nullptr);
  if (length == 0 || length >= searched.size()) return false;
  searched.resize(length);
  // A folder on the search path is no file either.
  if (!IsExistingFile(searched)) return false;
  path = std::move(searched);
  return true;
}

namespace {
constexpr std::size_t kPathBufferSize = MAX_PATH;  // 259 bytes and the zero

// `folder` and `name` joined by one backslash into `out`; false when that would
// not fit a path buffer.
bool JoinEntry(const std::string& folder, const char* name, std::string& out) {
  std::size_t nameLength = std::strlen(name);
  bool folderEnds = EndsWithBackslash(folder);
  if (folder.size() + (folderEnds ? 0 : 1) + nameLength >= kPathBufferSize) return false;
  out = folder;
  if (!folderEnds) out += '\\';
  out.append(name, nameLength);
  return true;
}

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}
}  // namespace

bool CreatePath(const std::string& path) {
  if (path.empty() || path.size() >= kPathBufferSize) return false;
  std::string folders = path;
  if (!EndsWithBackslash(folders)) folders += '\\';
  for (std::size_t pos = 0; pos < folders.size(); pos += CharLength(folders, pos)) {
    if (folders[pos] == '\\' && pos > 3) {
      CreateDirectoryA(folders.substr(0, pos).c_str(), nullptr);
    }
  }
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFileFree(const std::string& path) {
  if (_access(path.c_str(), 0) != 0) return true;
  return _access(path.c_str(), 6) == 0;
}

void RemoveTree(const std::string& folder) {
  std::string pattern, entry;
  WIN32_FIND_DATAA found;
  if (JoinEntry(folder, "*.*", pattern)) {
    UniqueFindHandle find(FindFirstFileA(pattern.c_str(), &found));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.Get(), &found)) {
      if (IsDotEntry(found.cFileName) || !JoinEntry(folder, found.cFileName, entry)) continue;
      DWORD attributes = found.dwFileAttributes;
      if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
          RemoveTree(entry);
        } else if (!RemoveDirectoryA(entry.c_str()) &&
                   GetFileAttributesA(entry.c_str()) != INVALID_FILE_ATTRIBUTES) {
          ScheduleDelete(entry);  // the link only: what it points to is not ours
        }
      } else if (!DeleteFileA(entry.c_str()) && IsExistingFile(entry)) {
        // A read-only file is scheduled like any other that cannot go now, but without
        // the attribute: the deletion at the next start would fail on it and keep the
        // file, and the folders above it, for good.
        if (attributes & FILE_ATTRIBUTE_READONLY) {
          SetFileAttributesA(entry.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        }
        ScheduleDelete(entry);
      }
    }
  }
  if (!RemoveDirectoryA(folder.c_str()) &&
      GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES) {
    ScheduleDelete(folder);
  }
}

bool CreateOpenDirectory(const std::string& path) {
  if (IsWin9xFamily()) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES ||
           CreateDirectoryA(path.c_str(), nullptr);
  }
  // Looked up at run time, so that the program also starts where they are
  // missing.
  UniqueModule advapi(LoadLibraryA("Advapi32.dll"));
  if (!advapi) return false;
  auto find = [&](const char* name) { return GetProcAddress(advapi.Get(), name); };
  auto allocateSid =
      reinterpret_cast<decltype(&::AllocateAndInitializeSid)>(find("AllocateAndInitializeSid"));
  auto freeSid = reinterpret_cast<decltype(&::FreeSid)>(find("FreeSid"));
  auto setEntries = reinterpret_cast<decltype(&::SetEntriesInAclA)>(find("SetEntriesInAclA"));
  auto initDescriptor = reinterpret_cast<decltype(&::InitializeSecurityDescriptor)>(
      find("InitializeSecurityDescriptor"));
  auto setDacl =
      reinterpret_cast<decltype(&::SetSecurityDescriptorDacl)>(find("SetSecurityDescriptorDacl"));
  auto setFileSecurity = reinterpret_cast<decltype(&::SetFileSecurityA)>(find("SetFileSecurityA"));
  if (!allocateSid || !freeSid || !setEntries || !initDescriptor || !setDacl || !setFileSecurity) {
    return false;
  }

  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  if (!allocateSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) return false;
  EXPLICIT_ACCESS_A access{};
  access.grfAccessPermissions = GENERIC_ALL;
  access.grfAccessMode = SET_ACCESS;
  access.grfInheritance = NO_INHERITANCE;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = static_cast<LPSTR>(everyone);
  PACL list = nullptr;
  DWORD rc = setEntries(1, &access, nullptr, &list);
  UniqueLocalMemory listOwner(list);
  bool done = false;
  // The real structures, whatever their size in this build.
  SECURITY_DESCRIPTOR descriptor{};
  if (rc == ERROR_SUCCESS && initDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
      setDacl(&descriptor, TRUE, list, FALSE)) {
    SECURITY_ATTRIBUTES attributes{};
    attributes.nLength = sizeof attributes;
    attributes.lpSecurityDescriptor = &descriptor;
    attributes.bInheritHandle = FALSE;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      done = CreateDirectoryA(path.c_str(), &attributes) != FALSE;
    }
    // Also set on a folder just made: a system that derives a new folder's rights from
    // its own defaults (a creation mask) may not have kept the list given at creation.
    done = setFileSecurity(path.c_str(), DACL_SECURITY_INFORMATION, &descriptor) || done;
  }
  freeSid(everyone);
  return done;
}

namespace {
// The full, long form of a path without trailing backslashes ("C:\" gives
// "C:"), with a
// "\\?\" or "\\?\UNC\" prefix taken off; empty when it cannot be made.
std::string ComparableFolder(const std::string& path) {
  std::string full(32768, '\0');
  DWORD length =
      GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return {};
  full.resize(length);
  std::string longForm(32768, '\0');
  length = GetLongPathNameA(full.c_str(), longForm.data(), static_cast<DWORD>(longForm.size()));
  if (length != 0 && length < longForm.size()) {
    longForm.resize(length);
    full = std::move(longForm);
  }
  if (full.rfind("\\\\?\\UNC\\", 0) == 0) {
    full.erase(2, 6);
  } else if (full.rfind("\\\\?\\", 0) == 0 || full.rfind("\\\\.\\", 0) == 0) {
    full.erase(0, 4);
  }
  while (!full.empty() && EndsWithBackslash(full)) full.pop_back();
  return full;
}

bool SameText(std::string_view a, std::string_view b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

bool IsRootOrShare(const std::string& full) {
  if (full.size() <= 2) return true;  // "C:", or nothing left of "\\" or "\"
  if (full.rfind("\\\\", 0) != 0) return false;
  // "\\server\share": no third backslash after the two that begin it.
  std::size_t server = FindChar(full, '\\', 2);
  return server == std::string::npos || FindChar(full, '\\', server + 1) == std::string::npos;
}

std::vector<std::string> GuardedFolders() {
  std::vector<std::string> folders = {WindowsFolder(), SystemFolder()};
  const int kinds[] = {
      CSIDL_PROGRAM_FILES,           CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON,
      CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_SYSTEMX86,        CSIDL_WINDOWS};
  for (int kind : kinds) {
    std::string folder(MAX_PATH, '\0');
    if (SHGetFolderPathA(nullptr, kind, nullptr, SHGFP_TYPE_CURRENT, folder.data()) == S_OK) {
      folder.resize(std::strlen(folder.c_str()));
      folders.push_back(folder);
    }
  }
  for (std::string& folder : folders) folder = ComparableFolder(folder);
  return folders;
}
}  // namespace

bool IsGuardedFolder(const std::string& path) {
  std::string text = TrimmedCopy(path);
  // "C:" alone names the current folder of drive C, but a script writing it
  // means the drive.
  if (text.empty() || (text.size() == 2 && text[1] == ':')) return true;
  std::string full = ComparableFolder(text);
  if (full.empty() || IsRootOrShare(full)) return true;
  for (const std::string& guarded : GuardedFolders()) {
    if (guarded.empty()) continue;
    if (SameText(full, guarded)) return true;
    // A folder above a guarded one: its full path and a backslash begin the
    // guarded one.
    if (guarded.size() > full.size() && guarded[full.size()] == '\\' &&
        SameText(full, std::string_view(guarded).substr(0, full.size()))) {
      return true;
    }
  }
  return false;
}

unsigned ActedOnPath(const EngineContext& ctx, std::string_view argument, std::string& path) {
  if (unsigned rc = ExpandForAction(ctx, argument, path, kPathSize)) return rc;
  TrimText(path);
  return path.empty() ? static_cast<unsigned>(kErrInvalidSwitch) : 0u;
}
