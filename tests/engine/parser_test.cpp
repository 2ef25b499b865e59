#include "engine_test_support.h"

namespace {
class Parser : public EngineTest {
 protected:
  // "<status> [section] <number>:<word>(<argument>)", "?" after a word that is no command.
  std::string Parsed(const std::string& text) {
    unsigned status = 0;
    auto ctx = Parse(text, status);
    std::string out = std::to_string(status);
    for (const auto& section : ctx->sections) {
      out += " [" + section->name + "]";
      for (const ScriptLine& line : section->lines) {
        out += " " + std::to_string(line.lineNumber) + ":" + line.commandWord +
               (line.commandId == kCmdUnknown ? "?" : "") + "(" + line.argumentText + ")";
      }
    }
    return status ? std::to_string(status) : out;
  }
};

TEST_F(Parser, LinesSectionsAndRefusals) {
  const std::string v510(510, 'v'), n199(199, 'n');
  const std::pair<std::string, std::string> rows[] = {
      {"[Main]\r\n; note\r\n\r\n  SET X=1\r\n\tset x = 1 ; not a comment\r\n",
       "0 [Main] 4:SET(X=1) 5:set(x = 1 ; not a comment)"},
      // The command word is the run of letters and digits; a "[" in an argument is part of it.
      {"[S]\r\nSETX=1\r\nSET_X\r\nSET\tY=2\r\n%%X%% = 1\r\nCALLIF [a]\r\n",
       "0 [S] 2:SETX?(=1) 3:SET(_X) 4:SET(Y=2) 5:?(%%X%% = 1) 6:CALLIF([a])"},
      {std::string("[Main]\r\nSET A=1\r\n\0SET B=2\r\n", 26), "0 [Main] 2:SET(A=1)"},
      {"[S]\r\nSET X=" + v510 + "\r\n", "0 [S] 2:SET(X=" + v510 + ")"},
      {"[S]\r\nSET X=" + v510 + "v\r\n", "3"},
      {"[" + n199 + "]\r\n", "0 [" + n199 + "]"},
      {"[" + n199 + "n]\r\n", "3"},
      {"[Main\r\nSET X=1\r\n]\r\n", "3"},          // the name would run on over later lines
      {"SET X=1\r\n[Main]\r\n", "2"},              // lines before the first header
      {"\xEF\xBB\xBF[Main]\r\nSET X=1\r\n", "2"},  // a byte-order mark is such a line
  };
  for (const auto& [text, parsed] : rows) EXPECT_EQ(Parsed(text), parsed) << text;
  EXPECT_NE(ReadLog().find("Error: Specified section in script file is too long.\n"
                           ">>Line 2: SET X=vvv"),
            std::string::npos) << ReadLog();
}
}  // namespace
