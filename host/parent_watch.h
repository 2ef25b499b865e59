#pragma once
// Ends this process with exit code -1 as soon as the process `processId` ends. Does
// nothing, silently, when that process cannot be opened or the watch cannot start.
void StartParentWatch(unsigned long processId);
