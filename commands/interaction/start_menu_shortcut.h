#pragma once
// The start menu folder and shortcuts in it.
#include <string>

// The start menu folder: the common one (all users) on the NT family, the
// user's own on the 95/98/Me family. False when the shell names none.
bool StartMenuFolder(std::string& folder);

// Creates "<start menu>\<name>.lnk" pointing to `target`, described as `name`,
// through the shell link object, and tells the shell. False when no shortcut
// was saved (also when its path would not fit 259 bytes: it is then not made at
// all).
bool CreateStartMenuShortcut(const std::string& target, const std::string& name);
