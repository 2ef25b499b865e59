#include "engine/conditions.h"

#include "engine_test_support.h"

namespace {
using Conditions = EngineTest;

TEST_F(Conditions, ClausesCompareVersionsOrExactTextAndJoinWithABar) {
  EngineContext ctx;
  SetSymbol(ctx.symbols, "A", "1");
  SetSymbol(ctx.symbols, "V", "5.0.2195.0");
  SetSymbol(ctx.symbols, "Empty", "");
  // An empty or invalid clause ends the condition; only an operand's first 50 bytes count.
  for (const char* condition :
       {"5.0.2195.0>=4.0.1381.0", "5.1>5", "5.0>4.1", "1.2.0.5<1.2.0.7", "-1>2000000", "3<=3",
        "3>=3", "abc=abc", "abc!=ABC", "x==y|a==a", " %%A%% == 1 ", "%%V%%>=4.0.1381.0",
        "%%Missing%%==%%Missing%%", "%%Empty%%=", "5.0>10", "1.2.3.4>1.2.2.9", "1.2.3.4<1.2.4",
        " +7x>=7", "+7x<=7", "99999999999>=2147483647", "99999999999<=2147483647",
        "-1>99999999999"}) {
    EXPECT_TRUE(EvaluateCondition(ctx, condition)) << condition;
  }
  for (const char* condition : {"10<9", "3<3", "abc==ABC", "x==y||a==a", "", "novalue|a==a",
                                "a!a|a==a", "==a", "%%A%%=="}) {
    EXPECT_FALSE(EvaluateCondition(ctx, condition)) << condition;
  }
  EXPECT_TRUE(EvaluateCondition(ctx, "1." + std::string(48, '0') + "9<=1.0"));
}
}  // namespace
