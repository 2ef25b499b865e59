#include "engine/text_args.h"

#include "support/mbcs.h"
#include "support/text_routines.h"

std::string FitToBuffer(std::string_view text, std::size_t size) {
  return std::string(CutToBytes(text, size ? size - 1 : 0));
}

unsigned SplitNameValue(std::string_view text, std::size_t nameBound, std::size_t valueBound,
                        std::string& name, std::string& value) {
  std::size_t eq = FindChar(text, '=');
  if (eq == std::string_view::npos) return 23;
  std::string n = TrimmedCopy(text.substr(0, eq));
  if (n.size() + 1 > nameBound) return 23;
  std::string v = TrimmedCopy(text.substr(eq + 1));
  if (v.size() + 1 > valueBound) return 25;
  name = std::move(n);
  value = std::move(v);
  return 0;
}

bool NextItem(std::string_view& rest, char separator, std::size_t size, std::string& item) {
  item.clear();
  if (rest.empty()) return false;
  std::size_t pos = FindChar(rest, separator);
  item = FitToBuffer(rest.substr(0, pos), size);
  rest = pos == std::string_view::npos ? std::string_view() : rest.substr(pos + 1);
  return true;
}

DecimalPrefix ReadDecimalPrefix(std::string_view text) {
  DecimalPrefix number;
  std::size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.negative = text[i++] == '-';
  constexpr std::uint64_t kCeiling = 0x100000000ull;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    number.magnitude = number.magnitude * 10 + static_cast<unsigned>(text[i] - '0');
    if (number.magnitude > kCeiling) {
      number.magnitude = kCeiling;
      number.tooLarge = true;
    }
  }
  return number;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
