#include "commands/registry/ini_section_text_parse.h"

#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
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
    if (StartsWithNoCase(line, header)) {
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
