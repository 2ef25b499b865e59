#include "commands/files/path_routines.h"

#include <windows.h>

#include "engine/mbcs.h"

namespace {
constexpr std::size_t kFolderBufferSize = MAX_PATH;  // what the system folder queries fill

bool EndsWithBackslash(std::string_view text) {
  std::size_t last = FindLastChar(text, '\\');
  return last != std::string_view::npos && last + 1 == text.size();
}

// A folder the system reports through a (buffer, size) call; empty when the call fails
// or the folder does not fit the buffer.
template <typename Query>
std::string SystemFolder(Query query) {
  std::string folder(kFolderBufferSize, '\0');
  UINT length = query(folder.data(), static_cast<UINT>(folder.size()));
  if (length == 0 || length >= folder.size()) return {};
  folder.resize(length);
  return folder;
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
      SystemFolder([](char* b, UINT n) { return GetCurrentDirectoryA(n, b); }),
      SystemFolder([](char* b, UINT n) { return GetWindowsDirectoryA(b, n); }),
      SystemFolder([](char* b, UINT n) { return GetSystemDirectoryA(b, n); }),
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
