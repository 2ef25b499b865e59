#include "engine/symbols.h"

#include "engine_test_support.h"

namespace {
using Symbols = EngineTest;

// What is acted on must never be a shortened text.
TEST_F(Symbols, ExpansionAndExpansionForAction) {
  EngineContext ctx;
  SetSymbol(ctx.symbols, "A", "x");
  SetSymbol(ctx.symbols, "Ver", "1");
  SetSymbol(ctx.symbols, "VER", "2");
  SetSymbol(ctx.symbols, "Self", "%%A%%");
  SetSymbol(ctx.symbols, "Big", std::string(2000, 'b'));
  SetSymbol(ctx.symbols, "Fit", "fffff");
  const struct {
    std::string text;
    std::size_t size;
    std::string out;
    unsigned status, forAction;
  } rows[] = {
      {"%%Ver%%%%VER%%", 260, "12", 0, 0},
      {"%%Self%%", 260, "%%A%%", 0, 0},  // values are not expanded again
      {"C:\\Prod\\%%SUB", 260, "C:\\Prod\\", 0, 28},  // unclosed: the rest is left out
      {"a%%Big%%z", 1024, "az", 0, 59},
      {"abcd%%Fit%%", 10, "abcdfffff", 0, 0},  // exactly 9 bytes fit
      {"abcde%%Fit%%", 10, "abcde", 0, 59},
      {std::string(20, 'x'), 10, std::string(9, 'x'), 0, 59},
      {"", 1, "", 0, 0},
  };
  for (const auto& row : rows) {
    std::string out, forAction;
    EXPECT_EQ(ExpandSymbols(ctx, row.text, out, row.size), row.status) << row.text;
    EXPECT_EQ(out, row.out) << row.text;
    EXPECT_EQ(ExpandForAction(ctx, row.text, forAction, row.size), row.forAction) << row.text;
    EXPECT_EQ(forAction, row.forAction ? forAction : row.out) << row.text;
  }
}
}  // namespace
