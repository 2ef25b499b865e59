// Conditions of any shape evaluate to true or false without a fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/conditions.h"
#include "engine/script_model.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  EngineContext ctx;
  ctx.symbols.Set("V", "5.0.2195.0");
  ctx.symbols.Set("A", "1");
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  bool holds = EvaluateCondition(ctx, text);
  // An ordering and its opposite never both hold.
  std::size_t mid = text.size() / 2;
  std::string_view left = text.substr(0, mid), right = text.substr(mid);
  if (CompareOperands(left, right, "<") && CompareOperands(left, right, ">=")) __builtin_trap();
  (void)holds;
  return 0;
}
