#include "commands/files/path_routines.h"

#include <windows.h>
// after windows.h
#include <aclapi.h>
#include <io.h>

#include <cstring>
#include <vector>

#include "commands/files/path_form_parse.h"
#include "engine/errors.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/file_attributes.h"
#include "support/log.h"
#include "support/mbcs.h"
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
    std::string full = FullPathOf(path);
    if (!full.empty() && full.size() < capacity) {
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

namespace {
bool IsLink(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Clears the read-only attribute before a deletion at the next start is asked for, which
// would fail on it and keep the entry (and the folders above it) for good. Not on a file
// with other names, whose attribute would change for them too.
void ClearReadOnly(const std::string& path, DWORD attributes) {
  if ((attributes & FILE_ATTRIBUTE_READONLY) && !HasOtherNames(path)) {
    SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
}

// Removes a junction or symbolic link itself, never what it points to: the link is opened
// as a link and deleted through that handle only when the handle is the link (a system
// that opens the target instead, as Wine does for a Unix link, would otherwise delete an
// empty target folder). A link that cannot be removed that way stays, with a log line.
void RemoveLink(const std::string& path, DWORD attributes) {
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && DeleteFileA(path.c_str())) return;
  // Looked up at run time: without it (before Windows Vista), RemoveDirectoryA removes a
  // junction itself.
  using GetInfoFn = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
  const auto getInfo = reinterpret_cast<GetInfoFn>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFileInformationByHandleEx"));
  if (!getInfo) {
    if (RemoveDirectoryA(path.c_str())) return;
  } else {
    UniqueKernelHandle link(CreateFileA(
        path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (link && getInfo(link.Get(), FileAttributeTagInfo, &tag, sizeof tag) &&
        (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && RemoveOnClose(link.Get())) {
      return;
    }
  }
  LogStatus("Link kept: %s (it cannot be removed apart from what it points to)", path.c_str());
}

// The depth-first walk of RemoveTree for a folder that is not a link; false when something
// that cannot go now could not be scheduled either.
bool RemoveFolderTree(const std::string& folder) {
  bool scheduled = true;
  std::string pattern, entry;
  WIN32_FIND_DATAA found;
  if (JoinEntry(folder, "*.*", pattern)) {
    UniqueFindHandle find(FindFirstFileA(pattern.c_str(), &found));
    for (bool more = static_cast<bool>(find); more; more = FindNextFileA(find.Get(), &found)) {
      if (IsDotEntry(found.cFileName) || !JoinEntry(folder, found.cFileName, entry)) continue;
      DWORD attributes = found.dwFileAttributes;
      if (IsLink(attributes)) {
        RemoveLink(entry, attributes);
      } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        scheduled = RemoveFolderTree(entry) && scheduled;
      } else if (!DeleteFileA(entry.c_str()) && IsExistingFile(entry)) {
        ClearReadOnly(entry, attributes);
        scheduled = ScheduleDelete(entry) && scheduled;
      }
    }
  }
  if (!RemoveDirectoryA(folder.c_str())) {
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      ClearReadOnly(folder, attributes);
      scheduled = ScheduleDelete(folder) && scheduled;
    }
  }
  return scheduled;
}
}  // namespace

bool HasOtherNames(const std::string& path) {
  UniqueKernelHandle file = OpenForAttributes(path);
  BY_HANDLE_FILE_INFORMATION info;
  return !file || !GetFileInformationByHandle(file.Get(), &info) || info.nNumberOfLinks > 1;
}

void RemoveEmptyFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (IsLink(attributes)) {
    RemoveLink(path, attributes);
  } else {
    RemoveDirectoryA(path.c_str());
  }
}

bool RemoveTree(const std::string& folder) {
  // Full names from the start: what is scheduled must not depend on the current folder at
  // the next start of Windows.
  const std::string full = FullPathOf(folder);
  if (full.empty() || full.size() >= kPathBufferSize) return true;  // nothing that fits is named
  DWORD attributes = GetFileAttributesA(full.c_str());
  if (IsLink(attributes)) {
    RemoveLink(full, attributes);
    return true;
  }
  return RemoveFolderTree(full);
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

unsigned ActedOnPath(const EngineContext& ctx, std::string_view argument, std::string& path) {
  if (unsigned rc = ExpandForAction(ctx, argument, path, kPathSize)) return rc;
  return TakeActedOnPath(path);
}
