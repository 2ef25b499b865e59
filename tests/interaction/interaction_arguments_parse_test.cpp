#include <gtest/gtest.h>

#include <array>
#include <string>

#include "commands/interaction/agent_arguments_parse.h"
#include "commands/interaction/install_cab_parse.h"
#include "commands/interaction/wait_limit_parse.h"
#include "commands/system/program_command_parse.h"

namespace {
TEST(AgentArgumentsParse, FinalStatusNeverTurnsAnOutOfRangeNumberIntoSuccess) {
  const std::int32_t fail = static_cast<std::int32_t>(0x80004005);
  // Above 2147483647 a number keeps its 32-bit pattern, beyond 32 bits it is E_FAIL: flagged.
  const struct {
    std::string text;
    std::int32_t status;
    std::string message;
    bool outOfRange, notANumber;
  } rows[] = {
      {"abc, a,b ", 0, "a,b", false, true},        {"2147483647", 2147483647, "", false, false},
      {"-2147483648", INT32_MIN, "", false, false}, {"4294967295,E", -1, "E", true, false},
      {"4294967296", fail, "", true, false},        {"99999999999999999999", fail, "", true, false},
      {"-2147483649", fail, "", true, false},       {"0x80004005,x", 0, "x", false, true},
      {" +7 ,x", 7, "x", false, false},             {",x", 0, "x", false, true},
  };
  for (const auto& row : rows) {
    FinalStatusArgument argument = ParseFinalStatusArgument(row.text);
    EXPECT_EQ(argument.status, row.status) << row.text;
    EXPECT_EQ(argument.message, row.message) << row.text;
    EXPECT_EQ(argument.outOfRange, row.outOfRange) << row.text;
    EXPECT_EQ(argument.notANumber, row.notANumber) << row.text;
  }
}

// A path that would be cut is refused, never installed from.
TEST(InstallCabArgument, ReadsTheSymbolThePathAndSixNumbers) {
  const struct {
    std::string text;
    unsigned status;
    std::string path;
    std::array<std::int32_t, 6> numbers;
  } cases[] = {
      {"R= C:\\x.cab , 1 ,-2, 3x,,5,6,7,8", 0, "C:\\x.cab", {1, -2, 3, 0, 5, 6}},
      {"R=a.cab,99999999999,-99999999999", 0, "a.cab", {2147483647, -2147483647 - 1, 0, 0, 0, 0}},
      {"R=" + std::string(259, 'p'), 0, std::string(259, 'p'), {}},
      {"R", 51, "", {}}, {"R=  ,1", 51, "", {}}, {"R=" + std::string(1040, 'x'), 51, "", {}},
      {"R=" + std::string(260, 'p') + ",1", 51, "", {}},  // never a cut path
  };
  for (const auto& c : cases) {
    std::string name, value;
    InstallCabFields fields;
    unsigned status = SplitInstallCabArgument(c.text, name, value);
    if (status == 0) status = SplitInstallCabFields(value, fields);
    EXPECT_EQ(status, c.status) << c.text;
    if (c.status == 0) {
      EXPECT_EQ(name + "|" + fields.cabinetPath, "R|" + c.path) << c.text;
      EXPECT_EQ(fields.numbers, c.numbers) << c.text;
    }
  }
}

// Every command that waits reads its limit alike (WAITFORWINDOWCLOSE after its ",").
TEST(WaitLimits, NegativeMeansNoLimitAndHugeIsHeldToTheLongestWait) {
  const std::pair<const char*, long long> rows[] = {  // {text, limit in ms (-1: no limit)}
      {"", 0}, {"abc", 0}, {" +20x", 20}, {"-0", 0}, {"-1", -1}, {" -2147483648", -1},
      {"-99999999999999999999", -1}, {"2147483647", 2147483647}, {"4294967295", 2147483647},
      {"99999999999999999999", 2147483647}};
  for (const auto& [text, expected] : rows) {
    const WaitLimit limit = ReadWaitLimit(text);
    EXPECT_EQ(limit.unlimited ? -1 : static_cast<long long>(limit.ms), expected) << text;
  }
  const std::pair<const char*, long long> windows[] = {
      {" T ", -1}, {"T,", 0}, {"T,-5", -1}, {"T , 99999999999", 2147483647}};
  for (const auto& [argument, expected] : windows) {
    const WindowWaitArgs args = ParseWindowWait(argument);
    EXPECT_EQ(args.name, "T") << argument;
    EXPECT_EQ(args.limit.unlimited ? -1 : static_cast<long long>(args.limit.ms), expected)
        << argument;
  }
}
}  // namespace
