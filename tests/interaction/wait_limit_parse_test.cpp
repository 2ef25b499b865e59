// One reading of a wait's limit for every command that waits: a limit never turns into a
// wait of weeks or for ever by being read as an unsigned count.
#include "commands/interaction/wait_limit_parse.h"

#include <gtest/gtest.h>

#include "commands/system/program_command_parse.h"

namespace {
TEST(WaitLimits, NegativeMeansNoLimitAndHugeIsHeldToTheLongestWait) {
  // {text, limit in ms (-1: no limit)}
  const std::pair<const char*, long long> rows[] = {
      {"", 0}, {"abc", 0}, {" +20x", 20}, {"-0", 0}, {"-1", -1}, {" -2147483648", -1},
      {"-99999999999999999999", -1}, {"2147483647", 2147483647}, {"4294967295", 2147483647},
      {"99999999999999999999", 2147483647}};
  for (const auto& [text, expected] : rows) {
    const WaitLimit limit = ReadWaitLimit(text);
    EXPECT_EQ(limit.unlimited ? -1 : static_cast<long long>(limit.ms), expected) << text;
  }
  // WAITFORWINDOWCLOSE reads its part after the "," by the same rule; no "," is no limit.
  const std::pair<const char*, long long> windows[] = {
      {" T ", -1}, {"T,", 0}, {"T,abc", 0}, {"T,-5", -1}, {"T , 99999999999", 2147483647}};
  for (const auto& [argument, expected] : windows) {
    const WindowWaitArgs args = ParseWindowWait(argument);
    EXPECT_EQ(args.name, "T") << argument;
    EXPECT_EQ(args.limit.unlimited ? -1 : static_cast<long long>(args.limit.ms), expected)
        << argument;
  }
}
}  // namespace
