#pragma once
// A file opened for reading only, shared with other readers; closed when it goes.
#include <cstddef>
#include <cstdint>
#include <string>

class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // False when the file does not exist or cannot be opened.
  bool Open(const std::string& path);
  // The file's length in bytes (0 when it cannot be read).
  std::uint64_t Length() const;
  // Reads up to `size` bytes; returns how many arrived.
  std::size_t Read(char* buffer, std::size_t size);

 private:
  void* handle_ = nullptr;  // a HANDLE on Windows, a FILE* elsewhere
};
