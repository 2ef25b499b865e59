// Test helper: reports how it was started, then lives a while and exits with a given code.
//
//   child_reporter.exe <report file> [exit code] [milliseconds] [anything else...]
//
// Writes four lines to the report file at once: its command line as received, its current
// folder, its start-up show command (or -1 when none was given), and its own program path.
// After the given milliseconds (default 0) it appends "ended" and exits with the code
// (default 0).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
void Append(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

std::string CurrentFolder() {
  std::string folder(MAX_PATH, '\0');
  folder.resize(GetCurrentDirectoryA(MAX_PATH, folder.data()));
  return folder;
}

std::string ProgramPath() {
  std::string path(MAX_PATH, '\0');
  path.resize(GetModuleFileNameA(nullptr, path.data(), MAX_PATH));
  return path;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string report = argv[1];
  const int exitCode = argc > 2 ? std::atoi(argv[2]) : 0;
  const DWORD lifeMs = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 0;

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  Append(report, std::string(GetCommandLineA()) + "\n" + CurrentFolder() + "\n" +
                     std::to_string(show) + "\n" + ProgramPath() + "\n");
  Sleep(lifeMs);
  Append(report, "ended\n");
  return exitCode;
}
