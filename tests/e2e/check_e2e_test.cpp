// Whole "/Check" runs of Orqex.exe: every finding logged with its line, the exit code of
// the first error, nothing acted on or shown; the shipped examples check clean.
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "support_code/broken_script.h"
#include "support_code/script_test.h"

namespace {
// Each "Check: line <n>: <what>" entry of a log with the log entry after it (the line
// itself), as "<n>: <what> | <line>".
std::vector<std::string> LoggedFindings(const std::string& log) {
  static const std::regex kFinding(R"(Check: line (\d+): (.*))");
  const std::vector<std::string> messages = LogMessages(log);
  std::vector<std::string> findings;
  for (std::size_t i = 0; i + 1 < messages.size(); ++i) {
    std::smatch match;
    if (std::regex_match(messages[i], match, kFinding)) {
      findings.push_back(match[1].str() + ": " + match[2].str() + " | " + messages[i + 1]);
    }
  }
  return findings;
}

std::string Shown(const ExpectedFinding& finding) {
  return std::to_string(finding.line) + ": " + finding.message + " | " + finding.text;
}

using CheckRuns = ScriptTest;

// Not quiet, so a message box shown would hold the run until it is killed.
TEST_F(CheckRuns, LogsEveryFindingWithItsLineAndActsOnNothing) {
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrqCheckScratch");
  OrqexRun run = RunScript(dir_, kBrokenScript, "/Check", "broken.Orq");
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, kBrokenScriptExitCode);
  std::vector<std::string> expected;
  for (const ExpectedFinding& finding : BrokenScriptFindings()) expected.push_back(Shown(finding));
  EXPECT_EQ(LoggedFindings(Log()), expected) << Log();
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, "Software\\OrqCheckScratch"))
      << "a checked line was carried out";

  run = RunScript(dir_, kBrokenScript, "/Check /Section=Missing", "broken.Orq");
  EXPECT_EQ(run.exitCode, kMissingStartExitCode);
  const std::vector<std::string> findings = LoggedFindings(Log());
  ASSERT_FALSE(findings.empty()) << Log();
  EXPECT_EQ(findings.front(), Shown(kMissingStartFinding));
}

// A script with several start sections is checked from each; a section may be unreached
// from one of them but not from all, and nothing else may be found.
TEST_F(CheckRuns, ExamplesCheckCleanFromEachStartSection) {
  const struct {
    const char* file;
    std::vector<std::string> starts;
  } rows[] = {
      {"examples\\example.Orq", {"DefaultInstall", "Uninstall"}},
      {"examples\\cabinet.Orq", {"DefaultInstall"}},
  };
  for (const auto& row : rows) {
    const std::string script = ReadTextFile(SourceTreePath(row.file));
    ASSERT_FALSE(script.empty()) << row.file;
    std::map<std::string, std::size_t> unreachedFrom;  // finding: how many starts gave it
    for (const std::string& start : row.starts) {
      SCOPED_TRACE(std::string(row.file) + " from " + start);
      const OrqexRun run = RunScript(dir_, script, "/Check /Section=" + start, "example.Orq");
      EXPECT_EQ(run.exitCode, 0u);
      for (const std::string& finding : LoggedFindings(Log())) {
        if (finding.find(": warning: section [") != std::string::npos &&
            finding.find("] is never reached |") != std::string::npos) {
          ++unreachedFrom[finding];
        } else {
          ADD_FAILURE() << finding;
        }
      }
    }
    for (const auto& [finding, starts] : unreachedFrom) {
      EXPECT_LT(starts, row.starts.size()) << row.file << ": " << finding;
    }
  }
}
}  // namespace
