#pragma once
// Path routines the file, INI and copy commands share. Paths are ANSI byte strings;
// `capacity` is a buffer size in the script format's sense (260 holds 259 bytes).
#include <cstddef>
#include <string>
#include <string_view>

// Joins `name` onto `folder` in place with exactly one backslash between them (a trailing
// backslash of the folder counts only when it is not the trail byte of a double-byte
// character; an empty folder gives "\" and the name). Fails, leaving `folder` unchanged,
// when folder length + name length + 2 >= capacity.
bool AppendPath(std::string& folder, std::size_t capacity, std::string_view name);

// True when the path names something that exists and is not a folder.
bool IsExistingFile(const std::string& path);

// Looks for `path` as given, then in `workDir` (when not empty), the current folder, the
// Windows folder, the system folder and last on the system search path. The first
// existing file (not a folder) wins and replaces `path` with its full name; false, with
// `path` unchanged, when none is found. A place whose joined name does not fit `capacity`
// is passed over rather than tried under a cut name, which could be another file.
bool SearchFile(std::string_view workDir, std::string& path, std::size_t capacity);
