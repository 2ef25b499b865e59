#pragma once
// The OS-free argument check of each command that has one: the same parser its handler
// uses, run on an argument whose symbols are already expanded. Used by the script check and
// by the WhatIf run, which must refuse what a real run would refuse.
#include <string_view>

// Returns 0 when the argument is one the command accepts, otherwise the ErrorCode the
// handler would fail the line with.
using ArgumentCheck = unsigned (*)(std::string_view expandedArgument);

// The check of command `id`, or nullptr when the command has none.
ArgumentCheck ArgumentCheckOf(unsigned id);
