#include "host/command_families.h"

#include "commands/files/file_copy_commands.h"
#include "commands/files/file_families.h"
#include "commands/interaction/agent_commands.h"
#include "commands/registry/registry_families.h"
#include "commands/system/process_commands.h"
#include "commands/system/program_families.h"
#include "engine/handler_table.h"

namespace {
HandlerTable MakeHandlerTable() {
  HandlerTable table;
  RegisterSymbolCommands(table);
  RegisterControlFlowCommands(table);
  // The command families of commands/, one line each.
  RegisterRegistryCommands(table);
  RegisterIniCommands(table);
  RegisterFileCommands(table);
  RegisterFileCopyCommands(table);
  RegisterProcessCommands(table);
  RegisterAgentCommands(table);
  RegisterRunCommands(table);
  RegisterAppWindowCommands(table);
  RegisterUserAppCommands(table);
  return table;
}
}  // namespace

const HandlerTable& BuildHandlerTable() {
  static const HandlerTable table = MakeHandlerTable();
  return table;
}
