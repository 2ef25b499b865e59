#include "support/system_folders.h"

#include <windows.h>

namespace {
// Runs a (buffer, size) query into a buffer of `size` bytes; the result must leave room
// for its terminating zero.
template <typename Query>
std::string QueryPath(DWORD size, Query query) {
  std::string text(size, '\0');
  DWORD length = query(text.data(), size);
  text.resize(length != 0 && length < size ? length : 0);
  return text;
}
}  // namespace

std::string WindowsFolder() {
  return QueryPath(MAX_PATH, [](char* b, DWORD n) { return GetWindowsDirectoryA(b, n); });
}

std::string SystemFolder() {
  return QueryPath(MAX_PATH, [](char* b, DWORD n) { return GetSystemDirectoryA(b, n); });
}

std::string CurrentFolder() {
  return QueryPath(MAX_PATH, [](char* b, DWORD n) { return GetCurrentDirectoryA(n, b); });
}

// A temporary folder may fill MAX_PATH with its trailing backslash.
std::string TempFolder() {
  return QueryPath(MAX_PATH + 1, [](char* b, DWORD n) { return GetTempPathA(n, b); });
}

std::string ProgramFilePath() {
  return QueryPath(MAX_PATH, [](char* b, DWORD n) { return GetModuleFileNameA(nullptr, b, n); });
}

std::string FullPathOf(const std::string& path) {
  std::string full(MAX_PATH, '\0');
  for (;;) {
    const DWORD length =
        GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return {};
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length + 1);
  }
}
