#pragma once
// The folder commands' guard on the form of a path (no system calls).
#include <string_view>

// True for a path CREATEDIR, REMOVEDIR and REMOVEDIRRECURSIVE refuse as too short: shorter
// than 4 bytes and neither a drive ("D:") nor a root-like third byte ("x:\"); the empty
// path is refused.
bool IsTooShortFolder(std::string_view path);
