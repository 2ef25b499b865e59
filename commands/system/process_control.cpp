// Placeholder until process enumeration exists: no process is found.
#include "commands/system/process_control.h"

int CheckModuleUsers(const std::string&, bool) { return 0; }
