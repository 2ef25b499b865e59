#include "support/log_line.h"

#include <algorithm>
#include <cstdio>

#include "support/mbcs.h"

namespace {
constexpr std::size_t kProgramFieldWidth = 8;

// `folder`, one backslash, `name`; empty when the result would break the path bound.
std::string JoinWithinPathBound(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '\\') path += '\\';
  path += name;
  return path.size() < kLogPathSize ? path : std::string();
}
}  // namespace

std::string FormatLogMessage(const char* format, va_list args) {
  if (format == nullptr) return {};
  std::string message(kLogTextSize, '\0');
  int length = std::vsnprintf(message.data(), message.size(), format, args);
  if (length <= 0) return {};
  message.resize(std::min<std::size_t>(static_cast<std::size_t>(length), kLogTextSize - 1));
  return message;
}

std::string ProgramNameField(std::string_view modulePath) {
  std::size_t slash = FindLastChar(modulePath, '\\');
  std::size_t start = slash == std::string_view::npos ? 0 : slash;
  std::size_t dot = FindChar(modulePath, '.', slash == std::string_view::npos ? 0 : slash + 1);
  std::size_t end = dot == std::string_view::npos ? modulePath.size() : dot;
  return std::string(modulePath.substr(start, end - start));
}

std::string ComposeLogLine(const LogTimeStamp& time, std::string_view programName,
                           unsigned long processId, std::string_view message) {
  // The fixed fields are short; only the name and the message can be long, and they are
  // appended rather than formatted so that no byte of them is taken for a format.
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d-%02d %02d:%02d:%02d ", time.month, time.day,
                time.hour, time.minute, time.second);
  char pid[24];
  std::snprintf(pid, sizeof pid, ":%03lx ", processId);

  std::string line = stamp;
  if (programName.size() < kProgramFieldWidth) {
    line.append(kProgramFieldWidth - programName.size(), ' ');
  }
  line.append(programName);
  line.append(pid);
  line.append(message);
  line.append("\r\n");
  if (line.size() > kLogTextSize - 1) line.resize(kLogTextSize - 1);
  return line;
}

std::string LogFilePath(std::string_view windowsDir, std::string_view fileName) {
  if (FindChar(fileName, '\\') != std::string_view::npos) {
    return fileName.size() < kLogPathSize ? std::string(fileName) : std::string();
  }
  return JoinWithinPathBound(windowsDir, fileName);
}

std::string LogFallbackPath(std::string_view tempDir, std::string_view fileName) {
  std::size_t slash = FindLastChar(fileName, '\\');
  std::string_view baseName =
      slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
  return JoinWithinPathBound(tempDir, baseName);
}
