// Native stand-in of the log's file work: the same line, appended to the file named.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "support/log_platform.h"

LogTimeStamp CurrentLogTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::string RunningProgramPath() {
  std::string path(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
  path.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  // Written as a Windows path, so the name field reads as it does on Windows.
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

unsigned long CurrentLogProcessId() { return static_cast<unsigned long>(getpid()); }

unsigned long SaveLastError() { return static_cast<unsigned long>(errno); }

void RestoreLastError(unsigned long code) { errno = static_cast<int>(code); }

void AppendLogLine(LogKind, const std::string& fileName, const std::string& line) {
  std::FILE* file = std::fopen(fileName.c_str(), "ab");
  if (!file) return;
  std::fwrite(line.data(), 1, line.size(), file);
  std::fclose(file);
}
