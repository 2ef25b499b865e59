#pragma once
// What the file tests share: reading folders and pending deletions back, and a program
// that holds a file.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
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
