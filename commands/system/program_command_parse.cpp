#include "commands/system/program_command_parse.h"

#include <limits>

#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
constexpr std::size_t kItemSize = 260;
constexpr std::size_t kNumberFieldSize = 64;

std::int32_t ClampToInt32(const DecimalPrefix& number) {
  constexpr std::uint64_t kMaxPositive = std::numeric_limits<std::int32_t>::max();
  if (number.negative) {
    if (number.magnitude > kMaxPositive) return std::numeric_limits<std::int32_t>::min();
    return -static_cast<std::int32_t>(number.magnitude);
  }
  if (number.magnitude > kMaxPositive) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(number.magnitude);
}
}  // namespace

bool HasCommandBlank(std::string_view text) {
  return text.find_first_of(kCommandBlanks) != std::string_view::npos;
}

std::vector<std::size_t> ProgramEnds(std::string_view text) {
  std::vector<std::size_t> ends;
  for (std::size_t blank = FindAnyChar(text, kCommandBlanks); blank != std::string_view::npos;
       blank = FindAnyChar(text, kCommandBlanks, blank + 1)) {
    if (blank > 0 && kCommandBlanks.find(text[blank - 1]) == std::string_view::npos) {
      ends.push_back(blank);
    }
  }
  ends.push_back(text.size());
  return ends;
}

std::size_t ProgramEndByFile(std::string_view text, const FileTest& isProgram) {
  std::vector<std::size_t> ends = ProgramEnds(text);
  for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
    if (isProgram(std::string(text.substr(0, *end)))) return *end;
  }
  return std::string_view::npos;
}

std::string QuoteProgramPart(std::string_view text, std::size_t programEnd) {
  std::string quoted = "\"";
  quoted.append(text.substr(0, programEnd));
  quoted += '"';
  quoted.append(text.substr(programEnd));
  return quoted;
}

std::vector<std::string> CloseAppNames(std::string_view argument) {
  std::vector<std::string> names;
  std::string_view rest = argument;
  std::string item;
  while (NextItem(rest, ',', kItemSize, item) && !item.empty()) {
    TrimText(item);
    if (!item.empty()) names.push_back(item);
  }
  return names;
}

WindowWaitArgs ParseWindowWait(std::string_view argument) {
  WindowWaitArgs args;
  std::size_t comma = FindChar(argument, ',');
  args.name = TrimmedCopy(argument.substr(0, comma));
  if (comma != std::string_view::npos) args.limit = ReadWaitLimit(argument.substr(comma + 1));
  return args;
}

bool ParseUserApp(std::string_view argument, UserAppArgs& args) {
  std::size_t comma = FindChar(argument, ',');
  if (comma == std::string_view::npos) return false;
  args.command = std::string(argument.substr(0, comma));
  std::string number = TrimmedCopy(FitToBuffer(argument.substr(comma + 1), kNumberFieldSize));
  args.number = ClampToInt32(ReadDecimalPrefix(number));
  return true;
}
