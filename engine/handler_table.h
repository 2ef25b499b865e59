#pragma once
// Maps each CommandId to the function that carries the command out. Command families
// add their own rows; the dispatcher knows nothing of any command.
#include <array>
#include <string>
#include <string_view>

#include "engine/command_ids.h"
#include "engine/script_check.h"

struct EngineContext;
struct ScriptLine;

// A handler returns 0 or an ErrorCode (53: conditional stop) and never throws.
using CommandHandler = unsigned (*)(EngineContext& ctx, ScriptLine& line);
// Turns a line's expanded argument into what the "Executing line" log copy shows, for a
// command whose argument may hold a secret (a password is shown as "****").
using LogCopyFilter = void (*)(std::string& expandedArgument);

class HandlerTable {
 public:
  HandlerTable();  // only the default handler (id 0); ids 1..85 have no row yet
  void Add(CommandId id, CommandHandler handler, LogCopyFilter logCopy = nullptr);
  // The row of `id`, or nullptr when that id has no row (COPYFILEAS, unbuilt families).
  CommandHandler Find(unsigned id) const;
  // Applies the log-copy filter of `id`, if it has one, to a copy of its argument that is
  // about to be logged or reported.
  void FilterLogCopy(unsigned id, std::string& argument) const;

  // A command whose WhatIf line must say more than its word and argument (a walk over a
  // file list) registers what it does in a WhatIf run instead of carrying itself out.
  void AddWhatIf(CommandId id, CommandHandler describer);
  CommandHandler FindWhatIf(unsigned id) const;
  // The argument checks a WhatIf run applies to what it does not carry out.
  void SetArgumentChecks(ArgumentCheckLookup lookup) { argumentChecks_ = lookup; }
  unsigned CheckArgument(unsigned id, std::string_view argument) const;

 private:
  std::array<CommandHandler, kCommandIdCount> rows_{};
  std::array<LogCopyFilter, kCommandIdCount> logCopies_{};
  std::array<CommandHandler, kCommandIdCount> whatIfs_{};
  ArgumentCheckLookup argumentChecks_ = nullptr;
};

// Rows of the engine's own commands: SET, GETPARAM, SETWORKDIR and control flow.
void RegisterSymbolCommands(HandlerTable& table);
void RegisterControlFlowCommands(HandlerTable& table);
// A table holding the engine's own families only (the OS-free build and its fuzzers).
const HandlerTable& EngineHandlerTable();
// A handler that does nothing and succeeds (RETURN, RETURNIF, FILECIO, FILECOW rows).
unsigned EmptyHandler(EngineContext& ctx, ScriptLine& line);
