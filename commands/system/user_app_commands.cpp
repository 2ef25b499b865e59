// STARTUSERAPP and CLOSEUSERAPP: the calling agent starts or closes a program on the logged-on
// user's desktop through its application utility. Without that interface (or, for STARTUSERAPP, in
// quiet mode) nothing happens and the line succeeds.
#include "commands/system/program_command_parse.h"
#include "commands/system/program_families.h"
#include "engine/agent_link.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/host_values.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"

namespace {
constexpr std::size_t kCommandSize = 260;
constexpr long kCloseTimeoutMs = 30000;
constexpr long kCloseFlags = -1;

unsigned StartUserApp(EngineContext& ctx, ScriptLine& line) {
  UserAppArgs args;
  if (!ParseUserApp(line.argumentText, args)) return FailLine(ctx, line, kErrInvalidSwitch);
  std::string command;
  if (unsigned rc = ExpandForAction(ctx, TrimmedCopy(args.command), command, kCommandSize)) {
    return FailLine(ctx, line, rc);
  }
  TrimText(command);
  if (!TheHostValues().quietMode) AgentStartApplication(command, args.number);
  return 0;
}

unsigned CloseUserApp(EngineContext& ctx, ScriptLine& line) {
  std::string name;
  if (unsigned rc = ExpandForAction(ctx, line.argumentText, name, kCommandSize)) {
    return FailLine(ctx, line, rc);
  }
  TrimText(name);
  AgentCloseApplication(name, "", kCloseTimeoutMs, kCloseFlags);
  return 0;
}
}  // namespace

void RegisterUserAppCommands(HandlerTable& table) {
  table.Add(kCmdStartUserApp, StartUserApp);
  table.Add(kCmdCloseUserApp, CloseUserApp);
}
