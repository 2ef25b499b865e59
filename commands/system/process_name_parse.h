#pragma once
// The process name KILLPROCESS and ISPROCESSRUNNING look for (no system calls).
#include <string>
#include <string_view>

// Trims the (expanded) name in place; 1 when nothing is left: an empty name is contained
// in every program's path, so it would match (and end) whichever process comes first.
unsigned TakeProcessName(std::string& name);

// ISPROCESSRUNNING's "name=process name", split as the handler splits it; 51 without an "="
// or when a part does not fit 259 bytes. The process name is taken as written.
unsigned SplitProcessTest(std::string_view text, std::string& symbol, std::string& name);
