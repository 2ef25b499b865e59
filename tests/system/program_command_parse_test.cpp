#include "commands/system/program_command_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "engine/mbcs.h"

namespace {
TEST(RunCommandLine, JoinsQuotesOrKeepsTheTextAndRefusesWhatItCannotHandOnWhole) {
  using Form = CommandLineForm;
  const std::string xs(251, 'x');  // folders of 253 and 254 bytes: 259 and 260 joined
  const std::tuple<std::string, std::string, Form, std::string> cases[] = {
      {"setup.exe /s", "C:\\Temp", Form::Ready, "C:\\Temp\\setup.exe /s"},
      {"\\setup.exe", "C:\\Temp\\", Form::Ready, "C:\\Temp\\setup.exe"},
      {"setup.exe /s", "C:\\My Dir", Form::Ready, "\"C:\\My Dir\\setup.exe\" /s"},
      {"\"sub dir\\x.exe\" -q", "C:\\Temp", Form::Ready, "\"C:\\Temp\\sub dir\\x.exe\" -q"},
      {"\"C:\\Program Files\\x.exe\" -q", "", Form::Ready, "\"C:\\Program Files\\x.exe\" -q"},
      {"\\\\server\\share\\x.exe", "C:\\Temp", Form::Ready, "\\\\server\\share\\x.exe"},
      {"<search_path>notepad.exe a", "C:\\Temp", Form::Ready, "notepad.exe a"},
      {"C:x.exe", "C:\\Temp", Form::Ready, "C:\\Temp\\C:x.exe"},
      {"setup.exe", "", Form::NoWorkDir, ""},
      {"x.exe", "C:\\" + xs.substr(1), Form::Ready, "C:\\" + xs.substr(1) + "\\x.exe"},
      {"x.exe", "C:\\" + xs, Form::TooLong, ""},
      {"x.exe", "C:\\ " + xs.substr(3), Form::TooLong, ""},  // fits only unquoted
  };
  for (const auto& [text, workDir, form, expected] : cases) {
    std::string line;
    EXPECT_EQ(BuildCommandLine(text, workDir, line), form) << text << " in " << workDir;
    EXPECT_EQ(line, expected) << text;
  }
  // A folder ending in a double-byte character whose trail byte is a backslash gets one.
  SetAnsiCodePageForTesting(932);
  std::string line;
  EXPECT_EQ(BuildCommandLine("x.exe", "C:\\\x95\\", line), Form::Ready);
  EXPECT_EQ(line, "C:\\\x95\\\\x.exe");
  SetAnsiCodePageForTesting(0);
}

TEST(ProgramArguments, WindowListsAndAgentNumbersFollowTheirRules) {
  EXPECT_EQ(CloseAppNames(" A , ,B,,C"), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(CloseAppNames(std::string(300, 'w'))[0].size(), 259u);
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
