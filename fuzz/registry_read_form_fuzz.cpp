// NAME=ROOT\sub-key,value: only the documented codes, and on success every field fits
// 259 bytes, is trimmed, and the name holds no "=".
#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/registry/registry_path_parse.h"
#include "support/mbcs.h"

namespace {
bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// In a double-byte code page a blank may be the trail byte of the last character, which
// trimming rightly keeps; the ends are checked in the single-byte page only.
void CheckField(const std::string& field, bool singleByte) {
  if (field.size() >= kRegistryFieldSize) __builtin_trap();
  if (singleByte && !field.empty() && (IsWhite(field.front()) || IsWhite(field.back()))) {
    __builtin_trap();
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool singleByte = (data[0] & 1) == 0;
  SetAnsiCodePageForTesting(singleByte ? 0 : 932);
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  ValueReadSpec fields;
  unsigned status = ParseValueReadSpec(text, fields);
  switch (status) {
    case 0:
      break;
    case 20:
    case 22:
    case 23:
    case 25:
      return 0;
    default:
      __builtin_trap();
  }
  CheckField(fields.symbolName, singleByte);
  CheckField(fields.subKey, singleByte);
  CheckField(fields.valueName, singleByte);
  if (FindChar(fields.symbolName, '=') != std::string::npos) __builtin_trap();
  if (FindChar(fields.subKey, ',') != std::string::npos) __builtin_trap();
  return 0;
}
