#include <windows.h>

#include "support/log.h"
#include "support/win_handles.h"

namespace {
// Allocate the buffer, take the text from the system, ignore inserts.
constexpr DWORD kSystemTextFlags = 0x1300;
constexpr DWORD kNeutralLanguage = 0x400;
}  // namespace

unsigned long AgentLogLastError(const char* format, ...) {
  const DWORD error = GetLastError();
  va_list args;
  va_start(args, format);
  WriteLogLine(LogKind::Agent, kAgentLogName, format, args);
  va_end(args);

  char* text = nullptr;
  DWORD length = FormatMessageA(kSystemTextFlags, nullptr, error, kNeutralLanguage,
                                reinterpret_cast<char*>(&text), 0, nullptr);
  UniqueLocalMemory owner(text);
  if (length != 0 && text != nullptr) {
    AgentLog("GetLastError returned %d[%xh] : %s", static_cast<int>(error),
             static_cast<unsigned>(error), text);
  } else {
    AgentLog("GetLastError returned %d[%xh] : error in FormatMessage %d", static_cast<int>(error),
             static_cast<unsigned>(error), static_cast<int>(GetLastError()));
  }
  owner.Reset();
  if (GetLastError() != error) SetLastError(error);
  return error;
}
