#pragma once
// Empties one section of an INI file by rewriting the file (see RemoveSectionEntries for
// the new text).
#include <string>

// 0; 51 when the file cannot be read, is empty, or cannot be written; 19 when it is UTF-16
// text (left byte for byte as it is: its lines are not single-byte lines). The file is
// overwritten in place, so it keeps its attributes and security; should a write fail
// part-way (a full disk), its old bytes are written back, so a failure never leaves a
// file emptied or cut short.
unsigned ClearIniSection(const std::string& section, const std::string& path);
