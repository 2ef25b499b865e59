#include "support/schedule_delete.h"

#include "support/exception.h"
#include "support/file_name.h"

bool ScheduleDelete(const std::string &path) {
  try {
    CFileName name(path);
    return name.DeleteOnReboot();
  } catch (const CException &) {
    return false; // no memory for the path: nothing could be recorded
  }
}
