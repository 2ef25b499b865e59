// Any byte string checks to a list of findings in line order, with the exit code of the
// first error, without a fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "commands/argument_checks.h"
#include "engine/script_check.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const CheckReport report = CheckScriptText(text, "DefaultInstall", ArgumentCheckOf);
  unsigned firstError = 0, lastLine = 0;
  for (const CheckFinding& finding : report.findings) {
    if (finding.lineNumber < lastLine) __builtin_trap();
    lastLine = finding.lineNumber;
    if (firstError == 0) firstError = finding.code;
  }
  if (report.exitCode != firstError) __builtin_trap();
  return 0;
}
