#pragma once
// The owner of one open file, named by its path; closed when it goes.
#include <cstddef>
#include <cstdint>
#include <string>

class CFileHandle {
public:
  explicit CFileHandle(std::string path) : path_(std::move(path)) {}
  ~CFileHandle() { Close(); }
  CFileHandle(const CFileHandle &) = delete;
  CFileHandle &operator=(const CFileHandle &) = delete;

  const std::string &Path() const { return path_; }
  bool IsOpen() const;
  // A new empty file for reading and writing, shared with nobody (an old one is
  // truncated).
  bool Create();
  // An existing file for reading, shared with other readers.
  bool OpenRead();
  // Bytes read or written; 0 when no file is open or the call fails.
  std::size_t Read(void *buffer, std::size_t count);
  std::size_t Write(const void *buffer, std::size_t count);
  // The size in bytes; the position is left where it was.
  std::uint64_t GetSize();
  // origin: 0 the start, 1 the current position, 2 the end.
  bool Seek(std::int64_t offset, int origin);
  void Close();
  // Deletes the file at the path (a failure goes to the second log).
  bool RemoveFile();
  // Closes the file and puts it in the place of `target`, replacing what is
  // there in one step where the system can; false, with `target` untouched,
  // when it cannot.
  bool MoveOver(const std::string &target);

private:
  std::string path_;
  std::intptr_t handle_ =
      -1; // a HANDLE on Windows, a file descriptor elsewhere
};
