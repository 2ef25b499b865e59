#pragma once
// "/Check": the script checked, not run. Nothing is acted on, shown or sent to an agent.
#include <string>

// Logs every finding as "Check: line <n>: <what>" followed by the line itself; returns the
// code of the error on the lowest line, 0 when nothing but warnings was found.
int RunCheck(const std::string& scriptPath, const std::string& startSection);
