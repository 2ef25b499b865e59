#pragma once
// Which Windows family the program runs on, decided at run time (never at build time),
// so the same program takes the right system interfaces on both.

// The NT family: platform id 2 from GetVersionExA. Computed once.
bool IsNtFamily();
// The 95/98/Me family as deferred deletion tests it: the high bit of GetVersion.
bool IsWin9xFamily();
