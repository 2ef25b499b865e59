#include "engine/text_args.h"

#include "engine/mbcs.h"

namespace {
bool IsWhite(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// [begin, end) of `text` without white space at either end; a trail byte is never white
// space, but the scan still moves a whole character at a time.
std::pair<std::size_t, std::size_t> TrimBounds(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && IsWhite(text[begin])) ++begin;
  std::size_t end = begin;
  for (std::size_t i = begin; i < text.size();) {
    std::size_t len = CharLength(text, i);
    if (len > 1 || !IsWhite(text[i])) end = i + len;
    i += len;
  }
  return {begin, end};
}
}  // namespace

void TrimText(std::string& text) {
  auto [begin, end] = TrimBounds(text);
  text.erase(end);
  text.erase(0, begin);
}

std::string TrimmedCopy(std::string_view text) {
  auto [begin, end] = TrimBounds(text);
  return std::string(text.substr(begin, end - begin));
}

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
  while (i < text.size() && IsWhite(text[i])) ++i;
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

namespace {
bool IsKeyChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
}  // namespace

std::string ParamValue(std::string_view params, std::string_view key) {
  const std::string needle = std::string(key) + "=\"";
  for (std::size_t at = FindText(params, needle); at != std::string_view::npos;
       at = FindText(params, needle, at + 1)) {
    if (at > 0 && IsKeyChar(params[at - 1])) continue;
    std::size_t begin = at + needle.size();
    std::size_t end = FindChar(params, '"', begin);
    if (end == std::string_view::npos) return {};
    return std::string(params.substr(begin, end - begin));
  }
  return {};
}

namespace {
char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size();) {
    std::size_t len = CharLength(text, i);
    if (len > 1) {
      if (text.substr(i, len) != prefix.substr(i, len)) return false;
    } else if (FoldAscii(text[i]) != FoldAscii(prefix[i])) {
      return false;
    }
    i += len;
  }
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && StartsWithNoCase(a, b);
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
