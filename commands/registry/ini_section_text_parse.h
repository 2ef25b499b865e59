#pragma once
// The text side of DELETEINIFILESECTION: the new content of an INI file whose named
// section keeps its header but loses every line under it.
#include <string>
#include <string_view>

// Every line of `fileText` (lines end at LF) is trimmed, which also drops its CR. A line
// that begins with "[<section>]", compared without regard to case over that length,
// starts the section and is kept; a later line that begins with "[" and holds a "]" ends
// it. Lines inside the section are dropped (a second header of the same name empties its
// lines too); every other line is kept in its trimmed form followed by CR LF.
// Lines of any length are kept whole and no byte of a kept line is lost, zero bytes
// included: a long line is never broken into pieces that would read as separate lines.
std::string RemoveSectionEntries(std::string_view fileText, std::string_view section);
