// Parser throughput on a generated 10 MB script, and the script check of a 100,000-line
// script (OS-free build, no log file).
// Prints: BENCH parse_mb_per_s <value> MB/s
//         BENCH check_100k_lines_ms <value> ms
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "commands/argument_checks.h"
#include "engine/script_check.h"
#include "engine/script_file.h"
#include "engine/script_model.h"
#include "support/log.h"

namespace {
std::string GenerateScript(std::size_t targetBytes) {
  std::string text;
  text.reserve(targetBytes + 256);
  for (unsigned section = 0; text.size() < targetBytes; ++section) {
    text += "[Section" + std::to_string(section) + "]\r\n; install step " + std::to_string(section) + "\r\n";
    for (unsigned line = 0; line < 50; ++line) {
      text += "SET Value" + std::to_string(line) + "=%%Product%%\\bin\\file" + std::to_string(line) + ".dll\r\n";
      text += "   CALLIF %%Version%%>=4.0.1381.0, Result=Section" + std::to_string(section) + "\r\n";
      text += "\r\n";
    }
  }
  return text;
}
// 1,000 sections of 100 lines, each calling the next: symbols set and read, registry, INI
// and file lines with their argument checks, conditions and calls.
std::string GenerateCheckedScript() {
  std::string text;
  for (unsigned section = 0; section < 1000; ++section) {
    const std::string next = "Section" + std::to_string(section + 1);
    text += "[Section" + std::to_string(section) + "]\r\n";
    for (unsigned line = 0; line < 19; ++line) {
      const std::string n = std::to_string(line);
      text += "SET Value" + n + "=%%Product%%\\bin\\file" + n + ".dll\r\n";
      text += "SETREGVALUE HKLM\\Software\\Product,Path" + n + "=%%Value" + n + "%%\r\n";
      text += "GETINIFILEVALUE Ini" + n + "=setup.ini,Main,Key" + n + "\r\n";
      text += "FILEEXISTS Found" + n + "=%%Value" + n + "%%\r\n";
      text += "CALLIF %%Found" + n + "%%==TRUE, Result=Helper\r\n";
    }
    text += section == 0 ? "SET Product=C:\\Product\r\n" : "RETURN done\r\n";
    text += section + 1 < 1000 ? "CALL " + next + "\r\n" : "RETURN done\r\n";
    text += "DELETEREGKEYRECURSIVE HKLM\\Software\\Product\\Old\r\n";
    text += "RETURN done\r\n";
  }
  text += "[Helper]\r\nRETURN TRUE\r\n";
  return text;
}

double MedianCheckMs(const std::string& script) {
  std::vector<double> times;
  for (int run = 0; run < 7; ++run) {
    auto start = std::chrono::steady_clock::now();
    const CheckReport report = CheckScriptText(script, "Section0", ArgumentCheckOf);
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (report.exitCode != 0) {
      std::fprintf(stderr, "check found errors: %u\n", report.exitCode);
      return -1;
    }
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}
}  // namespace

int main() {
  LogInit(kLogLevelStatus, "");
  const std::string script = GenerateScript(10u * 1024 * 1024);
  std::vector<double> rates;
  for (int run = 0; run < 7; ++run) {
    EngineContext ctx;
    auto start = std::chrono::steady_clock::now();
    unsigned status = ParseScript(ctx, script);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status != 0) {
      std::fprintf(stderr, "parse failed: %u\n", status);
      return 1;
    }
    rates.push_back(script.size() / (1024.0 * 1024.0) / seconds);
  }
  std::sort(rates.begin(), rates.end());
  std::printf("BENCH parse_mb_per_s %.1f MB/s\n", rates[rates.size() / 2]);
  const std::string checked = GenerateCheckedScript();
  std::size_t lines = std::count(checked.begin(), checked.end(), '\n');
  if (lines < 100000) std::fprintf(stderr, "only %zu lines\n", lines);
  const double checkMs = MedianCheckMs(checked);
  if (checkMs < 0) return 1;
  std::printf("BENCH check_100k_lines_ms %.1f ms\n", checkMs);
  return 0;
}
