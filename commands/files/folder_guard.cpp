#include "commands/files/folder_guard.h"

#include <windows.h>
// after windows.h
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "engine/text_args.h"
#include "support/mbcs.h"
#include "support/system_folders.h"
#include "support/win_handles.h"

namespace {
constexpr std::size_t kLongPathBuffer = 32768;

bool EndsWithBackslash(std::string_view text) {
  std::size_t last = FindLastChar(text, '\\');
  return last != std::string_view::npos && last + 1 == text.size();
}

// "\\?\C:\x" gives "C:\x", "\\?\UNC\server\share" gives "\\server\share".
std::string WithoutLongPrefix(std::string path) {
  if (path.rfind("\\\\?\\UNC\\", 0) == 0) {
    path.erase(2, 6);
  } else if (path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0) {
    path.erase(0, 4);
  }
  return path;
}

// The full, long form of a path without trailing backslashes ("C:\" gives "C:"); empty
// when it cannot be made.
std::string ComparableFolder(const std::string& path) {
  std::string full = FullPathOf(path);
  if (full.empty() || full.size() >= kLongPathBuffer) return {};
  std::string longForm(kLongPathBuffer, '\0');
  DWORD length =
      GetLongPathNameA(full.c_str(), longForm.data(), static_cast<DWORD>(longForm.size()));
  if (length != 0 && length < longForm.size()) {
    longForm.resize(length);
    full = std::move(longForm);
  }
  full = WithoutLongPrefix(std::move(full));
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

// What a folder is, whatever its name: the volume and the file index of what the name
// opens (links followed).
struct FolderId {
  DWORD volume = 0, high = 0, low = 0;
  bool operator==(const FolderId& o) const {
    return volume == o.volume && high == o.high && low == o.low;
  }
};

UniqueKernelHandle OpenFolder(const std::string& path) {
  return UniqueKernelHandle(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
}

bool IdOf(HANDLE folder, FolderId& id) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(folder, &info)) return false;
  id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  return true;
}

// The final path of an open file (links resolved), looked up at run time: the function
// is missing before Windows Vista. Empty when it cannot be had.
std::string FinalPath(HANDLE file, DWORD flags) {
  using FinalPathFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
  static const auto finalPath = reinterpret_cast<FinalPathFn>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA"));
  if (!finalPath) return {};
  std::string path(kLongPathBuffer, '\0');
  DWORD length = finalPath(file, path.data(), static_cast<DWORD>(path.size()), flags);
  if (length == 0 || length >= path.size()) return {};
  path.resize(length);
  return path;
}

std::vector<std::string> GuardedFolders(const std::string& alsoGuarded) {
  std::vector<std::string> folders = {WindowsFolder(), SystemFolder(), alsoGuarded};
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

bool IsGuardedText(const std::string& full, const std::vector<std::string>& guardedFolders) {
  for (const std::string& guarded : guardedFolders) {
    if (guarded.empty()) continue;
    if (SameText(full, guarded)) return true;
    // A folder above a guarded one: its full path and a backslash begin the guarded one.
    if (guarded.size() > full.size() && guarded[full.size()] == '\\' &&
        SameText(full, std::string_view(guarded).substr(0, full.size()))) {
      return true;
    }
  }
  return false;
}

// The identities of every guarded folder and of each folder above it, found from where the
// folder really lies (its final path) when that can be had, and the roots of the fixed
// drives.
std::vector<FolderId> GuardedIds(const std::vector<std::string>& guardedFolders) {
  std::vector<FolderId> ids;
  auto add = [&](const std::string& path) {
    UniqueKernelHandle folder = OpenFolder(path);
    FolderId id;
    if (folder && IdOf(folder.Get(), id)) ids.push_back(id);
  };
  for (const std::string& guarded : guardedFolders) {
    if (guarded.empty()) continue;
    std::string real = guarded;
    if (UniqueKernelHandle folder = OpenFolder(guarded)) {
      std::string final = WithoutLongPrefix(FinalPath(folder.Get(), 0));
      if (!final.empty()) real = final;
    }
    add(guarded);
    for (std::size_t cut = FindLastChar(real, '\\'); cut != std::string::npos && cut > 0;
         cut = FindLastChar(std::string_view(real).substr(0, cut), '\\')) {
      add(real.substr(0, cut) + (cut == 2 && real[1] == ':' ? "\\" : ""));
    }
  }
  DWORD drives = GetLogicalDrives();
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (!(drives & (1u << (letter - 'A')))) continue;
    const std::string root = std::string(1, letter) + ":\\";
    UINT type = GetDriveTypeA(root.c_str());
    if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) add(root);
  }
  return ids;
}
}  // namespace

bool IsGuardedFolder(const std::string& path, const std::string& alsoGuarded) {
  std::string text = TrimmedCopy(path);
  // "C:" alone names the current folder of drive C, but a script writing it means the drive.
  if (text.empty() || (text.size() == 2 && text[1] == ':')) return true;
  std::string full = ComparableFolder(text);
  if (full.empty() || IsRootOrShare(full)) return true;
  const std::vector<std::string> guardedFolders = GuardedFolders(alsoGuarded);
  if (IsGuardedText(full, guardedFolders)) return true;

  UniqueKernelHandle folder = OpenFolder(text);
  FolderId id;
  if (!folder || !IdOf(folder.Get(), id)) {
    // Nothing there is nothing to protect; a folder that is there but cannot be looked at
    // is not risked, except where folders cannot be opened at all (95/98/Me family), which
    // has no links and so no other names than those the full path covers.
    DWORD attributes = GetFileAttributesA(text.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  }
  // The root of any volume, also one without a drive letter: its path on its volume is "\".
  if (FinalPath(folder.Get(), VOLUME_NAME_NONE) == "\\") return true;
  for (const FolderId& guarded : GuardedIds(guardedFolders)) {
    if (guarded == id) return true;
  }
  return false;
}

bool IsReachedThroughLink(const std::string& path) {
  std::string full = ComparableFolder(path);
  if (full.empty()) return true;
  // Every folder on the way and the path itself; the drive or server part is passed over.
  for (std::size_t cut = FindChar(full, '\\', 3);; cut = FindChar(full, '\\', cut + 1)) {
    DWORD attributes = GetFileAttributesA(full.substr(0, cut).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      return true;
    }
    if (cut == std::string::npos) return false;
  }
}
