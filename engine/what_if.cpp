#include "engine/what_if.h"

#include <string>

#include "engine/command_table.h"
#include "engine/control_flow.h"
#include "engine/errors.h"
#include "engine/handler_table.h"
#include "engine/host_values.h"
#include "engine/script_model.h"
#include "engine/symbols.h"
#include "engine/text_args.h"
#include "support/log.h"

namespace {
struct FamilyPhrase {
  std::string_view family;
  std::string_view phrase;
};

// What a command of each family would do to the machine.
constexpr FamilyPhrase kActingPhrases[] = {
    {"registry", "would change the registry"},
    {"ini", "would change an INI file"},
    {"files", "would change files or folders"},
    {"filecopy", "would copy or delete a file"},
    {"appwindow", "would close a program's windows"},
    {"run", "would start a program"},
    {"service", "would change a service"},
    {"process", "would end a process"},
    {"userapp", "would start or close a program of the user"},
    {"startmenu", "would add a shortcut"},
    {"restart", "would ask for a restart"},
    {"environment", "would extend PATH"},
    {"cabinet", "would install from a cabinet"},
    {"progressdialog", "would show or change the progress dialog"},
};

std::string_view PhraseOf(const CommandRow& row) {
  switch (row.effect) {
    case CommandEffect::kWaits:
      return "would wait, not waited";
    case CommandEffect::kAsks:
      // Answered as in quiet mode: nothing is shown, the quiet answer is taken.
      return row.family == "restart" ? "would restart the machine (quiet mode does not ask)"
                                     : "would show a message box, answered as in quiet mode";
    default:
      break;
  }
  for (const FamilyPhrase& entry : kActingPhrases) {
    if (entry.family == row.family) return entry.phrase;
  }
  return "would change this machine";
}
}  // namespace

bool IsHeldBackByWhatIf(unsigned commandId) {
  if (!TheHostValues().whatIfMode) return false;
  const CommandEffect effect = CommandRowOf(commandId).effect;
  return effect == CommandEffect::kActs || effect == CommandEffect::kAsks ||
         effect == CommandEffect::kWaits;
}

void LogWhatIf(unsigned lineNumber, std::string_view what) {
  LogStatus("WhatIf: line %u: %.*s", lineNumber, static_cast<int>(what.size()), what.data());
}

unsigned CarryOutWhatIf(EngineContext& ctx, ScriptLine& line) {
  const CommandRow& row = CommandRowOf(line.commandId);
  std::string expanded;
  const bool whole = ExpandSymbols(ctx, line.argumentText, expanded, kLogLineExpansionSize) == 0;
  if (ctx.handlers) {
    // Checked as written (a handler that takes its fields apart before it expands them
    // refuses what a symbol would only later supply), then as expanded (one that expands
    // first); a text cut at a missing symbol is shown, not checked.
    unsigned refused = ctx.handlers->CheckArgument(line.commandId, line.argumentText);
    if (!refused && whole && expanded != line.argumentText) {
      refused = ctx.handlers->CheckArgument(line.commandId, expanded);
    }
    CommandHandler describer = ctx.handlers->FindWhatIf(line.commandId);
    if (refused || describer) LogExecutingLine(ctx, line);
    if (refused) return FailLine(ctx, line, refused);
    if (describer) return describer(ctx, line);
    ctx.handlers->FilterLogCopy(line.commandId, expanded);
  }
  std::string what(PhraseOf(row));
  what += ": ";
  what += line.commandWord;
  if (!expanded.empty()) what += " " + expanded;

  std::string name, ignored;
  constexpr std::size_t kAnyLength = static_cast<std::size_t>(-1);
  if (!row.setsSymbol.empty() &&
      SplitNameValue(line.argumentText, kPathSize, kAnyLength, name, ignored) == 0) {
    if (unsigned rc = SetSymbol(ctx.symbols, name, row.whatIfValue)) return FailLine(ctx, line, rc);
    what += "; " + name + " is set to \"" + std::string(row.whatIfValue) + "\"";
  }
  LogWhatIf(line.lineNumber, what);
  return 0;
}
