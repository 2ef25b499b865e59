#include "host/check_run.h"

#include "commands/argument_checks.h"
#include "engine/script_check.h"
#include "support/log.h"

int RunCheck(const std::string& scriptPath, const std::string& startSection) {
  LogStatus("Check: %s, StartSection=%s", scriptPath.c_str(), startSection.c_str());
  const CheckReport report = CheckScriptFile(scriptPath, startSection, ArgumentCheckOf);
  for (const CheckFinding& finding : report.findings) {
    LogStatus("Check: line %u: %s", finding.lineNumber, finding.message.c_str());
    LogStatus("%s", finding.lineText.c_str());
  }
  LogStatus("Check: %u findings, exit code %u", static_cast<unsigned>(report.findings.size()),
            report.exitCode);
  return static_cast<int>(report.exitCode);
}
