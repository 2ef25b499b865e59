#pragma once
// What every benchmark needs: the median of its samples, files to work on, programs to run.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/win_handles.h"

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  UniqueKernelHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Starts the command line (in `folder` when given) and waits for it to end: its exit code,
// or -1 when it could not be started.
inline long RunAndWait(const std::string& commandLine, const char* folder = nullptr,
                       DWORD creationFlags = 0) {
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                      folder, &startup, &info)) {
    return -1;
  }
  UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  WaitForSingleObject(process.Get(), INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.Get(), &code);
  return static_cast<long>(code);
}
