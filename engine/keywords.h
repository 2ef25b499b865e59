#pragma once
#include <string_view>
#include "engine/command_ids.h"

// The command word of an id ("SET" for 12); empty for 0 or an id out of range.
std::string_view KeywordOf(unsigned id);

// The id of a command word, compared without regard to case; kCmdUnknown when the word is
// not one of the 85.
CommandId LookupCommandWord(std::string_view word);
