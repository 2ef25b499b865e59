#include "commands/system/program_command_parse.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {
TEST(RunCommandLine, TheProgramIsTheLongestPrefixThatNamesAFileAsWritten) {
  const std::string line = "C:\\orqrun dir\\child.exe  a\tb";
  // {files that exist, where the program ends (npos: the system decides)}
  const std::pair<std::set<std::string>, std::size_t> rows[] = {
      {{"C:\\orqrun", "C:\\orqrun dir\\child.exe"}, 23},
      {{"C:\\orqrun"}, 9},
      {{"C:\\orqrun.exe"}, std::string::npos},  // the extension is not guessed
      {{"C:\\orqrun dir\\child.exe  a"}, 26},  // a tab ends a prefix too
      {{line}, line.size()},
      {{"C:\\orqrun dir\\child.exe "}, std::string::npos},  // prefixes end before a blank
  };
  for (const auto& [files, end] : rows) {
    auto isFile = [&files = files](const std::string& path) { return files.count(path) > 0; };
    EXPECT_EQ(ProgramEndByFile(line, isFile), end) << *files.begin();
  }
}

TEST(ProgramArguments, WindowListsAndAgentNumbersFollowTheirRules) {
  EXPECT_EQ(CloseAppNames(" A , ,B,,C"), (std::vector<std::string>{"A", "B"}));
  const std::pair<const char*, std::int32_t> numbers[] = {
      {"x, 99999999999", 2147483647}, {"x,-99999999999", -2147483647 - 1}, {"x,b,-7", 0}};
  for (const auto& [argument, number] : numbers) {
    UserAppArgs args;
    ASSERT_TRUE(ParseUserApp(argument, args));
    EXPECT_EQ(args.command, "x");
    EXPECT_EQ(args.number, number) << argument;
  }
}
}  // namespace
