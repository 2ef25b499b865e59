// What RUNWAIT costs per started program under Wine, beyond the start itself.
// Prints:
//   BENCH run_wait_overhead_ms <value> ms   one RUNWAIT line through the dispatcher (its
//                                           "Executing line" and "Starting application"
//                                           log lines included), starting a child that
//                                           exits at once, minus a bare CreateProcessA +
//                                           WaitForSingleObject of the same child, minus
//                                           the 500 ms pause every run command makes after
//                                           its program (timed on its own as
//                                           SleepWithMessages(500))
// Starting a process under Wine takes 50 to 300 ms on a busy machine, so the three are
// timed side by side for every sample, in turns, and the figure is the median of the
// samples' differences; stderr shows the medians of the parts, and the engine's own work on
// a RUNWAIT line measured without a real start (a missing program against a bare failing
// CreateProcessA), which is free of that noise.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands/interaction/message_waits.h"
#include "engine/runner.h"
#include "engine/script_file.h"
#include "engine/script_model.h"
#include "host/command_families.h"
#include "support/log.h"
#include "support/win_handles.h"
#include "bench/bench_support.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kDefaultSamples = 21;
constexpr DWORD kPauseMs = 500;
constexpr const char* kChild = "exit_after_delay.exe";

std::string ProgramFolder() {
  std::string path(MAX_PATH, '\0');
  path.resize(GetModuleFileNameA(nullptr, path.data(), MAX_PATH));
  return path.substr(0, path.find_last_of('\\'));
}

template <typename Work>
double Milliseconds(Work work) {
  auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CreateProcessA and a wait for the end, shown as RUNWAIT starts it.
void BareStart(const std::string& commandLine) {
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

}  // namespace

// Optional argument: the number of samples.
int main(int argc, char** argv) {
  const int samples = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultSamples;
  const std::string bin = ProgramFolder();
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string log = std::string(temp) + "orqbench_run.log";
  DeleteFileA(log.c_str());
  LogInit(kLogLevelStatus, log);

  EngineContext ctx;
  ctx.handlers = &BuildHandlerTable();
  ctx.workDir = bin;
  // The second line names a program that does not exist: its cost against a bare failing
  // CreateProcessA is the engine's own work on a line (parsing, expansion, log lines) without
  // the noise of a real start; an upper bound, since it writes one line more to the log.
  if (ParseScript(ctx, std::string("[DefaultInstall]\r\nRUNWAIT ") + kChild +
                           " 0\r\nRUNWAIT orq_no_such_program.exe 0\r\n") != 0) {
    std::fprintf(stderr, "the script does not parse\n");
    return 1;
  }
  ScriptSection& section = *ctx.sections.front();
  ctx.currentSection = &section;
  ScriptLine& line = section.lines.front();
  ScriptLine& missingLine = section.lines.back();
  const std::string bare = bin + "\\" + kChild + " 0";

  std::vector<double> overheads, engines, bares, pauses;
  for (int i = 0; i < samples; ++i) {
    double engine = 0, plain = 0, pause = 0;
    auto runEngine = [&] { engine = Milliseconds([&] { DispatchLine(ctx, line); }); };
    auto runBare = [&] { plain = Milliseconds([&] { BareStart(bare); }); };
    if (i % 2) {
      runEngine();
      runBare();
    } else {
      runBare();
      runEngine();
    }
    pause = Milliseconds([] { SleepWithMessages(kPauseMs); });
    engines.push_back(engine);
    bares.push_back(plain);
    pauses.push_back(pause);
    overheads.push_back(engine - plain - pause);
  }
  std::fprintf(stderr, "medians: RUNWAIT %.2f ms, bare start %.2f ms, pause %.2f ms\n",
               Median(engines), Median(bares), Median(pauses));
  std::vector<double> lineCosts;
  const std::string missing = bin + "\\orq_no_such_program.exe 0";
  for (int i = 0; i < 200; ++i) {
    double engine = Milliseconds([&] { DispatchLine(ctx, missingLine); });
    double plain = Milliseconds([&] {
      STARTUPINFOA startup{};
      startup.cb = sizeof startup;
      PROCESS_INFORMATION started{};
      std::string writable = missing;
      CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &started);
    });
    lineCosts.push_back(engine - plain);
  }
  std::fprintf(stderr, "the engine's own work on a RUNWAIT line that starts nothing: %.2f ms\n",
               Median(lineCosts));
  std::printf("BENCH run_wait_overhead_ms %.2f ms\n", Median(overheads));
  DeleteFileA(log.c_str());
  return 0;
}
