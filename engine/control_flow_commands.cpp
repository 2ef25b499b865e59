// CALL, CALLIF, GOTOIF, RETURN, RETURNIF and CONTINUEIF.
#include "engine/conditions.h"
#include "engine/control_flow.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/runner.h"
#include "engine/script_model.h"
#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
constexpr std::size_t kNameSize = 260;
constexpr std::size_t kConditionSize = 512;

// Runs a section for a line. A call past the nesting bound fails the line that made it;
// the lines above pass the status on without reporting it again.
unsigned CallSection(EngineContext& ctx, ScriptLine& line, const std::string& section,
                     const std::string* resultName) {
  unsigned status = RunSection(ctx, section, resultName);
  if (status == kErrCallsTooDeep && ctx.lastError != kErrCallsTooDeep) {
    return FailLine(ctx, line, status);
  }
  return status;
}

unsigned Call(EngineContext& ctx, ScriptLine& line) {
  std::string result, section;
  bool hasResult = false;
  if (unsigned status = SplitCallTarget(line.argumentText, result, section, hasResult)) {
    return FailLine(ctx, line, status);
  }
  return CallSection(ctx, line, section, hasResult ? &result : nullptr);
}

unsigned CallIf(EngineContext& ctx, ScriptLine& line) {
  std::string_view condition, target;
  if (!SplitConditionLine(line.argumentText, condition, target)) {
    return FailLine(ctx, line, kErrInvalidSwitch);
  }
  if (!EvaluateCondition(ctx, TrimmedCopy(condition))) return 0;
  std::string result, section;
  bool hasResult = false;
  if (unsigned status = SplitCallTarget(target, result, section, hasResult)) {
    return FailLine(ctx, line, status);
  }
  return CallSection(ctx, line, section, hasResult ? &result : nullptr);
}

unsigned GotoIf(EngineContext& ctx, ScriptLine& line) {
  std::string_view written, target;
  if (!SplitConditionLine(line.argumentText, written, target)) {
    return kErrInvalidSwitch;  // unreported
  }
  std::string section = TrimmedCopy(target);
  std::string condition;
  ExpandSymbols(ctx, written, condition, kConditionSize);  // keeps what it made
  TrimText(condition);
  if (!EvaluateCondition(ctx, condition)) return 0;
  return CallSection(ctx, line, section, nullptr);
}

unsigned ContinueIf(EngineContext& ctx, ScriptLine& line) {
  if (EvaluateCondition(ctx, line.argumentText)) return 0;
  ctx.lineNumber = line.lineNumber;
  ctx.lastText = FitToBuffer(line.argumentText, kLastTextSize);
  return kConditionalStop;
}
}  // namespace

bool SplitConditionLine(std::string_view text, std::string_view& condition,
                        std::string_view& rest) {
  const std::size_t comma = FindChar(text, ',');
  if (comma == std::string_view::npos) return false;
  condition = text.substr(0, comma);
  rest = text.substr(comma + 1);
  return true;
}

unsigned SplitCallTarget(std::string_view text, std::string& result, std::string& section,
                         bool& hasResult) {
  hasResult = FindChar(text, '=') != std::string_view::npos;
  if (!hasResult) {
    section = TrimmedCopy(text);
    return 0;
  }
  return SplitNameValue(text, kNameSize, kNameSize, result, section);
}

void CarryOutReturn(EngineContext& ctx, ScriptLine& line, std::string& value) {
  TrimText(line.argumentText);
  if (ExpandSymbols(ctx, line.argumentText, value, kReturnValueSize) != 0) {
    value = FitToBuffer(line.argumentText, kReturnValueSize);
  }
}

unsigned CarryOutReturnIf(EngineContext& ctx, ScriptLine& line, std::string& value) {
  std::string_view condition, rest;
  if (!SplitConditionLine(line.argumentText, condition, rest)) {
    return FailLine(ctx, line, kErrInvalidSwitch);
  }
  if (!EvaluateCondition(ctx, TrimmedCopy(condition))) return kReturnIfNotHeld;
  std::string written = TrimmedCopy(rest);
  unsigned status = ExpandSymbols(ctx, written, value, kReturnValueSize);
  if (status != 0) {
    value = FitToBuffer(written, kReturnValueSize);
    return FailLine(ctx, line, status);
  }
  return 0;
}

void RegisterControlFlowCommands(HandlerTable& table) {
  table.Add(kCmdCall, Call);
  table.Add(kCmdCallIf, CallIf);
  table.Add(kCmdGotoIf, GotoIf);
  table.Add(kCmdContinueIf, ContinueIf);
  table.Add(kCmdReturn, EmptyHandler);    // carried out by the section runner
  table.Add(kCmdReturnIf, EmptyHandler);  // likewise
}
