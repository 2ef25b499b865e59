// Program paths and service fields at their bounds, where the runs under Wine cannot reach.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "commands/system/program_command_parse.h"
#include "commands/system/service_arguments_parse.h"
#include "commands/system/system_info_parse.h"
#include "support/mbcs.h"

namespace {
// Programs are stored so that no prefix can run in their place; fields are refused rather
// than cut, and the password takes the rest of the line.
TEST(SystemArguments, ServiceDefinitionsAreStoredWholeOrRefused) {
  const std::string p257 = "C:\\" + std::string(248, 'p') + " x.exe";
  const std::string tail = ",,AUTO,NODESKTOP,.\\u,";
  // {definition, files that exist, stored program or the refusal}
  const std::tuple<std::string, std::set<std::string>, std::string> rows[] = {
      {"N,D,C:\\a.exe b\\c.exe -x", {"C:\\a.exe b\\c.exe"}, "\"C:\\a.exe b\\c.exe\" -x"},
      {"N,D,C:\\a.exe b\\c.exe -x", {}, "51"},  // two programs it could be
      {"N,D,\"C:\\a b.exe", {}, "51"},           // nor an unclosed one
      {"N,D," + p257, {}, "\"" + p257 + "\""},     // quoted: 259 bytes
      {"N,D,C:\\p" + p257.substr(3), {}, "51"},    // quoted it would not fit
      {std::string(260, 'n') + ",D,C:\\a.exe", {}, "51"},
      {"N,D,C:\\a.exe," + std::string(260, 'd') + ",AUTO", {}, "51"},
      {"N,D,C:\\a.exe,,,NODESKTOP", {}, "51"},
      {"N,D,C:\\a.exe" + tail, {}, "51"},
      {"N,D,C:\\a.exe" + tail + std::string(260, 'w'), {}, "51"}};
  for (const auto& [text, files, stored] : rows) {
    ServiceDefinition definition;
    auto isFile = [&files = files](const std::string& path) { return files.count(path) > 0; };
    unsigned status = ParseServiceDefinition(text, definition, isFile);
    EXPECT_EQ(status ? std::to_string(status) : definition.program, stored) << text;
  }
  auto none = [](const std::string&) { return false; };
  ServiceDefinition definition;
  ASSERT_EQ(ParseServiceDefinition("N,D,C:\\a.exe" + tail + " S3cret,Pass!,x ", definition, none),
            0u);
  EXPECT_EQ(definition.account, ".\\u");
  EXPECT_EQ(definition.password, "S3cret,Pass!,x");
  // A blank after a lead byte still gets the path quoted; a trail byte that equals a
  // backslash stays.
  SetAnsiCodePageForTesting(932);
  EXPECT_EQ(ParseServiceDefinition("N,D,C:\\\x95 x.exe", definition, none), 0u);
  EXPECT_EQ(WithoutTrailingBackslash("C:\\\x95\x5C"), "C:\\\x95\x5C");
  SetAnsiCodePageForTesting(0);
  EXPECT_EQ(definition.program, "\"C:\\\x95 x.exe\"");
}

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
