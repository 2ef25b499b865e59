#include "commands/system/program_command_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "engine/mbcs.h"

namespace {
TEST(RunCommandLine, JoinsQuotesOrKeepsTheTextAndRefusesWhatItCannotHandOnWhole) {
  const std::string xs(251,
                       'x');  // folders of 253 and 254 bytes: 259 and 260 joined
  struct Case {
    const char *text;
    std::string workDir;
    CommandLineForm form;
    std::string expected;
  } cases[] = {
      {"setup.exe /s", "C:\\Temp", CommandLineForm::Ready, "C:\\Temp\\setup.exe /s"},
      {"\\setup.exe", "C:\\Temp\\", CommandLineForm::Ready, "C:\\Temp\\setup.exe"},
      {"setup.exe /s", "C:\\My Dir", CommandLineForm::Ready, "\"C:\\My Dir\\setup.exe\" /s"},
      {"\"sub dir\\x.exe\" -q", "C:\\Temp", CommandLineForm::Ready,
       "\"C:\\Temp\\sub dir\\x.exe\" -q"},
      {"C:\\Tools\\x.exe", "C:\\Temp", CommandLineForm::Ready, "C:\\Tools\\x.exe"},
      {"\"C:\\Program Files\\x.exe\" -q", "", CommandLineForm::Ready,
       "\"C:\\Program Files\\x.exe\" -q"},
      {"\\\\server\\share\\x.exe", "C:\\Temp", CommandLineForm::Ready, "\\\\server\\share\\x.exe"},
      {"<search_path>notepad.exe a", "C:\\Temp", CommandLineForm::Ready, "notepad.exe a"},
      {"C:x.exe", "C:\\Temp", CommandLineForm::Ready, "C:\\Temp\\C:x.exe"},
      {"setup.exe", "", CommandLineForm::NoWorkDir, ""},
      {"x.exe", "C:\\" + xs.substr(1), CommandLineForm::Ready, "C:\\" + xs.substr(1) + "\\x.exe"},
      {"x.exe", "C:\\" + xs, CommandLineForm::TooLong, ""},
      {"x.exe", "C:\\ " + xs.substr(3), CommandLineForm::TooLong, ""},  // fits only unquoted
  };
  for (const Case &c : cases) {
    std::string line = "untouched";
    EXPECT_EQ(BuildCommandLine(c.text, c.workDir, line), c.form) << c.text << " in " << c.workDir;
    EXPECT_EQ(line, c.form == CommandLineForm::Ready ? c.expected : "untouched") << c.text;
  }
  // A folder ending in a double-byte character whose trail byte is a backslash
  // still gets one.
  SetAnsiCodePageForTesting(932);
  std::string line;
  EXPECT_EQ(BuildCommandLine("x.exe", "C:\\\x95\\", line), CommandLineForm::Ready);
  EXPECT_EQ(line, "C:\\\x95\\\\x.exe");
  SetAnsiCodePageForTesting(0);
}

TEST(CloseAppNames, EndsAtTheFirstEmptyItemAndSkipsBlankOnes) {
  const std::pair<const char *, std::vector<std::string>> cases[] = {
      {"A,,B", {"A"}}, {" A , B ", {"A", "B"}}, {"A, ,B", {"A", "B"}}, {"", {}}, {",A", {}}};
  for (const auto &[argument, names] : cases) EXPECT_EQ(CloseAppNames(argument), names) << argument;
  EXPECT_EQ(CloseAppNames(std::string(300, 'w'))[0].size(), 259u);
}

TEST(WindowWaitArgs, ReadsTheLimitAndTakesNegativeOrHugeNumbersForNoLimit) {
  struct Case {
    const char *argument;
    const char *name;
    bool hasLimit;
    std::uint32_t limit;
    bool ignored;
  } cases[] = {
      {"Some Title", "Some Title", false, 0, false},
      {"T , 3000", "T", true, 3000, false},
      {"T,", "T", true, 0, false},
      {"T,abc", "T", true, 0, false},
      {" ,5000", "", true, 5000, false},
      {"T,-1", "T", false, 0, true},
      {"T,2147483648", "T", false, 0, true},
      {"T,2147483647", "T", true, 2147483647u, false},
      {"T,-0", "T", true, 0, false},
  };
  for (const Case &c : cases) {
    WindowWaitArgs args = ParseWindowWait(c.argument);
    EXPECT_EQ(args.name, c.name) << c.argument;
    EXPECT_EQ(args.hasLimit, c.hasLimit) << c.argument;
    if (c.hasLimit) {
      EXPECT_EQ(args.limitMs, c.limit) << c.argument;
    }
    EXPECT_EQ(args.limitIgnored, c.ignored) << c.argument;
  }
}

TEST(UserAppArgs, NeedsACommaAndClampsTheNumber) {
  const std::tuple<const char *, const char *, std::int32_t> cases[] = {
      {"prog.exe,1", "prog.exe", 1},
      {"a,b,-7", "a", 0},
      {" x , 99999999999", " x ", 2147483647},
      {"x,-99999999999", "x", -2147483647 - 1},
      {"x,  42abc", "x", 42},
  };
  for (const auto &[argument, command, number] : cases) {
    UserAppArgs args;
    ASSERT_TRUE(ParseUserApp(argument, args)) << argument;
    EXPECT_EQ(args.command, command);
    EXPECT_EQ(args.number, number) << argument;
  }
  UserAppArgs args;
  EXPECT_FALSE(ParseUserApp("prog.exe", args));
}
}  // namespace
