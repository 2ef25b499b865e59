// orqcheck, the script check as a command-line tool, and the table's example lines.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "commands/argument_checks.h"
#include "engine/command_table.h"
#include "engine/script_check.h"
#include "support_code/broken_script.h"

namespace {
struct ToolRun {
  std::string output;  // the lines it printed, each ending in a line feed
  int exitCode = -1;
};

// Runs the tool built beside the tests (the tests run in the build folder).
ToolRun RunOrqcheck(const std::string& arguments) {
  ToolRun run;
  std::FILE* out = popen(("bin/orqcheck " + arguments + " 2>/dev/null").c_str(), "r");
  if (!out) return run;
  for (int c; (c = std::fgetc(out)) != EOF;) run.output += static_cast<char>(c);
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
  std::string expected;
  for (const ExpectedFinding& finding : BrokenScriptFindings()) {
    expected += file + ":" + std::to_string(finding.line) + ": " + finding.message + "\n";
  }
  ToolRun run = RunOrqcheck(file);
  EXPECT_EQ(run.output, expected);
  EXPECT_EQ(run.exitCode, static_cast<int>(kBrokenScriptExitCode));
  run = RunOrqcheck(file + " --section Missing");
  EXPECT_EQ(run.output.substr(0, run.output.find('\n')),
            file + ":0: " + kMissingStartFinding.message);
  EXPECT_EQ(run.exitCode, static_cast<int>(kMissingStartExitCode));
  EXPECT_EQ(RunOrqcheck(file + "_gone").exitCode, 9) << "a script that cannot be opened";
  std::remove(path);
}

// The reference shows these lines, so each must check without a finding.
TEST(CommandTable, EveryExampleLineChecksClean) {
  std::string main = "[DefaultInstall]\r\n", files = "[OrqWhatIfFiles]\r\n";
  for (const CommandRow& row : CommandTable()) {
    const bool changesSomething =
        row.effect == CommandEffect::kActs || row.effect == CommandEffect::kAsks;
    EXPECT_TRUE(!row.hasHandler || !changesSomething || !row.example.empty()) << row.word;
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
}
}  // namespace
