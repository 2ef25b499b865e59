#include "commands/files/path_routines.h"

#include <windows.h>

#include "engine/mbcs.h"
#include "support/system_folders.h"

namespace {
bool EndsWithBackslash(std::string_view text) {
  std::size_t last = FindLastChar(text, '\\');
  return last != std::string_view::npos && last + 1 == text.size();
}

bool TryCandidate(std::string folder, std::string_view name, std::size_t capacity,
                  std::string& found) {
  if (folder.empty() || !AppendPath(folder, capacity, name) || !IsExistingFile(folder)) {
    return false;
  }
  found = std::move(folder);
  return true;
}
}  // namespace

bool AppendPath(std::string& folder, std::size_t capacity, std::string_view name) {
  if (folder.size() + name.size() + 2 >= capacity) return false;
  bool folderEnds = EndsWithBackslash(folder);
  bool nameStarts = !name.empty() && name[0] == '\\';
  if (folderEnds && nameStarts) {
    folder.pop_back();
  } else if (!folderEnds && !nameStarts) {
    folder += '\\';
  }
  folder.append(name);
  return true;
}

bool IsExistingFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SearchFile(std::string_view workDir, std::string& path, std::size_t capacity) {
  if (path.empty() || path.size() + 1 > capacity) return false;
  // The name as given is made full: the profile functions look for a name without a
  // folder in the Windows folder, not in the current one where it was found.
  if (IsExistingFile(path)) {
    std::string full(capacity, '\0');
    DWORD length =
        GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length != 0 && length < full.size()) {
      full.resize(length);
      path = std::move(full);
      return true;
    }
  }

  std::string found;
  const std::string folders[] = {
      std::string(workDir),
      CurrentFolder(),
      WindowsFolder(),
      SystemFolder(),
  };
  for (const std::string& folder : folders) {
    if (TryCandidate(folder, path, capacity, found)) {
      path = std::move(found);
      return true;
    }
  }

  std::string searched(capacity, '\0');
  DWORD length = SearchPathA(nullptr, path.c_str(), nullptr, static_cast<DWORD>(searched.size()),
                             searched.data(), nullptr);
  if (length == 0 || length >= searched.size()) return false;
  searched.resize(length);
  // A folder on the search path is no file either.
  if (!IsExistingFile(searched)) return false;
  path = std::move(searched);
  return true;
}
