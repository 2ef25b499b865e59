#pragma once
// The OS-free argument check of each command that has one: the same parser its handler
// uses. Used by the WhatIf run, which gives it the argument with its symbols expanded and
// must refuse what a real run would refuse, and by the script check, which gives it the
// argument as written: there a %%NAME%% reference stands for a field's content (its form is
// checked, not its value), and a command that expands its whole argument before taking it
// apart is checked only when the argument holds no reference.
#include "engine/script_check.h"

// The check of command `id` (0 when the argument is one the command accepts, otherwise the
// ErrorCode the handler would fail the line with), or nullptr when the command has none.
ArgumentCheckFn ArgumentCheckOf(unsigned id);
