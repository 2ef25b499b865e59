#pragma once
// What the file tests share: attributes and pending deletions read back, links and a small
// drive made on the Unix side.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "support_code/script_test.h"

inline bool HasAttribute(const std::string& path, DWORD attribute) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & attribute);
}
inline bool IsFolder(const std::string& path) {
  return HasAttribute(path, FILE_ATTRIBUTE_DIRECTORY);
}

// Whether the system's operations pending until the next start delete `path`: an old name
// "\??\C:\..." followed by an empty new name.
inline bool IsPending(const std::string& path) {
  std::string names = ReadRegistryValue(HKEY_LOCAL_MACHINE,
                                        "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                                        "PendingFileRenameOperations")
                          .second;
  std::string wanted = std::string(1, '\0') + "\\??\\" + path + std::string(2, '\0');
  names.insert(0, 1, '\0');
  for (std::string* text : {&names, &wanted}) CharLowerBuffA(text->data(), DWORD(text->size()));
  return names.find(wanted) != std::string::npos;
}

// The Unix folder of the Wine prefix (drive C is its drive_c), or empty.
inline std::string WinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  return prefix ? prefix : "";
}

// A "C:\..." path spelled through drive Z:, Wine's name for "/".
inline std::string ZSpellingOf(const std::string& cPath) {
  std::string z = "Z:" + WinePrefix() + "/drive_c" + cPath.substr(2);
  for (char& c : z) c = c == '/' ? '\\' : c;
  return z;
}

// A link made on the Unix side (Wine's own CreateSymbolicLinkA makes nothing): `link` is a
// "C:\..." path, `target` a Unix path. A symbolic link must then show as a reparse point.
inline void MakeUnixLink(const std::string& target, const std::string& link, bool hard = false) {
  ASSERT_EQ(RunUnixShell((hard ? "ln '" : "ln -sfn '") + target + "' '" + UnixPath(link) + "'"), 0)
      << link;
  ASSERT_TRUE(hard || HasAttribute(link, FILE_ATTRIBUTE_REPARSE_POINT)) << link << " is no link";
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
