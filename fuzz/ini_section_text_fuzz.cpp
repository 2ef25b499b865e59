// Emptying a section of arbitrary text: every kept line ends in CR LF, no line is added,
// and emptying the same section again changes nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/registry/ini_section_text_parse.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  const std::size_t nameLength = std::min<std::size_t>(data[1] % 8, size - 2);
  std::string section(reinterpret_cast<const char*>(data) + 2, nameLength);
  std::string text(reinterpret_cast<const char*>(data) + 2 + nameLength, size - 2 - nameLength);

  std::string once = RemoveSectionEntries(text, section);
  if (!once.empty() && (once.size() < 2 || once.compare(once.size() - 2, 2, "\r\n") != 0)) {
    __builtin_trap();
  }
  std::size_t linesIn = 0, linesOut = 0;
  for (char c : text) linesIn += c == '\n';
  if (!text.empty() && text.back() != '\n') ++linesIn;
  for (char c : once) linesOut += c == '\n';
  if (linesOut > linesIn) __builtin_trap();
  if (RemoveSectionEntries(once, section) != once) __builtin_trap();
  return 0;
}
