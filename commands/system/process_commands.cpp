// KILLPROCESS and ISPROCESSRUNNING: find a process by a text its program's path
// contains. Both expand the name and refuse a failed or cut expansion: a name
// cut short at a missing symbol could match (and end) another program.
#include "commands/system/process_commands.h"

#include "commands/system/process_control.h"
#include "commands/system/process_name_parse.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"

namespace {
// The expanded, trimmed name; 1 when it is empty, or the expansion's code.
unsigned ExpandName(const EngineContext &ctx, const std::string &text, std::string &name) {
  if (unsigned rc = ExpandForAction(ctx, text, name, kPathSize)) return rc;
  return TakeProcessName(name);
}

// Ends the first process whose path contains the name. Whether one was found or
// ended is not the line's concern; a library that cannot be loaded leaves the
// line succeeding.
unsigned KillProcessCommand(EngineContext &ctx, ScriptLine &line) {
  std::string name;
  if (unsigned rc = ExpandName(ctx, line.argumentText, name)) return FailLine(ctx, line, rc);
  std::unique_ptr<ProcessControl> control = MakeProcessControl();
  if (!control) return FailLine(ctx, line, kErrOutOfMemory);
  if (control->Init()) control->KillByName(name);
  return 0;
}

unsigned IsProcessRunning(EngineContext &ctx, ScriptLine &line) {
  std::string symbol, value;
  if (unsigned rc = SplitProcessTest(line.argumentText, symbol, value)) {
    return FailLine(ctx, line, rc);
  }
  std::string name;
  if (unsigned rc = ExpandName(ctx, value, name)) return FailLine(ctx, line, rc);
  std::unique_ptr<ProcessControl> control = MakeProcessControl();
  if (!control) return FailLine(ctx, line, kErrOutOfMemory);
  const bool running = control->Init() && control->IsRunning(name);
  return FailLine(ctx, line, SetSymbol(ctx.symbols, symbol, running ? "TRUE" : "FALSE"));
}
}  // namespace

void RegisterProcessCommands(HandlerTable &table) {
  table.Add(kCmdKillProcess, KillProcessCommand);
  table.Add(kCmdIsProcessRunning, IsProcessRunning);
}
