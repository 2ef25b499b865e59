#pragma once
// A file's bytes for the tests that run without Wine.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// The file's bytes; empty when it cannot be read.
inline std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
