// file,section,key=value: only the documented codes, and every field within its buffer.
#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/registry/ini_spec_parse.h"
#include "engine/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  IniWriteSpec spec;
  unsigned status = ParseIniWriteSpec(text, spec);
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
  if (spec.fileName.size() >= kIniFieldSize || spec.section.size() >= kIniFieldSize ||
      spec.key.size() >= kIniFieldSize || spec.value.size() >= kIniFieldSize) {
    __builtin_trap();
  }
  if (FindChar(spec.fileName, ',') != std::string::npos) __builtin_trap();
  if (FindChar(spec.section, ',') != std::string::npos) __builtin_trap();
  if (FindChar(spec.key, '=') != std::string::npos) __builtin_trap();
  return 0;
}
