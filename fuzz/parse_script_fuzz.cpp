// Any byte string parses to sections and lines, or to an error code, without a fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/script_file.h"
#include "engine/script_model.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  EngineContext ctx;
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (ParseScript(ctx, text) == 0) {
    for (const auto& section : ctx.sections) {
      if (section->name.size() >= kSectionNameSize) __builtin_trap();
      if (FindSection(ctx, section->name) == nullptr) __builtin_trap();
      for (const auto& line : section->lines) {
        if (line.argumentText.size() > kMaxArgumentBytes) __builtin_trap();
        if (line.commandWord.size() >= kCommandWordSize) __builtin_trap();
      }
    }
  }
  return 0;
}
