#pragma once
// Deleting the script's folder after a run ("DeleteScriptDirectory").
#include <string>

// True for a folder that must never be deleted whole: what no script may remove
// (IsGuardedFolder: roots, the Windows, system and program-files folders and the folders
// above them, whatever name or link reaches them), and the program's own folder or a folder
// above it. A folder whose full path cannot be made is treated as protected.
bool IsProtectedFolder(const std::string& folder, const std::string& programFolder);

// Deletes the files of `folder`, its sub-folders not starting with "." (recursively), and
// the folder itself. Failures are silent and leave what could not be removed. A link to a
// folder is removed as a link, never followed. Returns false, deleting nothing, for a
// protected folder.
bool DeleteScriptFolder(const std::string& folder, const std::string& programFolder);
