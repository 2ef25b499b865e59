// The INI document on arbitrary text: whatever a load keeps, saving it and loading the
// saved text again gives the same document, byte for byte. (A section name that holds a
// "]" is the exception: its header reads back without the first "]", as any header does.)
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CIniDocument first;
  if (!first.Parse(std::string(reinterpret_cast<const char*>(data), size))) return 0;
  std::string saved = first.Text();
  for (std::size_t i = 0; i < first.SectionCount(); ++i) {
    if (first.Section(i)->Name().find(']') != std::string::npos) return 0;
  }
  CIniDocument second;
  if (!second.Parse(saved)) __builtin_trap();
  if (second.Text() != saved) __builtin_trap();
  if (second.SectionCount() != first.SectionCount()) __builtin_trap();
  return 0;
}
