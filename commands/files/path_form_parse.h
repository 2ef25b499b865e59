#pragma once
// The guards on the form of a path the file and folder commands act on (no system calls).
#include <string>
#include <string_view>

// True for a path CREATEDIR, REMOVEDIR and REMOVEDIRRECURSIVE refuse as too short: shorter
// than 4 bytes and neither a drive ("D:") nor a root-like third byte ("x:\"); the empty
// path is refused.
bool IsTooShortFolder(std::string_view path);

// Trims the (expanded) path in place; 51 when nothing is left to act on.
unsigned TakeActedOnPath(std::string& path);
