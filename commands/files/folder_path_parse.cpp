#include "commands/files/folder_path_parse.h"

bool IsTooShortFolder(std::string_view path) {
  return path.size() < 4 && (path.size() < 2 || path[1] != ':') &&
         (path.size() < 3 || path[2] != '\\');
}
