#pragma once
// The OS-free half of the log writer: the message and line formats, the program-name field
// and the file paths a line may go to. The platform half (log_platform.h) supplies the
// clock, the program path and the file itself.
#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

// The message and the whole line are each built in a buffer of this size: at most
// 3071 bytes survive.
constexpr std::size_t kLogTextSize = 3072;
// Log paths obey the path bound: at most 259 bytes.
constexpr std::size_t kLogPathSize = 260;

struct LogTimeStamp {
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The caller's message, cut to 3071 bytes. Empty for an empty result, a null format or a
// formatting failure: an empty message writes no line.
std::string FormatLogMessage(const char* format, va_list args);

// "\name" from a program path: from its last backslash on, cut at the first "." after it.
// A path without any backslash gives the whole path up to its first ".".
std::string ProgramNameField(std::string_view modulePath);

// "MM-DD hh:mm:ss <name right-aligned in 8>:<pid, 3 hex digits> <message>\r\n", cut to
// 3071 bytes (a line cut there loses its line end).
std::string ComposeLogLine(const LogTimeStamp& time, std::string_view programName,
                           unsigned long processId, std::string_view message);

// The file a log name refers to: a name without a backslash lives in the Windows
// directory, any other name is used as it is. Empty when the result would not fit the
// 259-byte path bound: such a path is never opened, rather than cut to another file's name.
std::string LogFilePath(std::string_view windowsDir, std::string_view fileName);

// The copy in the temporary folder used when the log itself cannot be opened: the temp
// folder and the name's part after its last backslash. Empty when it would exceed 259 bytes.
std::string LogFallbackPath(std::string_view tempDir, std::string_view fileName);
