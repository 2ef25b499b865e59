#pragma once
// The WhatIf run: every command the command table marks as acting on the machine, asking
// the user or waiting says what it would do in one log line, "WhatIf: line <n>: ...", and
// changes nothing. Reading commands and control flow run for real, so the run takes the
// path this machine would take.
#include <string_view>

struct EngineContext;
struct ScriptLine;

// Whether this line is held back: a WhatIf run and a command that acts, asks or waits.
bool IsHeldBackByWhatIf(unsigned commandId);

// Stands in for the command of a held-back line, and for its "Executing line" log line:
// its argument is checked as its handler would check it (a refused one fails the line with
// the handler's code), then the command's own describer (after the usual "Executing line")
// or one line in the words of its family says what it would do, and a symbol the command
// sets gets the table's WhatIf value.
unsigned CarryOutWhatIf(EngineContext& ctx, ScriptLine& line);

// Writes "WhatIf: line <lineNumber>: <what>".
void LogWhatIf(unsigned lineNumber, std::string_view what);
