#include "commands/files/path_form_parse.h"

#include "engine/errors.h"
#include "support/text_routines.h"

bool IsTooShortFolder(std::string_view path) {
  return path.size() < 4 && (path.size() < 2 || path[1] != ':') &&
         (path.size() < 3 || path[2] != '\\');
}

unsigned TakeActedOnPath(std::string& path) {
  TrimText(path);
  return path.empty() ? unsigned{kErrInvalidSwitch} : 0u;
}
