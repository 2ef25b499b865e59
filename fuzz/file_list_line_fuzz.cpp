// Any argument text gives trimmed names within their bounds; a list walk always ends and
// never returns a cut item.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "commands/files/file_copy_parse.h"
#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
// Trimmed the engine's way (a trail byte that looks like a space is part of its character).
bool IsTrimmed(const std::string& text) { return TrimmedCopy(text) == text; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  ListedFileNames names;
  bool ok = SplitListedFile(text, names);
  if (ok && (names.source.empty() || names.target.empty())) __builtin_trap();
  if (names.source.size() > 519 || names.target.size() > 519) __builtin_trap();
  if (!IsTrimmed(names.source) || !IsTrimmed(names.target)) __builtin_trap();

  std::string source, target;
  if (SplitSourceTarget(text, source, target) != (FindChar(text, ',') != std::string_view::npos)) {
    __builtin_trap();
  }

  std::string name, list;
  if (SplitNameAndList(text, name, list)) {
    if (name.size() >= 260 || !IsTrimmed(name)) __builtin_trap();
    std::string_view rest = list;
    std::string item;
    bool fits = true;
    std::size_t steps = 0;
    while (NextListedPath(rest, item, fits)) {
      if (item.empty() || fits != (item.size() < 260) || !IsTrimmed(item)) __builtin_trap();
      if (++steps > list.size() + 1) __builtin_trap();
    }
  }
  return 0;
}
