#include "orqcab/cab_entry_name_parse.h"

#include "support/mbcs.h"

namespace {
bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsForbiddenByte(unsigned char c) {
  return c < 0x20 || c == ':' || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' ||
         c == '*';
}

bool OnlyDotsAndBlanks(std::string_view part) {
  return part.find_first_not_of(". ") == std::string_view::npos;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameLetters(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (Upper(text[i]) != upper[i]) return false;
  }
  return true;
}

bool IsPortDigit(unsigned char c) {
  return (c >= '0' && c <= '9') || c == 0xB9 || c == 0xB2 || c == 0xB3;
}

CabEntryName Refuse(const char* reason) {
  CabEntryName result;
  result.reason = reason;
  return result;
}

// Calls `part` for each name between separators; stops at the first false.
template <typename Visit>
bool EachPart(std::string_view path, Visit visit) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size();) {
    if (i == path.size() || IsSeparator(path[i])) {
      if (!visit(path.substr(start, i - start))) return false;
      start = ++i;
      continue;
    }
    i += CharLength(path, i);
  }
  return true;
}
}  // namespace

bool IsDeviceName(std::string_view part) {
  // The system looks at the name before the first dot or colon, without the blanks
  // behind it. (Neither byte can be the trail byte of a double-byte character.)
  std::string_view stem = part.substr(0, part.find_first_of(".:"));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (SameLetters(stem, device)) return true;
  }
  return stem.size() == 4 &&
         (SameLetters(stem.substr(0, 3), "COM") || SameLetters(stem.substr(0, 3), "LPT")) &&
         IsPortDigit(static_cast<unsigned char>(stem[3]));
}

bool PathNamesDevice(std::string_view path) {
  return !EachPart(path, [](std::string_view part) { return !IsDeviceName(part); });
}

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
      // A dot or a blank is never the trail byte of a double-byte character.
      if (part.back() == '.' || part.back() == ' ') return Refuse("name ends with a dot or blank");
      if (IsDeviceName(part)) return Refuse("device name");
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
