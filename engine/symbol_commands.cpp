// SET, GETPARAM and SETWORKDIR.
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/host_values.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
constexpr std::size_t kNameSize = 260;
constexpr std::size_t kParamSize = 1000;

unsigned Set(EngineContext& ctx, ScriptLine& line) {
  std::string name, value, expanded;
  unsigned status = SplitNameValue(line.argumentText, kNameSize, kSetValueSize, name, value);
  if (status == 0) status = ExpandSymbols(ctx, value, expanded, kSetValueSize);
  if (status == 0) status = SetSymbol(ctx.symbols, name, expanded);
  return FailLine(ctx, line, status);
}

std::string LowerCase(std::string text) {
  for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
  }
  return text;
}

unsigned GetParam(EngineContext& ctx, ScriptLine& line) {
  std::string name, key, expanded;
  unsigned status = SplitNameValue(line.argumentText, kParamSize, kParamSize, name, key);
  if (status == 0) status = ExpandSymbols(ctx, key, expanded, kParamSize);
  if (status == 0) {
    status = SetSymbol(ctx.symbols, name, ParamValue(TheHostValues().paramsText, LowerCase(expanded)));
  }
  return FailLine(ctx, line, status);
}

// A cut folder would make the file commands find (and act on) files the script never
// named, so a value that does not fit fails the line.
unsigned SetWorkDir(EngineContext& ctx, ScriptLine& line) {
  std::string expanded;
  unsigned status = ExpandForAction(ctx, TrimmedCopy(line.argumentText), expanded, kPathSize);
  if (status == 0) ctx.workDir = expanded;
  return FailLine(ctx, line, status);
}
}  // namespace

void RegisterSymbolCommands(HandlerTable& table) {
  table.Add(kCmdSet, Set);
  table.Add(kCmdGetParam, GetParam);
  table.Add(kCmdSetWorkDir, SetWorkDir);
}
