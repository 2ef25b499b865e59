#pragma once
// What the file tests share: reading folders and pending deletions back, and a program
// that holds a file.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support_code/script_test.h"

inline bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The system's list of file operations pending until the next start: the paths to delete
// (an old name followed by an empty new name), as "C:\..." without the "\??\" prefix.
inline std::vector<std::string> PendingDeletions() {
  std::string names =
      ReadRegistryValue(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                        "PendingFileRenameOperations")
          .second;
  std::vector<std::string> parts, deletions;  // old name, new name, ...; no new name: deleted
  for (std::size_t at = 0, end; at < names.size(); at = end + 1) {
    end = std::min(names.find('\0', at), names.size());
    parts.push_back(names.substr(at, end - at));
  }
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i + 1].empty())
      deletions.push_back(parts[i].substr(parts[i].rfind("\\??\\", 0) ? 0 : 4));
  }
  return deletions;
}

// The file holder keeps `path` open with no sharing for `ms` milliseconds.
inline UniqueKernelHandle HoldFile(const std::string& path, DWORD ms) {
  std::string event =
      "OrqFileHeld" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
  return StartProgram("\"" + TestBinDir() + "\\file_holder.exe\" open \"" + path + "\" 0 " +
                          std::to_string(ms) + " " + event,
                      event.c_str());
}

inline bool IsPending(const std::string& path) {
  std::vector<std::string> pending = PendingDeletions();
  return std::any_of(pending.begin(), pending.end(), [&](const std::string& name) {
    return lstrcmpiA(name.c_str(), path.c_str()) == 0;
  });
}

inline std::string ShortName(const std::string& path) {
  std::string shortName(MAX_PATH, '\0');
  shortName.resize(GetShortPathNameA(path.c_str(), shortName.data(), MAX_PATH));
  return shortName;
}

// The Unix folder of the Wine prefix (drive C is its drive_c), or empty.
inline std::string WinePrefix() {
  char prefix[MAX_PATH] = {};
  DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  return length && length < sizeof prefix ? std::string(prefix, length) : std::string();
}

// The Unix path of a "C:\..." path.
inline std::string UnixPathOf(const std::string& cPath) {
  std::string unix = WinePrefix() + "/drive_c" + cPath.substr(2);
  for (char& c : unix) c = c == '\\' ? '/' : c;
  return unix;
}

// The same folder by drive Z:, Wine's name for "/": "Z:\<prefix>\drive_c\...".
inline std::string ZSpellingOf(const std::string& cPath) {
  std::string path = "Z:" + UnixPathOf(cPath);
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

inline bool IsLinkOnDisk(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A link made on the Unix side (Wine's own CreateSymbolicLinkA makes nothing): `link` is a
// "C:\..." path, `target` a Unix path. A symbolic link must then show as a reparse point.
inline void MakeUnixLink(const std::string& target, const std::string& link, bool hard = false) {
  ASSERT_EQ(RunUnixShell(std::string(hard ? "ln " : "ln -sfn ") + target + " " + UnixPathOf(link)),
            0)
      << link;
  if (!hard) {
    ASSERT_TRUE(IsLinkOnDisk(link)) << link << " is no link";
  }
}

// A tmpfs of 256 KB linked as drive `letter` of the prefix, for as long as the object
// lives: a 1 MB file does not fit on it (error 112).
struct SmallDrive {
  explicit SmallDrive(char letter)
      : mountPoint("/tmp/orq_small_drive_" + std::string(1, letter) + "_" +
                   std::to_string(GetCurrentProcessId())),
        link(WinePrefix() + "/dosdevices/" + std::string(1, letter) + ":") {
    mounted = !WinePrefix().empty() &&
              RunUnixShell("mkdir -p " + mountPoint + " && mount -t tmpfs -o size=256k tmpfs " +
                           mountPoint + " && ln -sfn " + mountPoint + " " + link) == 0;
  }
  ~SmallDrive() {
    RunUnixShell("rm -f " + link + "; umount " + mountPoint + "; rmdir " + mountPoint);
  }
  std::string mountPoint, link;
  bool mounted = false;
};
