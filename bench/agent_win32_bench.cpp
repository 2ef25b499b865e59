// What a PROGRESS line costs when its call crosses to the agent's process, against the same
// line without an agent. Prints:
//   BENCH agent_call_us <value> us           the mean cost of one PROGRESS line delivered to
//                                            the test agent (which records it in its file)
//   BENCH progress_overhead_ratio <value> x  that cost over the cost of the same line in a
//                                            run without an agent (its log line only)
// Each cost is (a run of 1,000 PROGRESS lines - a run of an empty section) / 1,000, both
// whole runs of Orqex.exe, so start-up and the final second cancel; the median of five.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "support/win_handles.h"
#include "bench/bench_support.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr unsigned kLines = 1000;
constexpr int kRuns = 5;

std::string BinDir() {
  std::string path(MAX_PATH, '\0');
  path.resize(GetModuleFileNameA(nullptr, path.data(), MAX_PATH));
  return path.substr(0, path.find_last_of('\\'));
}

// Seconds one run of `commandLine` takes; negative when it does not end with 0.
double TimeRun(const std::string& commandLine) {
  auto start = Clock::now();
  if (RunAndWait(commandLine) != 0) return -1;
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Microseconds one PROGRESS line adds to a run started by `prefix`.
double LineCostUs(const std::string& prefix, const std::string& dir) {
  std::vector<double> costs;
  for (int run = 0; run < kRuns; ++run) {
    DeleteFileA((dir + "\\calls.txt").c_str());
    double full = TimeRun(prefix + "/Script=" + dir + "\\progress.Orq /Log=" + dir + "\\run.log");
    double empty = TimeRun(prefix + "/Script=" + dir + "\\empty.Orq /Log=" + dir + "\\run.log");
    if (full < 0 || empty < 0) return -1;
    costs.push_back((full - empty) * 1e6 / kLines);
  }
  return Median(costs);
}
}  // namespace

int main() {
  const std::string dir = "C:\\orqbench_agent";
  CreateDirectoryA(dir.c_str(), nullptr);
  std::string script = "[DefaultInstall]\r\nSET Step=files\r\n";
  for (unsigned i = 0; i < kLines; ++i) {
    script +=
        "PROGRESS " + std::to_string(i) + ",1000,0,Copying %%Step%% " + std::to_string(i) + "\r\n";
  }
  WriteFileBytes(dir + "\\progress.Orq", script);
  WriteFileBytes(dir + "\\empty.Orq", "[DefaultInstall]\r\nSET Step=files\r\n");

  const std::string bin = BinDir();
  double agent = LineCostUs("\"" + bin + "\\test_agent.exe\" " + dir + "\\calls.txt ", dir);
  double alone = LineCostUs("\"" + bin + "\\Orqex.exe\" ", dir);
  if (agent < 0 || alone <= 0) {
    std::fprintf(stderr, "a run failed\n");
    return 1;
  }
  std::printf("BENCH agent_call_us %.1f us\n", agent);
  std::printf("BENCH progress_overhead_ratio %.2f x\n", agent / alone);
  return 0;
}
