#include <windows.h>

#include "support/file_handle.h"
#include "support/file_name.h"

namespace {
HANDLE AsHandle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }
constexpr DWORD kIoChunk = 1u << 30; // one call moves at most this much
} // namespace

bool CFileHandle::IsOpen() const {
  return AsHandle(handle_) != INVALID_HANDLE_VALUE;
}

bool CFileHandle::Create() {
  Close();
  handle_ = reinterpret_cast<std::intptr_t>(
      CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return IsOpen();
}

bool CFileHandle::OpenRead() {
  Close();
  handle_ = reinterpret_cast<std::intptr_t>(
      CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return IsOpen();
}

std::size_t CFileHandle::Read(void *buffer, std::size_t count) {
  std::size_t total = 0;
  while (IsOpen() && total < count) {
    DWORD chunk = static_cast<DWORD>(count - total < kIoChunk ? count - total
                                                              : kIoChunk),
          got = 0;
    if (!ReadFile(AsHandle(handle_), static_cast<char *>(buffer) + total, chunk,
                  &got, nullptr) ||
        got == 0) {
      break;
    }
    total += got;
  }
  return total;
}

std::size_t CFileHandle::Write(const void *buffer, std::size_t count) {
  std::size_t total = 0;
  while (IsOpen() && total < count) {
    DWORD chunk = static_cast<DWORD>(count - total < kIoChunk ? count - total
                                                              : kIoChunk),
          put = 0;
    if (!WriteFile(AsHandle(handle_), static_cast<const char *>(buffer) + total,
                   chunk, &put, nullptr) ||
        put == 0) {
      break;
    }
    total += put;
  }
  return total;
}

std::uint64_t CFileHandle::GetSize() {
  LARGE_INTEGER size{};
  return IsOpen() && GetFileSizeEx(AsHandle(handle_), &size)
             ? static_cast<std::uint64_t>(size.QuadPart)
             : 0;
}

bool CFileHandle::Seek(std::int64_t offset, int origin) {
  LARGE_INTEGER distance{};
  distance.QuadPart = offset;
  DWORD method = origin == 1   ? FILE_CURRENT
                 : origin == 2 ? FILE_END
                               : FILE_BEGIN;
  return IsOpen() &&
         SetFilePointerEx(AsHandle(handle_), distance, nullptr, method);
}

void CFileHandle::Close() {
  if (IsOpen()) {
    DWORD saved = GetLastError();
    CloseHandle(AsHandle(handle_));
    SetLastError(saved);
  }
  handle_ = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);
}

bool CFileHandle::RemoveFile() { return CFileName(path_).Delete(); }

bool CFileHandle::MoveOver(const std::string &target) {
  Close();
  if (MoveFileExA(path_.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
    return false;
  // The 95/98/Me family has no MoveFileExA: the old file goes first, then the
  // new one takes its name (the complete new file stays beside it should that
  // step fail).
  if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES &&
      !DeleteFileA(target.c_str())) {
    return false;
  }
  return MoveFileA(path_.c_str(), target.c_str()) != FALSE;
}
