// What RUNWAIT costs per started program under Wine, beyond the start itself.
// Prints:
//   BENCH run_wait_overhead_ms <value> ms   a script of RUNWAIT lines, each
//   starting a
//                                           child that exits at once, per line,
//                                           minus a bare CreateProcessA +
//                                           WaitForSingleObject of the same
//                                           child, minus the 500 ms pause every
//                                           run command makes after its program
//                                           (measured on its own as
//                                           SleepWithMessages(500))
// The figure is the median of several rounds; stderr shows each part of every
// round.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands/interaction/message_waits.h"
#include "engine/runner.h"
#include "host/command_families.h"
#include "support/log.h"
#include "support/win_handles.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kStartsPerRound = 10;
constexpr int kRounds = 5;
constexpr const char *kChild = "exit_after_delay.exe";

std::string ProgramFolder() {
  std::string path(MAX_PATH, '\0');
  path.resize(GetModuleFileNameA(nullptr, path.data(), MAX_PATH));
  return path.substr(0, path.find_last_of('\\'));
}

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Milliseconds per start of CreateProcessA and a wait for the end, shown like
// RUNWAIT.
double BareStarts(const std::string &commandLine) {
  auto start = Clock::now();
  for (int i = 0; i < kStartsPerRound; ++i) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWDEFAULT;
    PROCESS_INFORMATION started{};
    std::string writable = commandLine;
    if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
      std::fprintf(stderr, "cannot start %s\n", commandLine.c_str());
      std::exit(1);
    }
    UniqueKernelHandle process(started.hProcess), thread(started.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
  }
  return MillisecondsSince(start) / kStartsPerRound;
}

double EngineStarts(const std::string &script, const std::string &folder) {
  auto start = Clock::now();
  unsigned status = ExecuteScript(script, "DefaultInstall", folder, BuildHandlerTable());
  if (status != 0) std::fprintf(stderr, "script failed with %u\n", status);
  return MillisecondsSince(start) / kStartsPerRound;
}

double Pauses() {
  auto start = Clock::now();
  for (int i = 0; i < kStartsPerRound; ++i) SleepWithMessages(500);
  return MillisecondsSince(start) / kStartsPerRound;
}
}  // namespace

int main() {
  const std::string bin = ProgramFolder();
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "orqbench_run";
  CreateDirectoryA(folder.c_str(), nullptr);

  std::string text = "[DefaultInstall]\r\nSETWORKDIR " + bin + "\r\n";
  for (int i = 0; i < kStartsPerRound; ++i) text += std::string("RUNWAIT ") + kChild + " 0\r\n";
  const std::string script = folder + "\\run.Orq";
  {
    UniqueKernelHandle file(
        CreateFileA(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
  const std::string log = folder + "\\bench.log";
  const std::string bare = bin + "\\" + kChild + " 0";

  std::vector<double> overheads;
  for (int round = 0; round < kRounds; ++round) {
    DeleteFileA(log.c_str());
    LogInit(kLogLevelStatus, log);
    double engine = EngineStarts(script, folder);
    double plain = BareStarts(bare);
    double pause = Pauses();
    overheads.push_back(engine - plain - pause);
    std::fprintf(stderr, "round %d: RUNWAIT %.2f ms, bare start %.2f ms, pause %.2f ms\n", round,
                 engine, plain, pause);
  }
  std::sort(overheads.begin(), overheads.end());
  std::printf("BENCH run_wait_overhead_ms %.2f ms\n", overheads[overheads.size() / 2]);
  DeleteFileA(log.c_str());
  DeleteFileA(script.c_str());
  RemoveDirectoryA(folder.c_str());
  return 0;
}
