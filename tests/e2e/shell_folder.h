#pragma once
#include <shlobj.h>

#include <string>

// A shell folder's path (CSIDL_...), or "" when the shell has none.
inline std::string ShellFolder(int id) {
  std::string path(MAX_PATH, '\0');
  if (FAILED(SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path.data()))) return "";
  return path.c_str();
}
