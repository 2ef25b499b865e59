#include "support/text_routines.h"

#include <utility>

#include "support/mbcs.h"

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

namespace {
// [begin, end) of `text` without white space at either end; a trail byte is never white
// space, but the scan still moves a whole character at a time.
std::pair<std::size_t, std::size_t> TrimBounds(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && IsWhiteSpace(text[begin])) ++begin;
  std::size_t end = begin;
  for (std::size_t i = begin; i < text.size();) {
    std::size_t len = CharLength(text, i);
    if (len > 1 || !IsWhiteSpace(text[i])) end = i + len;
    i += len;
  }
  return {begin, end};
}
}  // namespace

void TrimText(std::string& text) {
  auto [begin, end] = TrimBounds(text);
  text.erase(end);
  text.erase(0, begin);
}

std::string TrimmedCopy(std::string_view text) {
  auto [begin, end] = TrimBounds(text);
  return std::string(text.substr(begin, end - begin));
}

namespace {
bool IsKeyChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
}  // namespace

std::string ParamValue(std::string_view params, std::string_view key) {
  const std::string needle = std::string(key) + "=\"";
  for (std::size_t at = FindText(params, needle); at != std::string_view::npos;
       at = FindText(params, needle, at + 1)) {
    if (at > 0 && IsKeyChar(params[at - 1])) continue;
    std::size_t begin = at + needle.size();
    std::size_t end = FindChar(params, '"', begin);
    if (end == std::string_view::npos) return {};
    return std::string(params.substr(begin, end - begin));
  }
  return {};
}

namespace {
char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size();) {
    std::size_t len = CharLength(text, i);
    if (len > 1) {
      if (text.substr(i, len) != prefix.substr(i, len)) return false;
    } else if (FoldAscii(text[i]) != FoldAscii(prefix[i])) {
      return false;
    }
    i += len;
  }
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && StartsWithNoCase(a, b);
}
