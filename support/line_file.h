#pragma once
// A whole text file read at once and handed out line by line. A carriage return
// and line feed, a carriage return alone, a line feed alone or a zero byte ends a
// line.
#include <cstddef>
#include <string>

#include "support/item_list.h"

class CFileLine {
 public:
  CFileLine() = default;
  CFileLine(const CFileLine&) = delete;
  CFileLine& operator=(const CFileLine&) = delete;

  // Reads the file; false when it cannot be opened, read whole, or held in
  // memory (nothing is then handed out).
  bool Load(const std::string& path);
  // Splits `bytes` as Load splits a file's content.
  void LoadBytes(std::string bytes);
  std::size_t LineCount() const { return lines_.Count(); }
  // Whether a zero byte stood inside the text (it ended a line, and the text
  // written back would differ).
  bool HoldsZeroByte() const { return holdsZeroByte_; }
  // The first line, and the one after the line last handed out; false past the
  // end.
  bool GetFirstLine(std::string& out);
  bool GetNextLine(std::string& out);

 private:
  void Clear();
  bool CopyLine(std::size_t index, std::string& out) const;

  CItemList<const char> lines_;  // the start of each line in buffer_, in file order
  std::string buffer_;           // the file's bytes; every line ending replaced by a zero
  std::size_t bufferSize_ = 0;
  std::size_t current_ = 0;
  bool holdsZeroByte_ = false;
};
