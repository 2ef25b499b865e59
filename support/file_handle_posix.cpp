// The OS-free build's file handle: POSIX descriptors with the same meaning.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "support/file_handle.h"
#include "support/file_name.h"

bool CFileHandle::IsOpen() const { return handle_ >= 0; }

bool CFileHandle::Create() {
  Close();
  handle_ = open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
  return IsOpen();
}

bool CFileHandle::OpenRead() {
  Close();
  handle_ = open(path_.c_str(), O_RDONLY);
  return IsOpen();
}

std::size_t CFileHandle::Read(void *buffer, std::size_t count) {
  std::size_t total = 0;
  while (IsOpen() && total < count) {
    ssize_t got = read(static_cast<int>(handle_),
                       static_cast<char *>(buffer) + total, count - total);
    if (got <= 0)
      break;
    total += static_cast<std::size_t>(got);
  }
  return total;
}

std::size_t CFileHandle::Write(const void *buffer, std::size_t count) {
  std::size_t total = 0;
  while (IsOpen() && total < count) {
    ssize_t put =
        write(static_cast<int>(handle_),
              static_cast<const char *>(buffer) + total, count - total);
    if (put <= 0)
      break;
    total += static_cast<std::size_t>(put);
  }
  return total;
}

std::uint64_t CFileHandle::GetSize() {
  struct stat info;
  return IsOpen() && fstat(static_cast<int>(handle_), &info) == 0
             ? static_cast<std::uint64_t>(info.st_size)
             : 0;
}

bool CFileHandle::Seek(std::int64_t offset, int origin) {
  int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
  return IsOpen() && lseek(static_cast<int>(handle_), offset, whence) >= 0;
}

void CFileHandle::Close() {
  if (IsOpen())
    close(static_cast<int>(handle_));
  handle_ = -1;
}

bool CFileHandle::RemoveFile() { return CFileName(path_).Delete(); }

bool CFileHandle::MoveOver(const std::string &target) {
  Close();
  return std::rename(path_.c_str(), target.c_str()) == 0;
}
