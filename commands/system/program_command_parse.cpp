#include "commands/system/program_command_parse.h"

#include <limits>

#include "engine/mbcs.h"
#include "engine/text_args.h"

namespace {
constexpr std::size_t kItemSize = 260;
constexpr std::size_t kNumberFieldSize = 64;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i], b = prefix[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

bool IsRootedPath(std::string_view path) {
  bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
  bool network = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
  return drive || network;
}

bool IsAbsoluteCommand(std::string_view text) {
  return IsRootedPath(text) || (!text.empty() && text[0] == '"' && IsRootedPath(text.substr(1)));
}

// `folder` and `name` with exactly one backslash between them (the rule of AppendPath: a trailing
// backslash counts only when it is not the trail byte of a double-byte character).
std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  std::size_t last = FindLastChar(folder, '\\');
  bool folderEnds = last != std::string_view::npos && last + 1 == folder.size();
  bool nameStarts = !name.empty() && name[0] == '\\';
  if (folderEnds && nameStarts) {
    joined.pop_back();
  } else if (!folderEnds && !nameStarts) {
    joined += '\\';
  }
  joined.append(name);
  return joined;
}

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

CommandLineForm BuildCommandLine(std::string_view text, std::string_view workDir,
                                 std::string& commandLine) {
  std::string built;
  if (StartsWithNoCase(text, kSearchPathPrefix)) {
    built = text.substr(kSearchPathPrefix.size());
  } else if (IsAbsoluteCommand(text)) {
    built = text;
  } else {
    if (workDir.empty()) return CommandLineForm::NoWorkDir;
    bool quoted = !text.empty() && text[0] == '"';
    std::string_view program, rest;
    if (quoted) {
      std::size_t close = FindChar(text, '"', 1);
      program = text.substr(1, close == std::string_view::npos ? close : close - 1);
      rest = close == std::string_view::npos ? std::string_view() : text.substr(close + 1);
    } else {
      std::size_t blank = FindAnyChar(text, " \t");
      program = text.substr(0, blank);
      rest = blank == std::string_view::npos ? std::string_view() : text.substr(blank);
    }
    std::string joined = JoinPath(workDir, program);
    if (quoted || FindAnyChar(joined, " \t") != std::string::npos) joined = '"' + joined + '"';
    built = joined + std::string(rest);
  }
  if (built.size() >= kCommandLineSize) return CommandLineForm::TooLong;
  commandLine = std::move(built);
  return CommandLineForm::Ready;
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
