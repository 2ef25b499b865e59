#include <windows.h>

#include <algorithm>

#include "support/read_only_file.h"

namespace {
HANDLE AsHandle(void* handle) { return static_cast<HANDLE>(handle); }
}  // namespace

ReadOnlyFile::~ReadOnlyFile() {
  if (handle_) CloseHandle(AsHandle(handle_));
}

bool ReadOnlyFile::Open(const std::string& path) {
  if (handle_) {
    CloseHandle(AsHandle(handle_));
    handle_ = nullptr;
  }
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  handle_ = file;
  return true;
}

std::uint64_t ReadOnlyFile::Length() const {
  LARGE_INTEGER size{};
  if (!handle_ || !GetFileSizeEx(AsHandle(handle_), &size)) return 0;
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t ReadOnlyFile::Read(char* buffer, std::size_t size) {
  std::size_t total = 0;
  // ReadFile takes at most 4 GiB - 1 per call; loop until the request is met or the file ends.
  while (handle_ && total < size) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - total, 0x40000000));
    DWORD got = 0;
    if (!ReadFile(AsHandle(handle_), buffer + total, chunk, &got, nullptr) || got == 0) break;
    total += got;
  }
  return total;
}
