#include "commands/registry/ini_arguments_parse.h"

#include "commands/registry/registry_path_parse.h"

#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
// The text before the first `separator`, provided it fits a buffer of `size` bytes;
// `rest` is what follows the separator.
bool TakeField(std::string_view& rest, char separator, std::size_t size, std::string& field) {
  std::size_t at = FindChar(rest, separator);
  if (at == std::string_view::npos || at + 1 > size) return false;
  field = TrimmedCopy(rest.substr(0, at));
  rest.remove_prefix(at + 1);
  return true;
}

bool TakeLastField(std::string_view rest, std::size_t size, std::string& field) {
  if (rest.size() + 1 > size) return false;
  field = TrimmedCopy(rest);
  return true;
}
}  // namespace

unsigned ParseIniReadSpec(std::string_view text, std::size_t nameSize, IniReadSpec& fields) {
  std::string_view rest = text;
  IniReadSpec parsed;
  if (!TakeField(rest, '=', nameSize, parsed.symbolName)) return 23;
  if (!TakeField(rest, ',', kIniFieldSize, parsed.fileName)) return 27;
  if (!TakeField(rest, ',', kIniFieldSize, parsed.section)) return 26;
  if (!TakeLastField(rest, kIniFieldSize, parsed.key)) return 25;
  fields = std::move(parsed);
  return 0;
}

unsigned ParseIniWriteSpec(std::string_view text, IniWriteSpec& fields) {
  std::string_view rest = text;
  IniWriteSpec parsed;
  if (!TakeField(rest, ',', kIniFieldSize, parsed.fileName)) return 27;
  if (!TakeField(rest, ',', kIniFieldSize, parsed.section)) return 26;
  if (!TakeField(rest, '=', kIniFieldSize, parsed.key)) return 25;
  if (!TakeLastField(rest, kIniFieldSize, parsed.value)) return 24;
  fields = std::move(parsed);
  return 0;
}

unsigned ParseIniSectionSpec(std::string_view text, std::string& fileName, std::string& section) {
  if (text.size() >= kIniFieldSize || SplitPathAndName(text, fileName, section) != 0) return 51;
  return 0;
}
