#include "commands/interaction/agent_arguments_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
TEST(AgentArgumentsParse, ProgressTakesFourUntrimmedFieldsEachCut) {
  struct Row {
    std::string argument, first, second, third, text;
  };
  const std::vector<Row> rows = {
      {"  10,20 ", "10", "20", "", ""},
      {"1,,3,text", "1", "", "3", "text"},
      {"1, 2 ,3, a b ,fifth", "1", " 2 ", "3", " a b "},
      {"1,2,3," + std::string(300, 'x'), "1", "2", "3", std::string(259, 'x')},
  };
  for (const Row& row : rows) {
    ProgressFields fields = SplitProgressArgument(row.argument);
    EXPECT_EQ(fields.first, row.first) << row.argument;
    EXPECT_EQ(fields.second, row.second) << row.argument;
    EXPECT_EQ(fields.third, row.third) << row.argument;
    EXPECT_EQ(fields.text, row.text) << row.argument;
  }
  EXPECT_EQ(ReadLongNumber(" -12abc"), -12);
  EXPECT_EQ(ReadLongNumber("99999999999"), INT32_MAX);
  EXPECT_EQ(ReadLongNumber("-99999999999"), INT32_MIN);
}

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
