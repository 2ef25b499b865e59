#include "engine/handler_table.h"

#include "engine/errors.h"
#include "engine/script_model.h"

namespace {
// Serves every line whose word is not a command word.
unsigned UnknownCommandHandler(EngineContext& ctx, ScriptLine& line) {
  return FailLine(ctx, line, kErrUnknownCommand);
}
}  // namespace

HandlerTable::HandlerTable() { rows_[kCmdUnknown] = UnknownCommandHandler; }

void HandlerTable::Add(CommandId id, CommandHandler handler, LogCopyFilter logCopy) {
  if (id <= kCmdUnknown || id >= kCommandIdCount) return;
  rows_[id] = handler;
  logCopies_[id] = logCopy;
}

CommandHandler HandlerTable::Find(unsigned id) const {
  return id < kCommandIdCount ? rows_[id] : nullptr;
}

void HandlerTable::FilterLogCopy(unsigned id, std::string& argument) const {
  if (id < kCommandIdCount && logCopies_[id]) logCopies_[id](argument);
}

void HandlerTable::AddWhatIf(CommandId id, CommandHandler describer) {
  if (id > kCmdUnknown && id < kCommandIdCount) whatIfs_[id] = describer;
}

CommandHandler HandlerTable::FindWhatIf(unsigned id) const {
  return id < kCommandIdCount ? whatIfs_[id] : nullptr;
}

unsigned HandlerTable::CheckArgument(unsigned id, std::string_view argument) const {
  return CheckArgumentWith(argumentChecks_, id, argument);
}

unsigned EmptyHandler(EngineContext&, ScriptLine&) { return 0; }

const HandlerTable& EngineHandlerTable() {
  static const HandlerTable table = [] {
    HandlerTable t;
    RegisterSymbolCommands(t);
    RegisterControlFlowCommands(t);
    return t;
  }();
  return table;
}
