#pragma once
// Empties one section of an INI file by rewriting the file (see RemoveSectionEntries for
// the new text).
#include <string>

// False when the file cannot be read, is empty, or cannot be written. The file is
// overwritten in place, so it keeps its attributes and security; should a write fail
// part-way (a full disk), its old bytes are written back, so a failure never leaves a
// file emptied or cut short.
bool ClearIniSection(const std::string& section, const std::string& path);
