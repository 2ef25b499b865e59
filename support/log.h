#pragma once
// The run log and the second log: one time-stamped line per event, the file opened and
// closed for every line, emptied when it has grown past its size limit (read from the
// registry at every line). Nothing here reports a failure to its caller.
#include <cstdarg>
#include <string>

#if defined(__GNUC__)
#define ORQ_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define ORQ_PRINTF(fmt, args)
#endif

constexpr int kLogLevelStatus = 1;
constexpr int kLogLevelError = 7;
constexpr const char* kDefaultLogName = "tevagent.log";
constexpr const char* kAgentLogName = "tevAgent.log";

// Which registry limit a log obeys.
enum class LogKind { Main, Agent };

// Stores the threshold and the main log's file name (cut to 259 bytes); returns the name.
std::string LogInit(int threshold, const std::string& fileName);
void LogStatus(const char* format, ...) ORQ_PRINTF(1, 2);
void LogError(const char* format, ...) ORQ_PRINTF(1, 2);
void AgentLog(const char* format, ...) ORQ_PRINTF(1, 2);
// Writes the line and the system's text of the last-error code; returns that code and
// leaves it as it was on entry.
unsigned long AgentLogLastError(const char* format, ...) ORQ_PRINTF(1, 2);
void WriteLogLine(LogKind kind, const std::string& fileName, const char* format, va_list args);
