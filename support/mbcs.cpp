#include "support/mbcs.h"

std::size_t FindChar(std::string_view text, char c, std::size_t from) {
  for (std::size_t i = from; i < text.size(); i += CharLength(text, i)) {
    if (text[i] == c) return i;
  }
  return std::string_view::npos;
}

std::size_t FindAnyChar(std::string_view text, std::string_view chars, std::size_t from) {
  for (std::size_t i = from; i < text.size(); i += CharLength(text, i)) {
    if (chars.find(text[i]) != std::string_view::npos) return i;
  }
  return std::string_view::npos;
}

std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from <= text.size() ? from : std::string_view::npos;
  for (std::size_t i = from; i < text.size(); i += CharLength(text, i)) {
    if (text.compare(i, needle.size(), needle) == 0) return i;
  }
  return std::string_view::npos;
}

std::size_t FindLastChar(std::string_view text, char c) {
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    if (text[i] == c) found = i;
  }
  return found;
}

std::string_view WithoutTrailingChar(std::string_view text, char c) {
  std::size_t keep = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = CharLength(text, i);
    if (len != 1 || text[i] != c) keep = i + len;
    i += len;
  }
  return text.substr(0, keep);
}

std::string_view CutToBytes(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t end = 0;
  while (end < text.size()) {
    std::size_t next = end + CharLength(text, end);
    if (next > maxBytes) break;
    end = next;
  }
  return text.substr(0, end);
}
