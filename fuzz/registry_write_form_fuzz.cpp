// ROOT\sub-key,value=data: only the documented codes; fields fit 259 bytes; the type is
// one of the two; a number's text survives a round trip through its 32 bits.
#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/registry/registry_path_parse.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  // The number conversion on its own, over the raw text.
  std::uint32_t number = 0;
  if (DwordFromText(text, number)) {
    std::uint32_t again = 0;
    if (!DwordFromText(DwordToText(number), again) || again != number) __builtin_trap();
  }

  ValueWriteSpec fields;
  unsigned status = ParseValueWriteSpec(text, fields);
  switch (status) {
    case 0:
      break;
    case 20:
    case 21:
    case 22:
    case 25:
      return 0;
    default:
      __builtin_trap();
  }
  if (fields.subKey.size() >= kRegistryFieldSize || fields.valueName.size() >= kRegistryFieldSize ||
      fields.data.size() >= kRegistryFieldSize) {
    __builtin_trap();
  }
  if (fields.type != kRegistryTypeString && fields.type != kRegistryTypeDword) __builtin_trap();
  if (FindChar(fields.subKey, ',') != std::string::npos) __builtin_trap();
  if (FindChar(fields.valueName, '=') != std::string::npos) __builtin_trap();
  return 0;
}
