#include "support/log.h"

#include "support/log_line.h"
#include "support/log_platform.h"
#include "support/mbcs.h"

namespace {
// Set once by the host before any other thread exists; only read afterwards.
struct MainLogSettings {
  int threshold = kLogLevelStatus;
  std::string fileName;  // empty: the main log is off
};

MainLogSettings& Settings() {
  static MainLogSettings settings;
  return settings;
}

void WriteMainLog(int level, const char* format, va_list args) {
  const MainLogSettings& settings = Settings();
  if (settings.fileName.empty() || level < settings.threshold) return;
  WriteLogLine(LogKind::Main, settings.fileName, format, args);
}
}  // namespace

std::string LogInit(int threshold, const std::string& fileName) {
  MainLogSettings& settings = Settings();
  settings.threshold = threshold;
  settings.fileName = std::string(CutToBytes(fileName, kLogPathSize - 1));
  return settings.fileName;
}

void LogStatus(const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteMainLog(kLogLevelStatus, format, args);
  va_end(args);
}

void LogError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteMainLog(kLogLevelError, format, args);
  va_end(args);
}

void AgentLog(const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteLogLine(LogKind::Agent, kAgentLogName, format, args);
  va_end(args);
}

void WriteLogLine(LogKind kind, const std::string& fileName, const char* format, va_list args) {
  // Callers log a failure and then read its code: the line must not change it.
  const unsigned long callerError = SaveLastError();
  LogTimeStamp time = CurrentLogTime();
  std::string message = FormatLogMessage(format, args);
  if (!message.empty()) {
    std::string line = ComposeLogLine(time, ProgramNameField(RunningProgramPath()),
                                      CurrentLogProcessId(), message);
    AppendLogLine(kind, fileName, line);
  }
  RestoreLastError(callerError);
}
