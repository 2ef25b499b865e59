#include "commands/registry/ini_section_text_parse.h"

#include "engine/mbcs.h"
#include "engine/text_args.h"

namespace {
char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// True when `line` begins with `header` without regard to the case of ASCII letters. The
// two bytes of a double-byte character compare exactly: its trail byte may look like a
// letter, and folding it would make two different characters equal.
bool StartsWithHeader(std::string_view line, std::string_view header) {
  if (line.size() < header.size()) return false;
  for (std::size_t i = 0; i < header.size();) {
    std::size_t len = CharLength(header, i);
    if (len == 2) {
      if (line.compare(i, 2, header.substr(i, 2)) != 0) return false;
    } else if (FoldAscii(line[i]) != FoldAscii(header[i])) {
      return false;
    }
    i += len;
  }
  return true;
}

bool IsAnyHeader(std::string_view line) {
  return !line.empty() && line[0] == '[' && FindChar(line, ']') != std::string_view::npos;
}
}  // namespace

std::string RemoveSectionEntries(std::string_view fileText, std::string_view section) {
  const std::string header = "[" + std::string(section) + "]";
  std::string result;
  result.reserve(fileText.size() + fileText.size() / 8 + 2);
  bool inSection = false;
  std::size_t start = 0;
  while (start < fileText.size()) {
    std::size_t end = fileText.find('\n', start);
    if (end == std::string_view::npos) end = fileText.size();
    std::string_view raw = fileText.substr(start, end - start);
    start = end + 1;
    // The line end goes first: after a stray lead byte, trimming would take a CR for the
    // character's trail byte and keep it, and every rewrite would add one more.
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    std::string line = TrimmedCopy(raw);
    if (StartsWithHeader(line, header)) {
      inSection = true;
    } else if (IsAnyHeader(line)) {
      inSection = false;
    } else if (inSection) {
      continue;
    }
    result += line;
    result += "\r\n";
  }
  return result;
}
