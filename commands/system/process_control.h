#pragma once
// What the file commands need of the process commands.
#include <string>

// Logs every process that has `modulePath` loaded ("Module: %s is used by Process: %s")
// and, with `kill`, ends those whose program lies in the product's folder under the
// Windows folder. Returns the last KillProcess result (0 when none was made).
int CheckModuleUsers(const std::string& modulePath, bool kill);
