// Any command line gives values within their bounds, and Params= decodes to one byte per
// pair of characters.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/command_line_parse.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  HostCommandLine cl = ParseCommandLine(text);
  if (cl.scriptValue.size() >= kSwitchPathSize || cl.section.size() >= kSwitchPathSize ||
      cl.logName.value_or("").size() >= kSwitchPathSize || cl.callbackText.size() >= kInterfaceTextSize ||
      cl.appUtilText.size() >= kInterfaceTextSize || cl.rawParams.size() >= kParamsTextSize ||
      cl.parentText.size() >= kParentTextSize) {
    __builtin_trap();
  }
  if (cl.paramsText.size() != cl.rawParams.size() / 2) __builtin_trap();
  if (DecodeParams(text).size() != text.size() / 2) __builtin_trap();
  (void)ParentProcessId(cl.parentText);

  ScriptLocation at = LocateScript(cl.scriptValue, "C:\\Program Files\\Orqex");
  if (at.folder.size() >= kSwitchPathSize) __builtin_trap();
  if (at.hasFolder && at.path != cl.scriptValue) __builtin_trap();
  return 0;
}
