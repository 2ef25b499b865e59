#include "commands/system/process_name_parse.h"

#include "engine/errors.h"
#include "engine/script_model.h"
#include "engine/text_args.h"

unsigned TakeProcessName(std::string& name) {
  TrimText(name);
  return name.empty() ? unsigned{kErrOutOfMemory} : 0u;
}

unsigned SplitProcessTest(std::string_view text, std::string& symbol, std::string& name) {
  return SplitNameValue(text, kPathSize, kPathSize, symbol, name) != 0 ? unsigned{kErrInvalidSwitch}
                                                                      : 0u;
}
