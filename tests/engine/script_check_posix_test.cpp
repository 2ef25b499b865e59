// orqcheck, the script check as a command-line tool, and the table's example lines.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "commands/argument_checks.h"
#include "engine/command_table.h"
#include "engine/script_check.h"
#include "support_code/broken_script.h"

namespace {
struct ToolRun {
  std::vector<std::string> lines;
  int exitCode = -1;
};

// Runs the tool built beside the tests (the tests run in the build folder).
ToolRun RunOrqcheck(const std::string& arguments) {
  ToolRun run;
  std::FILE* out = popen(("bin/orqcheck " + arguments).c_str(), "r");
  if (!out) return run;
  std::string line;
  for (int c; (c = std::fgetc(out)) != EOF;) {
    if (c != '\n') {
      line += static_cast<char>(c);
    } else {
      run.lines.push_back(line);
      line.clear();
    }
  }
  const int status = pclose(out);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(Orqcheck, ReportsEveryFindingWithItsLineAndExitsWithTheFirstErrorsCode) {
  char path[] = "/tmp/orqcheck_broken_XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  close(fd);
  std::ofstream(path, std::ios::binary) << kBrokenScript;
  const std::string file = path;

  ToolRun run = RunOrqcheck(file);
  std::vector<std::string> expected;
  for (const ExpectedFinding& finding : BrokenScriptFindings()) {
    expected.push_back(file + ":" + std::to_string(finding.line) + ": " + finding.message);
  }
  EXPECT_EQ(run.lines, expected);
  EXPECT_EQ(run.exitCode, static_cast<int>(kBrokenScriptExitCode));

  run = RunOrqcheck(file + " --section Missing");
  ASSERT_FALSE(run.lines.empty());
  EXPECT_EQ(run.lines.front(), file + ":0: " + kMissingStartFinding.message);
  EXPECT_EQ(run.exitCode, static_cast<int>(kMissingStartExitCode));

  run = RunOrqcheck(file + "_gone");
  EXPECT_EQ(run.exitCode, 9) << "a script that cannot be opened";
  std::remove(path);
}

// Every example line of the table, together in one script, checks without a finding: the
// reference shows them and the WhatIf run's own test runs them.
TEST(CommandTable, EveryExampleLineChecksClean) {
  std::string main = "[DefaultInstall]\r\n", files = "[OrqWhatIfFiles]\r\n";
  for (const CommandRow& row : CommandTable()) {
    if (!row.hasHandler || row.example.empty()) continue;
    std::string& section = row.id == kCmdFileCio || row.id == kCmdFileCow ? files : main;
    section += std::string(row.example) + "\r\n";
  }
  const CheckReport report =
      CheckScriptText(main + "[OrqWhatIfSection]\r\nRETURN Done\r\n" + files, "DefaultInstall",
                      ArgumentCheckOf);
  for (const CheckFinding& finding : report.findings) {
    ADD_FAILURE() << finding.lineNumber << ": " << finding.message << "\n  " << finding.lineText;
  }
  for (const CommandRow& row : CommandTable()) {
    const bool changesSomething =
        row.effect == CommandEffect::kActs || row.effect == CommandEffect::kAsks;
    EXPECT_TRUE(!row.hasHandler || !changesSomething || !row.example.empty()) << row.word;
  }
}
}  // namespace
