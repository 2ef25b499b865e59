#include "commands/files/file_copy_parse.h"

#include "engine/script_model.h"
#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
constexpr std::size_t kListedLineBytes = 519;  // a 520-byte copy of the line's text
constexpr std::size_t kNameSearchBytes = 260;  // where CANALLFILESBECOPIED looks for "="
}  // namespace

bool SplitListedFile(std::string_view argumentText, ListedFileNames& names) {
  std::string_view text = CutToBytes(argumentText, kListedLineBytes);
  std::size_t comma = FindChar(text, ',');
  if (comma == std::string_view::npos) {
    names.source = TrimmedCopy(text);
    names.target = names.source;
  } else {
    names.source = TrimmedCopy(text.substr(0, comma));
    names.target = TrimmedCopy(text.substr(comma + 1));
  }
  return !names.source.empty() && !names.target.empty();
}

bool SplitSourceTarget(std::string_view text, std::string& source, std::string& target) {
  std::size_t comma = FindChar(text, ',');
  if (comma == std::string_view::npos) return false;
  source = TrimmedCopy(text.substr(0, comma));
  target = TrimmedCopy(text.substr(comma + 1));
  return true;
}

bool SplitNameAndList(std::string_view text, std::string& name, std::string& list) {
  text = CutToBytes(text, kMaxArgumentBytes - 1);
  std::size_t equals = FindChar(text, '=');
  if (equals == std::string_view::npos || equals >= kNameSearchBytes) return false;
  name = TrimmedCopy(text.substr(0, equals));
  list = std::string(text.substr(equals + 1));
  return true;
}

bool NextListedPath(std::string_view& rest, std::string& item, bool& fits) {
  // Read whole (the list is shorter than this bound), then measured.
  if (!NextItem(rest, ',', kMaxArgumentBytes + 1, item)) return false;
  TrimText(item);
  fits = item.size() < kPathSize;
  return !item.empty();
}
