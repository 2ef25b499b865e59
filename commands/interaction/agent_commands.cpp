// The commands that talk to the calling agent: PROGRESS (through its callback, at once)
// and SETFINALSTATUS (kept for the report at the end of the run).
#include "commands/interaction/agent_commands.h"

#include "commands/interaction/agent_arguments_parse.h"
#include "engine/agent_link.h"
#include "engine/errors.h"
#include "engine/final_status.h"
#include "engine/handler_table.h"
#include "engine/host_values.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/log.h"

namespace {
constexpr std::size_t kProgressTextSize = 520;
constexpr std::size_t kFinalStatusTextSize = 1024;

// Shown to the agent only, so a missing symbol or a long value leaves the text as far as
// it was expanded.
unsigned Progress(EngineContext& ctx, ScriptLine& line) {
  if (TheHostValues().quietMode) return 0;
  ProgressFields fields = SplitProgressArgument(line.argumentText);
  if (fields.first.empty() || fields.second.empty()) return FailLine(ctx, line, kErrInvalidSwitch);
  if (!AgentHasCallback()) return 0;
  std::string text;
  ExpandSymbols(ctx, fields.text, text, kProgressTextSize);
  AgentProgress(ReadLongNumber(fields.first), ReadLongNumber(fields.second),
                ReadLongNumber(fields.third), text);
  return 0;
}

unsigned SetFinalStatus(EngineContext& ctx, ScriptLine& line) {
  std::string expanded;
  ExpandSymbols(ctx, TrimmedCopy(line.argumentText), expanded, kFinalStatusTextSize);
  FinalStatusArgument argument = ParseFinalStatusArgument(expanded);
  if (argument.notANumber) {
    LogStatus("SETFINALSTATUS: \"%s\" is not a decimal number; the status was read as %ld",
              argument.numberText.c_str(), static_cast<long>(argument.status));
  } else if (argument.outOfRange) {
    LogStatus("SETFINALSTATUS: %s is beyond a 32-bit status; 0x%08lX is reported", expanded.c_str(),
              static_cast<unsigned long>(argument.status));
  }
  FinalStatus& status = TheFinalStatus();
  status.status = argument.status;
  status.message = std::move(argument.message);
  return 0;
}
}  // namespace

void RegisterAgentCommands(HandlerTable& table) {
  table.Add(kCmdProgress, Progress);
  table.Add(kCmdSetFinalStatus, SetFinalStatus);
}
