#include "engine_test_support.h"
#include "engine/conditions.h"

namespace {
using Conditions = EngineTest;

TEST_F(Conditions, VersionPairsReadDottedAndPlainNumbers) {
  EXPECT_EQ(ReadVersionPair("5.1").high, 327681u);
  EXPECT_EQ(ReadVersionPair("5.1").low, 0u);
  EXPECT_EQ(ReadVersionPair("1.2.3.4").high, 65538u);
  EXPECT_EQ(ReadVersionPair("1.2.3.4").low, 196612u);
  EXPECT_EQ(ReadVersionPair("10").high, 10u);
  EXPECT_EQ(ReadVersionPair("-1").high, 0xFFFFFFFFu);
  EXPECT_EQ(ReadVersionPair(" +7x").high, 7u);
  EXPECT_EQ(ReadVersionPair("99999999999").high, 0x7FFFFFFFu);  // held to 32 bits
  // A part written "0" counts like any other number.
  EXPECT_EQ(ReadVersionPair("5.0").high, 327680u);
  EXPECT_EQ(ReadVersionPair("1.2.0.5").low, 5u);
}

TEST_F(Conditions, OrderingComparesVersionsNotText) {
  EXPECT_TRUE(CompareOperands("5.0.2195.0", "4.0.1381.0", ">="));
  EXPECT_FALSE(CompareOperands("10", "9", "<"));
  EXPECT_TRUE(CompareOperands("5.1", "5", ">"));
  EXPECT_TRUE(CompareOperands("5.0", "4.1", ">"));
  EXPECT_TRUE(CompareOperands("1.2.0.5", "1.2.0.7", "<"));
  EXPECT_TRUE(CompareOperands("-1", "2000000", ">"));
  EXPECT_TRUE(CompareOperands("3", "3", "<="));
  EXPECT_TRUE(CompareOperands("3", "3", ">="));
  EXPECT_FALSE(CompareOperands("3", "3", "<"));
  // Only the first 50 bytes of an operand take part.
  std::string longLeft = "1." + std::string(48, '0') + "9";
  EXPECT_TRUE(CompareOperands(longLeft, "1.0", "<="));
}

TEST_F(Conditions, EqualityIsExactAndCaseSensitive) {
  EXPECT_FALSE(CompareOperands("abc", "ABC", "=="));
  EXPECT_TRUE(CompareOperands("abc", "abc", "="));
  EXPECT_TRUE(CompareOperands("abc", "ABC", "!="));
}

TEST_F(Conditions, ClausesJoinWithBarAndStopAtAnEmptyOrInvalidOne) {
  EngineContext ctx;
  SetSymbol(ctx.symbols, "A", "1");
  SetSymbol(ctx.symbols, "V", "5.0.2195.0");
  EXPECT_TRUE(EvaluateCondition(ctx, "x==y|a==a"));
  EXPECT_FALSE(EvaluateCondition(ctx, "x==y||a==a"));
  EXPECT_FALSE(EvaluateCondition(ctx, ""));
  EXPECT_FALSE(EvaluateCondition(ctx, "novalue|a==a"));  // no operator: invalid, ends it
  EXPECT_FALSE(EvaluateCondition(ctx, "a!a|a==a"));      // "!" alone is no operator
  EXPECT_FALSE(EvaluateCondition(ctx, "==a"));           // empty left operand
  EXPECT_TRUE(EvaluateCondition(ctx, " %%A%% == 1 "));
  EXPECT_TRUE(EvaluateCondition(ctx, "%%V%%>=4.0.1381.0"));
  EXPECT_TRUE(EvaluateCondition(ctx, "%%Missing%%==%%Missing%%"));  // compared as written
  SetSymbol(ctx.symbols, "Empty", "");
  EXPECT_TRUE(EvaluateCondition(ctx, "%%Empty%%="));  // an empty right operand is allowed
  EXPECT_FALSE(EvaluateCondition(ctx, "%%A%%=="));
}

TEST_F(Conditions, DoubleByteTrailBytesAreNotOperatorsOrBars) {
  SetAnsiCodePageForTesting(932);
  EngineContext ctx;
  SetSymbol(ctx.symbols, "N", "\x95\x7C");
  // 0x95 0x7C is one character whose trail byte is "|".
  EXPECT_TRUE(EvaluateCondition(ctx, "%%N%%==\x95\x7C|x==y"));
  EXPECT_TRUE(EvaluateCondition(ctx, "a==b|\x95\x7C==%%N%%"));
  EXPECT_FALSE(EvaluateCondition(ctx, "\x95\x7C==\x95"));
}
}  // namespace
