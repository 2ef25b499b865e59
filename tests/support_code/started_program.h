#pragma once
// Helper programs started from copies under paths a test chooses, so that process and
// module searches by path find exactly them. Ended (terminated if still running) when the
// owner goes out of scope.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "support/win_handles.h"
#include "support_code/win32_test_utils.h"

struct StartedProgram {
  UniqueKernelHandle process;
  bool Ended(DWORD waitMs = 0) const {
    return WaitForSingleObject(process.Get(), waitMs) == WAIT_OBJECT_0;
  }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    return code;
  }
  ~StartedProgram() {
    if (process && !Ended()) TerminateProcess(process.Get(), 99);
    if (process) WaitForSingleObject(process.Get(), 5000);
  }
};

// Copies the program `helper` from beside the tests to `path` (creating its folders) and
// starts it there with `arguments`.
inline std::unique_ptr<StartedProgram> StartProgramCopy(const std::string& helper,
                                                        const std::string& path,
                                                        const std::string& arguments) {
  auto started = std::make_unique<StartedProgram>();
  for (std::size_t cut = path.find('\\', 3); cut != std::string::npos;
       cut = path.find('\\', cut + 1)) {
    CreateDirectoryA(path.substr(0, cut).c_str(), nullptr);
  }
  EXPECT_TRUE(CopyFileA((TestBinDir() + "\\" + helper).c_str(), path.c_str(), FALSE)) << path;
  std::string commandLine = "\"" + path + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  EXPECT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &info))
      << commandLine;
  started->process.Reset(info.hProcess);
  UniqueKernelHandle thread(info.hThread);
  return started;
}

// A windowless program that lives for a minute.
inline std::unique_ptr<StartedProgram> StartIdleCopy(const std::string& path) {
  return StartProgramCopy("exit_after_delay.exe", path, "60000");
}
