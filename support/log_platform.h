#pragma once
// What the log writer needs from the operating system. The Windows build writes the log
// as the program's users know it; the native stand-in only appends the line to the file
// named, so that OS-free tests can read back what the engine logged.
#include <string>

#include "support/log.h"
#include "support/log_line.h"

LogTimeStamp CurrentLogTime();
// The full path of the running program file.
std::string RunningProgramPath();
unsigned long CurrentLogProcessId();
// The calling thread's last-error code (errno natively): a log line leaves it as it was.
unsigned long SaveLastError();
void RestoreLastError(unsigned long code);
// Appends one finished line to the log `fileName` of `kind`; failures are silent.
void AppendLogLine(LogKind kind, const std::string& fileName, const std::string& line);
