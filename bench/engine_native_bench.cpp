// Parser throughput on a generated 10 MB script (OS-free build, no log file).
// Prints: BENCH parse_mb_per_s <value> MB/s
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

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
  return 0;
}
