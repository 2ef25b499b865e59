#include <windows.h>

#include <cctype>

#include "support/exception.h"
#include "support/file_name.h"
#include "support/ini_document.h"
#include "support/log.h"
#include "support/system_folders.h"
#include "support/windows_family.h"

namespace {
constexpr DWORD kShortPathBufferSize = 259;
}  // namespace

bool CFileName::Exists() const {
  return !path_.empty() && GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CFileName::IsDirectory() const {
  DWORD attributes = path_.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path_.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  bool bareDrive = (path_.size() == 2 || path_.size() == 3) && path_[1] == ':' &&
                   std::isalpha(static_cast<unsigned char>(path_[0]));
  return bareDrive && (path_.size() == 2 || path_[2] == '\\' || path_[2] == '/');
}

bool CFileName::MakeShortPath() {
  if (path_.empty()) return false;
  std::string kept = path_;
  try {
    std::string pattern;
    bool wildcards = HasWildcards();
    if (wildcards) {
      GetLastComponent(pattern);
      RemoveLastComponent();
    }
    std::string shortPath(kShortPathBufferSize, '\0');
    DWORD length = GetShortPathNameA(path_.c_str(), shortPath.data(), kShortPathBufferSize);
    // A length at or above the buffer is the size the short form would need: it
    // did not fit, and nothing usable was written.
    if (length == 0 || length >= kShortPathBufferSize) {
      path_ = std::move(kept);
      return false;
    }
    shortPath.resize(length);
    path_ = std::move(shortPath);
    if (wildcards) Append(pattern.c_str());
    return true;
  } catch (const CException&) {
    path_ = std::move(kept);
    return false;
  }
}

bool CFileName::Delete() const {
  if (path_.empty()) {
    AgentLog("CFileName::Delete(): Attempt to delete undefined file");
    return false;
  }
  if (DeleteFileA(path_.c_str())) return true;
  AgentLogLastError("Failed to delete file %s", path_.c_str());
  return false;
}

bool CFileName::DeleteOnReboot() {
  if (path_.empty()) return false;
  if (!IsWin9xFamily()) {
    return MoveFileExA(path_.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
  }
  // The 95/98/Me family reads "WinInit.Ini" at its start: files as NUL=<short
  // path> in [rename], folders as <short path>=1 in [DIRNUL]. The path is made
  // full first (a relative one would be read against the system's folder then);
  // a path without a short form is written as it is.
  const std::string full = FullPathOf(path_);
  if (full.empty() || full.size() >= MAX_PATH) return false;
  Set(full);
  MakeShortPath();
  std::string windows = WindowsFolder();
  if (windows.empty()) return false;
  CFileName control(windows);
  control.Append("WinInit.Ini");
  CIniDocument document;
  if (!document.Load(control.Path())) return false;
  bool folder = IsDirectory();
  const char* sectionName = folder ? "DIRNUL" : "rename";
  std::shared_ptr<CIniSection> section = document.LookupSection(sectionName);
  if (!section) section = document.AddSection(sectionName);
  if (!section) return false;
  if (folder) {
    section->AddEntry(path_, 1u);
  } else {
    section->AddEntry("NUL", path_);
  }
  section.reset();
  return document.Save();
}
