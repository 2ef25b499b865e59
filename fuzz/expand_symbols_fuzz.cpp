// Expansion of arbitrary text against a few symbols never writes past its bound.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/script_model.h"
#include "engine/symbols.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  const std::size_t bound = 1 + data[1] * 8;  // 1 .. 2041
  EngineContext ctx;
  ctx.symbols.Set("A", "value");
  ctx.symbols.Set("", "empty-name");
  ctx.symbols.Set("Big", std::string(1500, 'b'));
  ctx.symbols.Set("Ref", "%%A%%");
  std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
  std::string out;
  unsigned status = ExpandSymbols(ctx, text, out, bound);
  if (out.size() >= bound) __builtin_trap();
  if (status != 0 && status != 28) __builtin_trap();
  return 0;
}
