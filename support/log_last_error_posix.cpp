// Native stand-in: errno takes the place of the thread's last-error code.
#include <cerrno>
#include <cstring>

#include "support/log.h"

unsigned long AgentLogLastError(const char* format, ...) {
  int error = errno;
  va_list args;
  va_start(args, format);
  WriteLogLine(LogKind::Agent, kAgentLogName, format, args);
  va_end(args);
  AgentLog("GetLastError returned %d[%xh] : %s", error, static_cast<unsigned>(error),
           std::strerror(error));
  errno = error;
  return static_cast<unsigned long>(error);
}
