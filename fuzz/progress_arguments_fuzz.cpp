// Any SETPROGRESS text gives a position on the bar and a trimmed status text taken from
// behind the first ",".
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "commands/interaction/progress_arguments_parse.h"
#include "support/mbcs.h"

namespace {
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  ProgressArguments arguments = ParseProgressArguments(text);
  if (arguments.position < kProgressMin || arguments.position > kProgressMax) __builtin_trap();
  const std::string& status = arguments.statusText;
  // Trimmed: no blank first character and no blank single-byte last character (a
  // double-byte character may end in a byte that equals a blank).
  std::size_t last = 0;
  for (std::size_t i = 0; i < status.size(); i += CharLength(status, i)) last = i;
  if (!status.empty() &&
      (IsBlank(status.front()) || (CharLength(status, last) == 1 && IsBlank(status[last])))) {
    __builtin_trap();
  }
  if (status.size() >= text.size() && !status.empty()) __builtin_trap();
  if (text.find(',') == std::string_view::npos && !status.empty()) __builtin_trap();
  return 0;
}
