#include "commands/interaction/agent_arguments_parse.h"

#include <gtest/gtest.h>

#include <string>

namespace {
TEST(AgentArgumentsParse, FinalStatusNeverTurnsAnOutOfRangeNumberIntoSuccess) {
  const std::int32_t fail = static_cast<std::int32_t>(0x80004005);
  // Above 2147483647 a number keeps its 32-bit pattern, beyond 32 bits it is E_FAIL: flagged.
  const struct {
    std::string text;
    std::int32_t status;
    std::string message;
    bool outOfRange;
  } rows[] = {
      {"abc, a,b ", 0, "a,b", false},        {"2147483647", 2147483647, "", false},
      {"-2147483648", INT32_MIN, "", false}, {"4294967295,E", -1, "E", true},
      {"4294967296", fail, "", true},        {"99999999999999999999", fail, "", true},
      {"-2147483649", fail, "", true},
  };
  for (const auto& row : rows) {
    FinalStatusArgument argument = ParseFinalStatusArgument(row.text);
    EXPECT_EQ(argument.status, row.status) << row.text;
    EXPECT_EQ(argument.message, row.message) << row.text;
    EXPECT_EQ(argument.outOfRange, row.outOfRange) << row.text;
  }
}
}  // namespace
