// orqcheck <script> [--section NAME]: the script check without Windows. Prints every
// finding as "file:line: message" and exits with the code a "/Check" run gives.
#include <cstdio>
#include <string>
#include <string_view>

#include "commands/argument_checks.h"
#include "engine/errors.h"
#include "engine/script_check.h"
#include "engine/script_file.h"
#include "support/log.h"

int main(int argc, char** argv) {
  std::string script, section = kDefaultStartSection;
  bool usable = true;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--section" && i + 1 < argc) {
      section = argv[++i];
    } else if (script.empty() && !arg.empty() && arg.front() != '-') {
      script = arg;
    } else {
      usable = false;
    }
  }
  if (!usable || script.empty()) {
    std::fputs("usage: orqcheck <script> [--section NAME]\n", stderr);
    return static_cast<int>(kUsageExitCode);
  }
  LogInit(kLogLevelStatus, "");  // no log file: the findings go to standard output
  const CheckReport report = CheckScriptFile(script, section, ArgumentCheckOf);
  for (const CheckFinding& finding : report.findings) {
    std::printf("%s:%u: %s\n", script.c_str(), finding.lineNumber, finding.message.c_str());
  }
  return static_cast<int>(report.exitCode);
}
