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
}  // namespace
