#include "host/command_families.h"

#include "commands/argument_checks.h"
#include "commands/files/file_copy_commands.h"
#include "commands/files/file_families.h"
#include "commands/interaction/agent_commands.h"
#include "commands/interaction/dialog_families.h"
#include "commands/interaction/restart_families.h"
#include "commands/registry/registry_families.h"
#include "commands/system/process_commands.h"
#include "commands/system/program_families.h"
#include "commands/system/service_commands.h"
#include "commands/system/system_info_commands.h"
#include "engine/handler_table.h"

namespace {
HandlerTable MakeHandlerTable() {
  HandlerTable table;
  table.SetArgumentChecks(ArgumentCheckOf);
  RegisterSymbolCommands(table);
  RegisterControlFlowCommands(table);
  // The command families of commands/, one line each.
  RegisterRegistryCommands(table);
  RegisterIniCommands(table);
  RegisterFileCommands(table);
  RegisterAgentCommands(table);
  RegisterMessageBoxCommands(table);
  RegisterProgressDialogCommands(table);
  RegisterServiceCommands(table);
  RegisterSystemInfoCommands(table);
  RegisterRestartCommands(table);
  RegisterStartMenuCommands(table);
  RegisterEnvironmentCommands(table);
  RegisterCabinetCommands(table);
  RegisterFileCopyCommands(table);
  RegisterProcessCommands(table);
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
