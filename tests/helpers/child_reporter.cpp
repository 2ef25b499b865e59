// Test helper: child_reporter.exe <report file> [exit code] [milliseconds] [anything else...]
// reports how it was started (command line, folder, show command or -1, program path), then
// after the milliseconds appends "ended" and exits with the code.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  char folder[MAX_PATH] = {}, program[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::ofstream(argv[1], std::ios::app | std::ios::binary)
      << GetCommandLineA() << "\n" << folder << "\n" << show << "\n" << program << "\n";
  Sleep(argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 0);
  std::ofstream(argv[1], std::ios::app | std::ios::binary) << "ended\n";
  return argc > 2 ? std::atoi(argv[2]) : 0;
}
