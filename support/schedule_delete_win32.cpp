// Placeholder until the file-name object exists: nothing is scheduled.
#include "support/schedule_delete.h"

bool ScheduleDelete(const std::string&) { return false; }
