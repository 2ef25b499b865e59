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

// Creates every folder along `path` with default security (a drive root or share is never
// asked for: backslashes in the first four bytes are passed over). Single failures are
// ignored, as a folder that exists fails to be made. A path of 260 bytes or more is refused
// whole rather than made under a cut name. True when the path is a folder afterwards.
bool CreatePath(const std::string& path);

// True when the path does not exist, or when it may be read and written (the C library's
// access check: a read-only file is not free; sharing locks are not seen).
bool IsFileFree(const std::string& path);

// Removes a folder and everything below it, depth first, under its full name. What cannot
// go now (a file in use or read-only, a folder that is not empty then) is scheduled for
// deletion at the next start of Windows, read-only attribute cleared (the deletion would
// fail on it) unless the file has other names. A junction or symbolic link, named or met
// in the tree, is removed as a link and never entered; one that cannot be removed apart
// from what it points to stays, with a log line. An entry whose full name would not fit
// a path buffer is passed over. False when something could not be scheduled.
bool RemoveTree(const std::string& folder);
// Whether the file has more names than this one (hard links), whose attributes are its
// own; true also when that cannot be told.
bool HasOtherNames(const std::string& path);
// Removes an empty folder; a link to a folder is removed as RemoveTree removes one.
void RemoveEmptyFolder(const std::string& path);

// Creates the folder (its parent must exist), or takes an existing one, and gives the group
// Everyone full control of it. On the 95/98/Me family, which has no file security, the
// folder is only created. False when that failed or the security functions are missing.
bool CreateOpenDirectory(const std::string& path);

// True when the path names something that exists and is not a folder.
bool IsExistingFile(const std::string& path);

// Looks for `path` as given, then in `workDir` (when not empty), the current folder, the
// Windows folder, the system folder and last on the system search path. The first
// existing file (not a folder) wins and replaces `path` with its full name; false, with
// `path` unchanged, when none is found. A place whose joined name does not fit `capacity`
// is passed over rather than tried under a cut name, which could be another file.
bool SearchFile(std::string_view workDir, std::string& path, std::size_t capacity);

struct EngineContext;
// The one path a command acts on: its argument expanded for action and trimmed. 0, the
// expansion's code (28, 59, 1), or 51 for an empty path; the caller fails its line with it.
unsigned ActedOnPath(const EngineContext& ctx, std::string_view argument, std::string& path);
