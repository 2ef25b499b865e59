#pragma once
// The one exception of the support library's text and file classes. It never
// leaves the support library's callers in the engine: each boundary that may
// see one catches it.
#include <cstdint>

class CException {
public:
  static constexpr std::uint32_t kOutOfMemory = 0x10001; // no memory for a text
  static constexpr std::uint32_t kBeyondText =
      0x10002; // a character past a text's end

  explicit CException(std::uint32_t code) : code_(code) {}
  std::uint32_t Code() const { return code_; }

private:
  std::uint32_t code_;
};
