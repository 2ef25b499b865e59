#include <cstdio>

#include "support/read_only_file.h"

namespace {
std::FILE* AsFile(void* handle) { return static_cast<std::FILE*>(handle); }
}  // namespace

ReadOnlyFile::~ReadOnlyFile() {
  if (handle_) std::fclose(AsFile(handle_));
}

bool ReadOnlyFile::Open(const std::string& path) {
  if (handle_) {
    std::fclose(AsFile(handle_));
    handle_ = nullptr;
  }
  handle_ = std::fopen(path.c_str(), "rb");
  return handle_ != nullptr;
}

std::uint64_t ReadOnlyFile::Length() const {
  std::FILE* file = AsFile(handle_);
  if (!file) return 0;
  long here = std::ftell(file);
  if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
  long end = std::ftell(file);
  std::fseek(file, here, SEEK_SET);
  return end > 0 ? static_cast<std::uint64_t>(end) : 0;
}

std::size_t ReadOnlyFile::Read(char* buffer, std::size_t size) {
  return handle_ ? std::fread(buffer, 1, size, AsFile(handle_)) : 0;
}
