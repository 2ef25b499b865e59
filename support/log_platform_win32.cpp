// The log's file work on Windows: the Windows-directory rule, the temp-folder copy, the
// registry size limit read at every line, and one open/append/close per line.
#include <windows.h>

#include "support/log_platform.h"
#include "support/system_folders.h"
#include "support/win_handles.h"

namespace {
constexpr const char* kAgentKeyPath = "SOFTWARE\\Tevlin\\Agent";
constexpr DWORD kDefaultLogLimit = 2u * 1024u * 1024u;
constexpr DWORD kBytesPerMegabyte = 1024u * 1024u;

UniqueKernelHandle OpenForAppend(const std::string& path) {
  if (path.empty()) return UniqueKernelHandle();
  return UniqueKernelHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The limit in bytes, read afresh for every line so that a change applies at once.
// The main log's value counts megabytes; the product is taken in 32 bits, as stored.
DWORD ReadSizeLimit(LogKind kind) {
  UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAgentKeyPath, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
    return kDefaultLogLimit;
  }
  const char* valueName = kind == LogKind::Main ? "dwMaxLogfileSize" : "dwMaxLog2fileSize";
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExA(key.Get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS) {
    return kDefaultLogLimit;
  }
  return kind == LogKind::Main ? value * kBytesPerMegabyte : value;
}

void EmptyWhenPastLimit(HANDLE file, LogKind kind) {
  DWORD size = GetFileSize(file, nullptr);
  if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return;
  if (size > ReadSizeLimit(kind)) {
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
  }
}
}  // namespace

LogTimeStamp CurrentLogTime() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string RunningProgramPath() { return ProgramFilePath(); }

unsigned long CurrentLogProcessId() { return GetCurrentProcessId(); }

unsigned long SaveLastError() { return GetLastError(); }

void RestoreLastError(unsigned long code) { SetLastError(code); }

void AppendLogLine(LogKind kind, const std::string& fileName, const std::string& line) {
  UniqueKernelHandle file = OpenForAppend(LogFilePath(WindowsFolder(), fileName));
  if (!file) file = OpenForAppend(LogFallbackPath(TempFolder(), fileName));
  if (file) {
    EmptyWhenPastLimit(file.Get(), kind);
    SetFilePointer(file.Get(), 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
}
