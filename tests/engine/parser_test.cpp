#include "engine_test_support.h"

namespace {
using Parser = EngineTest;

TEST_F(Parser, CommentsAndBlankLinesAreSkippedAndCounted) {
  unsigned status = 0;
  auto ctx = Parse(Lines({"[Main]", "; note", "", "  SET X=1", "\tset x = 1 ; not a comment"}), status);
  ASSERT_EQ(status, 0u);
  ASSERT_EQ(ctx->sections.size(), 1u);
  const ScriptSection& main = *ctx->sections[0];
  EXPECT_EQ(main.name, "Main");
  ASSERT_EQ(main.lines.size(), 2u);
  EXPECT_EQ(main.lines[0].commandWord, "SET");
  EXPECT_EQ(main.lines[0].commandId, kCmdSet);
  EXPECT_EQ(main.lines[0].argumentText, "X=1");
  EXPECT_EQ(main.lines[0].lineNumber, 4u);
  EXPECT_EQ(main.lines[1].commandWord, "set");
  EXPECT_EQ(main.lines[1].commandId, kCmdSet);
  EXPECT_EQ(main.lines[1].argumentText, "x = 1 ; not a comment");
  EXPECT_EQ(main.lines[1].lineNumber, 5u);
}

TEST_F(Parser, CommandWordIsTheRunOfLettersAndDigits) {
  unsigned status = 0;
  auto ctx = Parse(Lines({"[S]", "SETX=1", "SET_X", "SET\tY=2", "%%X%% = 1", "CALLIF [a]"}), status);
  ASSERT_EQ(status, 0u);
  const auto& lines = ctx->sections[0]->lines;
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].commandWord, "SETX");
  EXPECT_EQ(lines[0].commandId, kCmdUnknown);
  EXPECT_EQ(lines[1].commandWord, "SET");
  EXPECT_EQ(lines[1].argumentText, "_X");
  EXPECT_EQ(lines[2].argumentText, "Y=2");
  EXPECT_EQ(lines[3].commandWord, "");
  EXPECT_EQ(lines[3].commandId, kCmdUnknown);
  EXPECT_EQ(lines[4].commandId, kCmdCallIf);
  EXPECT_EQ(lines[4].argumentText, "[a]");  // a "[" inside the argument is part of it
}

TEST_F(Parser, SectionNamesAreKeptExactlyAndTheFirstOfTwoIsFound) {
  unsigned status = 0;
  auto ctx = Parse(Lines({"[ Main ]", "SET A=1", "[main]", "[Dup]", "SET B=1", "[Dup]", "SET C=1"}), status);
  ASSERT_EQ(status, 0u);
  EXPECT_EQ(FindSection(*ctx, "Main"), nullptr);
  ASSERT_NE(FindSection(*ctx, " Main "), nullptr);
  EXPECT_NE(FindSection(*ctx, "main"), nullptr);
  ScriptSection* dup = FindSection(*ctx, "Dup");
  ASSERT_NE(dup, nullptr);
  EXPECT_EQ(dup->lines[0].argumentText, "B=1");
  EXPECT_EQ(ctx->sections.size(), 4u);
}

TEST_F(Parser, ArgumentOf512BytesFitsAnd513Fails) {
  unsigned status = 0;
  Parse("[S]\r\nSET X=" + std::string(510, 'v') + "\r\n", status);
  EXPECT_EQ(status, 0u);
  Parse("[S]\r\nSET X=" + std::string(511, 'v') + "\r\n", status);
  EXPECT_EQ(status, 3u);
  EXPECT_NE(ReadLog().find(">>Line 2: SET X=vvv"), std::string::npos);
}

TEST_F(Parser, LinesBeforeTheFirstHeaderRejectTheScript) {
  unsigned status = 0;
  Parse(Lines({"SET X=1", "[Main]"}), status);
  EXPECT_EQ(status, 2u);
  // A byte-order mark is such a line.
  Parse("\xEF\xBB\xBF[Main]\r\nSET X=1\r\n", status);
  EXPECT_EQ(status, 2u);
}

TEST_F(Parser, MalformedHeadersAreRefused) {
  unsigned status = 0;
  Parse(Lines({"[Main", "SET X=1", "]"}), status);  // the name would run on over later lines
  EXPECT_EQ(status, 3u);
  Parse("[" + std::string(199, 'n') + "]\r\n", status);
  EXPECT_EQ(status, 0u);
  Parse("[" + std::string(200, 'n') + "]\r\n", status);
  EXPECT_EQ(status, 3u);
}

TEST_F(Parser, LineFeedAloneEndsALineToo) {
  unsigned status = 0;
  auto ctx = Parse("[Main]\nSET A=1\nSET B=2\n", status);
  ASSERT_EQ(status, 0u);
  const auto& lines = ctx->sections[0]->lines;
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].argumentText, "A=1");
  EXPECT_EQ(lines[1].lineNumber, 3u);
}

TEST_F(Parser, AZeroByteEndsTheScript) {
  unsigned status = 0;
  auto ctx = Parse(std::string("[Main]\r\nSET A=1\r\n\0SET B=2\r\n", 26), status);
  ASSERT_EQ(status, 0u);
  EXPECT_EQ(ctx->sections[0]->lines.size(), 1u);
}

TEST_F(Parser, DoubleByteTrailBytesAreNeverSeparators) {
  SetAnsiCodePageForTesting(932);
  unsigned status = 0;
  // Trail bytes "]", "\" and "[" stay inside their characters: in a header, an argument
  // and a comment.
  auto ctx = Parse("[A\x95\x5D" "B]\r\nSET X=\x95\x5C\r\n;\x95\x5B\r\nSET Y=1\r\n", status);
  ASSERT_EQ(status, 0u);
  ASSERT_NE(FindSection(*ctx, "A\x95\x5D" "B"), nullptr);
  const auto& lines = ctx->sections[0]->lines;
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].argumentText, "X=\x95\x5C");
  EXPECT_EQ(lines[1].lineNumber, 4u);
}

TEST_F(Parser, LoadFailuresHaveTheirCodes) {
  EXPECT_EQ(ExecuteScript((dir_ / "missing.Orq").string(), "Main", dir_.string(), EngineHandlerTable()), 9u);
  EXPECT_NE(ReadLog().find("Error Loading Script File: "), std::string::npos);
  EXPECT_EQ(ReadLog().find("closed."), std::string::npos);
  EXPECT_EQ(Run("").status, 8u);
  EXPECT_EQ(Run(Lines({"; only a comment", ""})).status, 7u);
  EXPECT_EQ(Run(Lines({"[Other]", "SET X=1"})).status, 7u);
}
}  // namespace
