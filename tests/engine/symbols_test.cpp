#include "engine_test_support.h"
#include "engine/symbols.h"

namespace {
using Symbols = EngineTest;

std::string Expand(const EngineContext& ctx, const std::string& text, std::size_t size,
                   unsigned* status = nullptr) {
  std::string out;
  unsigned s = ExpandSymbols(ctx, text, out, size);
  if (status) *status = s;
  return out;
}

TEST_F(Symbols, ExpansionReplacesReferencesAndCopiesEverythingElse) {
  EngineContext ctx;
  SetSymbol(ctx.symbols, "A", "x");
  SetSymbol(ctx.symbols, "Ver", "1");
  SetSymbol(ctx.symbols, "VER", "2");
  SetSymbol(ctx.symbols, "Self", "%%A%%");
  EXPECT_EQ(Expand(ctx, "%%A%%y", 260), "xy");
  EXPECT_EQ(Expand(ctx, "%%Ver%%%%VER%%", 260), "12");
  EXPECT_EQ(Expand(ctx, "50% and 5%", 260), "50% and 5%");
  EXPECT_EQ(Expand(ctx, "%%Self%%", 260), "%%A%%");  // values are not expanded again
  EXPECT_EQ(Expand(ctx, "k%%B", 260), "k");          // unclosed: the rest is left out
}

TEST_F(Symbols, MissingSymbolStopsTheExpansion) {
  EngineContext ctx;
  unsigned status = 0;
  EXPECT_EQ(Expand(ctx, "head %%Missing%% tail", 260, &status), "head ");
  EXPECT_EQ(status, 28u);
  Expand(ctx, "%%%%", 260, &status);
  EXPECT_EQ(status, 28u);
  SetSymbol(ctx.symbols, "", "empty-named");
  EXPECT_EQ(Expand(ctx, "%%%%", 260, &status), "empty-named");
  EXPECT_EQ(status, 0u);
}

TEST_F(Symbols, ValueThatDoesNotFitIsLeftOutWhole) {
  EngineContext ctx;
  SetSymbol(ctx.symbols, "Big", std::string(2000, 'b'));
  SetSymbol(ctx.symbols, "Fit", std::string(5, 'f'));
  EXPECT_EQ(Expand(ctx, "a%%Big%%z", 1024), "az");
  EXPECT_EQ(Expand(ctx, "abcd%%Fit%%", 10), "abcdfffff");   // exactly 9 bytes fit
  EXPECT_EQ(Expand(ctx, "abcde%%Fit%%", 10), "abcde");
  EXPECT_EQ(Expand(ctx, std::string(20, 'x'), 10), std::string(9, 'x'));
}

// What ExpandSymbols shortens, the expansion of acted-on texts refuses; a text that fits
// exactly is whole.
TEST_F(Symbols, ExpansionForActionRefusesEveryShortenedText) {
  EngineContext ctx;
  SetSymbol(ctx.symbols, "Big", std::string(2000, 'b'));
  SetSymbol(ctx.symbols, "Fit", std::string(5, 'f'));
  const struct {
    std::string text;
    std::size_t size;
    unsigned status;
  } rows[] = {{"a%%Big%%z", 1024, 59},  {"abcde%%Fit%%", 10, 59}, {std::string(20, 'x'), 10, 59},
              {"abcd%%Fit%%", 10, 0},   {std::string(9, 'x'), 10, 0}, {"C:\\Prod\\%%SUB", 260, 28},
              {"%%Missing%%", 260, 28}, {"", 1, 0}};
  for (const auto& row : rows) {
    std::string out;
    EXPECT_EQ(ExpandForAction(ctx, row.text, out, row.size), row.status) << row.text;
    if (row.status == 0) {
      EXPECT_EQ(out, Expand(ctx, row.text, row.size));
    }
  }
}

TEST_F(Symbols, SetCommandSetsAndKeepsOldValueOnFailure) {
  auto r = Run(Lines({"[Main]", "SET A=x", "SET B=%%A%%y", "SET A=z", "SET G=a=b", "SET =v",
                      "SET D=50%", "SET K=%%B", "CONTINUEIF %%B%%==xy", "CONTINUEIF %%A%%==z",
                      "CONTINUEIF %%G%%==a=b", "CONTINUEIF %%%%==v", "CONTINUEIF %%D%%==50%",
                      "CONTINUEIF %%K%%==", "SET F=%%Missing%% tail"}));
  // Every CONTINUEIF held, so the run reached the failing SET.
  EXPECT_EQ(r.status, 28u);
  EXPECT_EQ(r.errorLine, 15u);
  EXPECT_NE(r.log.find("Error: Specified symbol was not found.\n>>Line 15: SET F=%%Missing%% tail"),
            std::string::npos);
}

TEST_F(Symbols, SetWithoutEqualsSignReportsNowhereToPutValue) {
  auto r = Run(Lines({"[Main]", "SET A=1", "", "SET X"}));
  EXPECT_EQ(r.status, 23u);
  EXPECT_NE(r.log.find("Error: Nowhere to put value.\n>>Line 4: SET X\r\n"), std::string::npos);
  EXPECT_EQ(TheFinalStatus().status, static_cast<std::int32_t>(0x80004005));
  EXPECT_EQ(TheFinalStatus().message, "Orqex Script: Nowhere to put value.<br>SET X");
  EXPECT_NE(r.log.find("Script: " + (dir_ / "test.Orq").string() + " closed."), std::string::npos);
}

TEST_F(Symbols, GetParamFindsLowerCaseKeysOnly) {
  TheHostValues().paramsText = "lang=\"de\" mode=\"silent\" pid=\"7\" open=\"x";
  auto r = Run(Lines({"[Main]", "GETPARAM L=LANG", "GETPARAM M=none", "GETPARAM I=id",
                      "GETPARAM P=pid", "GETPARAM O=open",
                      "CONTINUEIF %%L%%==de", "CONTINUEIF %%M%%==", "CONTINUEIF %%I%%==",
                      "CONTINUEIF %%P%%==7", "CONTINUEIF %%O%%==", "SET Done=1", "GETPARAM X"}));
  EXPECT_EQ(r.status, 23u) << r.log;
  EXPECT_EQ(r.errorLine, 13u);
}

TEST_F(Symbols, SetWorkDirExpandsAndKeepsOldValueOnFailure) {
  std::string path = WriteScript(Lines({"[Main]", "SET D=C:\\Work", "SETWORKDIR  %%D%%\\sub "}));
  std::unique_ptr<EngineContext> ctx;
  ASSERT_EQ(ScriptOpen(path, "Main", dir_.string(), ctx), 0u);
  ctx->handlers = &EngineHandlerTable();
  ASSERT_EQ(ScriptRun(*ctx, "Main"), 0u);
  EXPECT_EQ(ctx->workDir, "C:\\Work\\sub");
  EXPECT_EQ(ctx->scriptDir, dir_.string());
}
}  // namespace
