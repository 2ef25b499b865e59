#include "orqcab/cab_entry_name_parse.h"

#include "engine/mbcs.h"

namespace {
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsForbiddenByte(unsigned char c) {
  return c < 0x20 || c == ':' || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' ||
         c == '*';
}

bool OnlyDotsAndBlanks(std::string_view part) {
  return part.find_first_not_of(". ") == std::string_view::npos;
}

CabEntryName Refuse(const char* reason) {
  CabEntryName result;
  result.reason = reason;
  return result;
}
}  // namespace

CabEntryName CheckCabEntryName(std::string_view name) {
  if (name.empty()) return Refuse("empty name");
  if (IsSeparator(name[0])) return Refuse("absolute name");
  CabEntryName result;
  std::size_t partStart = 0;
  for (std::size_t i = 0; i <= name.size();) {
    if (i == name.size() || IsSeparator(name[i])) {
      std::string_view part = name.substr(partStart, i - partStart);
      if (OnlyDotsAndBlanks(part)) {
        return Refuse(part.find('.') != std::string_view::npos ? "step out of the folder"
                                                               : "empty part");
      }
      if (i == name.size()) break;
      result.relativePath += '\\';
      partStart = ++i;
      continue;
    }
    std::size_t length = CharLength(name, i);
    // No double-byte code page has a trail byte below 0x40; the system would
    // read such a byte ("/", ":", ".") on its own.
    if (length == 2 && static_cast<unsigned char>(name[i + 1]) < 0x40) {
      return Refuse("broken double-byte character");
    }
    if (length == 1 && IsForbiddenByte(static_cast<unsigned char>(name[i]))) {
      return Refuse(name[i] == ':' ? "drive or stream name" : "forbidden character");
    }
    result.relativePath.append(name.substr(i, length));
    i += length;
  }
  result.accepted = true;
  return result;
}
