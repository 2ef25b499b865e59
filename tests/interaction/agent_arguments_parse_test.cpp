#include "commands/interaction/agent_arguments_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
TEST(AgentArgumentsParse, FinalStatusNeverTurnsAnOutOfRangeNumberIntoSuccess) {
  struct Row {
    std::string text;
    std::int32_t status;
    std::string message;
    bool outOfRange;
  };
  const std::int32_t fail = static_cast<std::int32_t>(0x80004005);
  const std::vector<Row> rows = {
      {"-5, Update failed ", -5, "Update failed", false},
      {"0", 0, "", false},
      {"abc,msg", 0, "msg", false},
      {"2147483647,a,b", 2147483647, "a,b", false},
      {"-2147483648", INT32_MIN, "", false},
      {"2147500037,E", fail, "E", true},
      {"4294967295", -1, "", true},
      {"4294967296", fail, "", true},
      {"99999999999999999999", fail, "", true},
      {"-2147483649", fail, "", true},
  };
  for (const Row& row : rows) {
    FinalStatusArgument argument = ParseFinalStatusArgument(row.text);
    EXPECT_EQ(argument.status, row.status) << row.text;
    EXPECT_EQ(argument.message, row.message) << row.text;
    EXPECT_EQ(argument.outOfRange, row.outOfRange) << row.text;
  }
}
}  // namespace
