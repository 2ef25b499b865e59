#pragma once
// Which folders a script may remove or open to everybody, decided on the folder itself
// rather than on the name that reaches it.
#include <string>

// True for a folder no script may remove or open to everybody: a drive root or a bare share
// ("C:", "C:\", "C:\.", "\\server\share"), the root of any volume, the Windows folder, the
// system folders, the program-files folders, and every folder above one of them. An
// existing folder is compared by identity (volume and file index of what the name opens,
// links followed), so another drive letter, a link or junction to it, or a path through a
// link is refused as the plain name is; the full, long path is compared as well (where a
// folder cannot be opened for its identity, as on the 95/98/Me family). A link that
// cannot be looked through is refused. `alsoGuarded`, when given, is one more folder
// guarded the same way (the program's own).
bool IsGuardedFolder(const std::string& path, const std::string& alsoGuarded = {});

// True when the path, or a folder on the way to it, is a junction or symbolic link: the
// name then reaches a folder that may lie anywhere.
bool IsReachedThroughLink(const std::string& path);
