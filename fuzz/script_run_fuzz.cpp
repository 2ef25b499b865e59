// Whole runs of scripts built from the engine's own commands: parse, then run the first
// section with every call, return and conditional stop. Nothing may fault or recurse
// without bound.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/handler_table.h"
#include "engine/host_values.h"
#include "engine/runner.h"
#include "engine/script_file.h"
#include "engine/script_model.h"
#include "support/log.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool logOff = [] {
    LogInit(kLogLevelStatus, "");  // no log file: nothing is written
    TheHostValues().paramsText = "lang=\"de\" mode=\"silent\"";
    return true;
  }();
  (void)logOff;
  if (size == 0) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  EngineContext ctx;
  ctx.handlers = &EngineHandlerTable();
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (ParseScript(ctx, text) != 0 || ctx.sections.empty()) return 0;
  ScriptRun(ctx, ctx.sections.front()->name);
  if (ctx.callDepth != 0) __builtin_trap();
  return 0;
}
