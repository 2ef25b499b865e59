#pragma once
// Taking ADDSTARTMENU's argument apart (no system calls).
#include <string_view>

// "name,target": the text (at most 511 bytes of it) cut at its first comma; both parts are
// expanded and trimmed later. False without a comma: there is no target to point at.
bool SplitShortcutArgument(std::string_view text, std::string_view& name,
                           std::string_view& target);
