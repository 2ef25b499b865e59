#include "commands/argument_checks.h"
#include "engine/command_table.h"
#include "engine/handler_table.h"
#include "engine/keywords.h"
#include "engine/script_check.h"
#include "host/command_families.h"
#include "support_code/script_test.h"

namespace {
// A word marked as carried out without a handler fails every script that uses it.
TEST(CommandTable, EveryRowWithAHandlerIsRegisteredAndNoOtherIs) {
  const HandlerTable& handlers = BuildHandlerTable();
  for (const CommandRow& row : CommandTable()) {
    if (row.id != kCmdUnknown) {
      EXPECT_EQ(handlers.Find(row.id) != nullptr, row.hasHandler) << row.word;
    }
  }
}

class ArgumentChecks : public ScriptTest {};

// The script check finds the code a real run fails with (a run that succeeds is checked by
// every Run()); a field holding a symbol is taken as written where the handler takes it so.
TEST_F(ArgumentChecks, RefuseWhatTheHandlerRefusesWithItsCode) {
  const struct {
    std::vector<std::string> lines;
    unsigned code;
  } rows[] = {
      {{"SET NoEquals"}, 23}, {{"CREATEREGKEY HKLM\\Software"}, 51},
      {{"CREATEREGKEY HKXX\\Software,New"}, 20},
      {{"SET Root=HKLM", "FINDREGKEY Found=%%Root%%\\Software"}, 20},
      {{"ISREGKEYEMPTY NoEquals"}, 51},
      {{"SETREGVALUE " + Key() + ",Value=/REG_DWORD:4294967296"}, 17},
      {{"DELETEREGKEYRECURSIVE HKLM\\"}, 51}, {{"DELETEINIFILESECTION setup.ini"}, 51},
      {{"GETINIFILEVALUE Value=setup.ini,Main"}, 26}, {{"INSTALLCAB Installed="}, 51},
      {{"COPYONEFILE only.txt"}, 51}, {{"STARTUSERAPP notepad.exe"}, 51},
      {{"WAITFORWINDOWCLOSE ,100"}, 51}, {{"GETSYSTEMINFO Info=SHOE_SIZE"}, 51},
      {{"CALLIF 1=1"}, 51}, {{"GETFILEVERSION NoEquals"}, 40},
      {{"CREATESERVICE OrqCheckSvc,Display"}, 51}, {{"PROGRESS ,,0,Copying"}, 51},
      {{"ADDSTARTMENU OrqCheck"}, 51}, {{"ISADMIN"}, 51}, {{"KILLPROCESS"}, 1},
      {{"ISPROCESSRUNNING Running="}, 1}, {{"REMOVEDIRRECURSIVE C"}, 51},
      {{"DELETEONEFILE"}, 51}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.lines.back());
    std::string text = "[DefaultInstall]\r\n";
    for (const std::string& line : row.lines) text += line + "\r\n";
    EXPECT_EQ(CheckScriptText(text, "DefaultInstall", ArgumentCheckOf).exitCode, row.code);
    EXPECT_EQ(Run(row.lines), row.code) << Log();
    // The reference lists every code a command can fail with.
    const std::string& line = row.lines.back();
    const CommandRow& command = CommandRowOf(LookupCommandWord(line.substr(0, line.find(' '))));
    const std::string codes = " " + std::string(command.errorCodes) + " ";
    EXPECT_NE(codes.find(" " + std::to_string(row.code) + " "), std::string::npos);
  }
}
}  // namespace
