// What the engine adds to the log writes a line costs, under Wine.
// Prints:
//   BENCH line_cost_ratio <value> x       time per SET line of a 10,000-line section over
//                                          the time per line of a bare loop of the same
//                                          log writes
//   BENCH section_scaling_ratio <value> x a 20,000-line section over twice a 10,000-line one
// Each figure is the median of several runs.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/handler_table.h"
#include "engine/runner.h"
#include "support/log.h"
#include "bench/bench_support.h"

namespace {
using Clock = std::chrono::steady_clock;

std::string g_dir;

std::string LineArgument(unsigned i) { return "Value" + std::to_string(i % 100) + "=item " + std::to_string(i); }

std::string WriteSetScript(unsigned lines) {
  std::string text = "[Main]\r\n";
  for (unsigned i = 0; i < lines; ++i) text += "SET " + LineArgument(i) + "\r\n";
  std::string path = g_dir + "\\bench" + std::to_string(lines) + ".Orq";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return path;
}

void FreshLog() {
  std::string log = g_dir + "\\bench.log";
  DeleteFileA(log.c_str());
  LogInit(kLogLevelStatus, log);
}

double SecondsToRun(const std::string& script) {
  FreshLog();
  auto start = Clock::now();
  unsigned status = ExecuteScript(script, "Main", g_dir, EngineHandlerTable());
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (status != 0) std::fprintf(stderr, "script failed with %u\n", status);
  return seconds;
}

double SecondsOfBareLogLoop(unsigned lines) {
  FreshLog();
  auto start = Clock::now();
  for (unsigned i = 0; i < lines; ++i) {
    std::string argument = LineArgument(i);
    LogStatus("Executing line %d: %s %s", static_cast<int>(i + 2), "SET", argument.c_str());
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  g_dir = std::string(temp) + "orqbench";
  CreateDirectoryA(g_dir.c_str(), nullptr);
  const std::string small = WriteSetScript(10000);
  const std::string large = WriteSetScript(20000);

  std::vector<double> costRatios, scalingRatios;
  for (int run = 0; run < 5; ++run) {
    double engine = SecondsToRun(small);
    double bare = SecondsOfBareLogLoop(10000);
    double twice = SecondsToRun(large);
    costRatios.push_back(engine / bare);
    scalingRatios.push_back(twice / (2 * engine));
    std::fprintf(stderr, "run %d: 10k lines %.3f s, bare loop %.3f s, 20k lines %.3f s\n", run, engine, bare, twice);
  }
  std::printf("BENCH line_cost_ratio %.3f x\n", Median(costRatios));
  std::printf("BENCH section_scaling_ratio %.3f x\n", Median(scalingRatios));
  return 0;
}
