// NAME=file,section,key: only the documented codes, and every field within its buffer.
#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/registry/ini_arguments_parse.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  const std::size_t nameSize = data[0] & 2 ? kIniMessageSize : kIniFieldSize;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  IniReadSpec fields;
  unsigned status = ParseIniReadSpec(text, nameSize, fields);
  switch (status) {
    case 0:
      break;
    case 23:
    case 25:
    case 26:
    case 27:
      return 0;
    default:
      __builtin_trap();
  }
  if (fields.symbolName.size() >= nameSize || fields.fileName.size() >= kIniFieldSize ||
      fields.section.size() >= kIniFieldSize || fields.key.size() >= kIniFieldSize) {
    __builtin_trap();
  }
  if (FindChar(fields.symbolName, '=') != std::string::npos) __builtin_trap();
  if (FindChar(fields.fileName, ',') != std::string::npos) __builtin_trap();
  if (FindChar(fields.section, ',') != std::string::npos) __builtin_trap();
  return 0;
}
