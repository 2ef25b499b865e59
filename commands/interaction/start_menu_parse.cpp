#include "commands/interaction/start_menu_parse.h"

#include "engine/script_model.h"
#include "support/mbcs.h"

bool SplitShortcutArgument(std::string_view text, std::string_view& name,
                           std::string_view& target) {
  text = CutToBytes(text, kMaxArgumentBytes - 1);
  const std::size_t comma = FindChar(text, ',');
  if (comma == std::string_view::npos) return false;
  name = text.substr(0, comma);
  target = text.substr(comma + 1);
  return true;
}
