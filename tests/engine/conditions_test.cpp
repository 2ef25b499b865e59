#include "engine/conditions.h"

#include "engine_test_support.h"

namespace {
using Conditions = EngineTest;

TEST_F(Conditions, VersionPairsReadDottedAndPlainNumbers) {
  const struct {
    const char* text;
    std::uint32_t high, low;
  } rows[] = {{"5.1", 327681, 0}, {"1.2.3.4", 65538, 196612},
              {"10", 10, 0},      {"-1", 0xFFFFFFFF, 0},
              {" +7x", 7, 0},     {"99999999999", 0x7FFFFFFF, 0},
              {"5.0", 327680, 0}, {"1.2.0.5", 65538, 5}};  // "0" counts like any number
  for (const auto& row : rows) {
    EXPECT_EQ(ReadVersionPair(row.text).high, row.high) << row.text;
    EXPECT_EQ(ReadVersionPair(row.text).low, row.low) << row.text;
  }
}

TEST_F(Conditions, ClausesCompareVersionsOrExactTextAndJoinWithABar) {
  EngineContext ctx;
  SetSymbol(ctx.symbols, "A", "1");
  SetSymbol(ctx.symbols, "V", "5.0.2195.0");
  SetSymbol(ctx.symbols, "Empty", "");
  // An empty or invalid clause ends the condition; only an operand's first 50 bytes count.
  for (const char* condition :
       {"5.0.2195.0>=4.0.1381.0", "5.1>5", "5.0>4.1", "1.2.0.5<1.2.0.7", "-1>2000000", "3<=3",
        "3>=3", "abc=abc", "abc!=ABC", "x==y|a==a", " %%A%% == 1 ", "%%V%%>=4.0.1381.0",
        "%%Missing%%==%%Missing%%", "%%Empty%%="}) {
    EXPECT_TRUE(EvaluateCondition(ctx, condition)) << condition;
  }
  for (const char* condition : {"10<9", "3<3", "abc==ABC", "x==y||a==a", "", "novalue|a==a",
                                "a!a|a==a", "==a", "%%A%%=="}) {
    EXPECT_FALSE(EvaluateCondition(ctx, condition)) << condition;
  }
  EXPECT_TRUE(EvaluateCondition(ctx, "1." + std::string(48, '0') + "9<=1.0"));
}
}  // namespace
