// file,section,key=value: only the documented codes, and every field within its buffer.
#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/registry/ini_arguments_parse.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  IniWriteSpec fields;
  unsigned status = ParseIniWriteSpec(text, fields);
  switch (status) {
    case 0:
      break;
    case 24:
    case 25:
    case 26:
    case 27:
      return 0;
    default:
      __builtin_trap();
  }
  if (fields.fileName.size() >= kIniFieldSize || fields.section.size() >= kIniFieldSize ||
      fields.key.size() >= kIniFieldSize || fields.value.size() >= kIniFieldSize) {
    __builtin_trap();
  }
  if (FindChar(fields.fileName, ',') != std::string::npos) __builtin_trap();
  if (FindChar(fields.section, ',') != std::string::npos) __builtin_trap();
  if (FindChar(fields.key, '=') != std::string::npos) __builtin_trap();
  return 0;
}
