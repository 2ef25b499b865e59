// The OS-free build's stand-ins for the file-name object's system operations:
// the same meaning on a POSIX file system, without a short form and without
// deferred deletion.
#include <sys/stat.h>
#include <unistd.h>

#include "support/file_name.h"
#include "support/log.h"

bool CFileName::Exists() const {
  struct stat info;
  return !path_.empty() && stat(path_.c_str(), &info) == 0;
}

bool CFileName::IsDirectory() const {
  struct stat info;
  return !path_.empty() && stat(path_.c_str(), &info) == 0 &&
         S_ISDIR(info.st_mode);
}

bool CFileName::MakeShortPath() { return false; }

bool CFileName::Delete() const {
  if (path_.empty()) {
    AgentLog("CFileName::Delete(): Attempt to delete undefined file");
    return false;
  }
  if (unlink(path_.c_str()) == 0)
    return true;
  AgentLog("Failed to delete file %s", path_.c_str());
  return false;
}

bool CFileName::DeleteOnReboot() { return false; }
