#include "support/line_file.h"

#include <new>

#include "support/exception.h"
#include "support/file_handle.h"

void CFileLine::Clear() {
  lines_.RemoveAll();
  buffer_.clear();
  bufferSize_ = 0;
  current_ = 0;
  holdsZeroByte_ = false;
}

void CFileLine::LoadBytes(std::string bytes) {
  Clear();
  bufferSize_ = bytes.size();
  buffer_ = std::move(bytes);
  // The terminating zero (buffer_[size]) ends the last line even without an ending.
  std::size_t start = 0;
  for (std::size_t pos = 0; pos <= bufferSize_; ++pos) {
    char c = buffer_.c_str()[pos];
    if (c != '\r' && c != '\n' && c != '\0') continue;
    if (c == '\0' && pos < bufferSize_) holdsZeroByte_ = true;
    buffer_[pos] = '\0';  // pos == size writes over the terminator with a zero: no change
    lines_.Append(buffer_.c_str() + start);
    // A return and the line feed right after it end one line together.
    if (c == '\r' && pos + 1 < bufferSize_ && buffer_[pos + 1] == '\n') ++pos;
    start = pos + 1;
    if (start > bufferSize_) break;
  }
}

bool CFileLine::Load(const std::string& path) {
  Clear();
  try {
    CFileHandle file(path);
    if (!file.OpenRead()) return false;
    std::uint64_t size = file.GetSize();
    if (size >= std::string().max_size()) return false;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    // A file that cannot be read whole is not handed out in part.
    if (file.Read(bytes.data(), bytes.size()) != bytes.size()) return false;
    LoadBytes(std::move(bytes));
    return true;
  } catch (const std::bad_alloc&) {
    Clear();
    return false;
  } catch (const CException&) {
    Clear();
    return false;
  }
}

bool CFileLine::CopyLine(std::size_t index, std::string& out) const {
  const char* line = lines_.Get(index);
  if (line == nullptr) return false;
  out.assign(line);
  return true;
}

bool CFileLine::GetFirstLine(std::string& out) {
  current_ = 0;
  return CopyLine(current_, out);
}

bool CFileLine::GetNextLine(std::string& out) {
  if (current_ < lines_.Count()) ++current_;
  return CopyLine(current_, out);
}
