#include "engine/keywords.h"

#include "engine/command_table.h"

#include <string>
#include <unordered_map>

namespace {

const std::unordered_map<std::string_view, CommandId>& WordIndex() {
  static const auto index = [] {
    std::unordered_map<std::string_view, CommandId> map;
    for (const CommandRow& row : CommandTable())
      if (row.id != kCmdUnknown) map.emplace(row.word, row.id);
    return map;
  }();
  return index;
}
}  // namespace

std::string_view KeywordOf(unsigned id) { return CommandRowOf(id).word; }

CommandId LookupCommandWord(std::string_view word) {
  if (word.empty() || word.size() > 32) return kCmdUnknown;
  std::string upper(word);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  auto it = WordIndex().find(upper);
  return it == WordIndex().end() ? kCmdUnknown : it->second;
}
