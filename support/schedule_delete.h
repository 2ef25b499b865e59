#pragma once
// Deletion at the next start of Windows, for what cannot be deleted now.
#include <string>

// Has the file or (empty) folder deleted at the next start of Windows: through the
// system's pending renames on the NT family, through "WinInit.Ini" on the 95/98/Me family.
// False when it could not be scheduled.
bool ScheduleDelete(const std::string& path);
