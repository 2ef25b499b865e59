#pragma once
// Attributes read and written through an open handle (Windows build only): the handle
// keeps reaching the file after this name was deleted while other names (hard links) stay,
// and what is changed is the file that was opened, not what the name reaches by then.
#include <windows.h>

#include <string>

#include "support/win_handles.h"

// The file opened to read and write its attributes, shared with every other use.
UniqueKernelHandle OpenForAttributes(const std::string& path);
// Puts `attributes` (0: normal) on the open file, times left as they are. False when it
// fails, or where the system lacks the handle-based function (before Windows Vista).
bool PutAttributes(HANDLE file, DWORD attributes);
// Marks the open file (opened with DELETE access) to be removed when its last handle
// closes. False when it fails, or before Windows Vista, as PutAttributes.
bool RemoveOnClose(HANDLE file);
