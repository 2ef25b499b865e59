#include "commands/system/run_command_line.h"

#include "commands/files/path_routines.h"
#include "commands/system/program_command_parse.h"
#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
// The joined program is bounded by the whole command line, checked once its arguments are
// added; AppendPath's own bound would also count a backslash that may not be added.
constexpr std::size_t kNoJoinBound = std::string::npos;

bool IsRootedPath(std::string_view path) {
  bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
  bool network = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
  return drive || network;
}

bool IsAbsoluteCommand(std::string_view text) {
  return IsRootedPath(text) || (!text.empty() && text[0] == '"' && IsRootedPath(text.substr(1)));
}

// `text`, or its program part quoted when an unquoted text with blanks starts with an
// existing file.
std::string WithDecidedProgram(std::string_view text) {
  if (text.empty() || text[0] == '"' || !HasCommandBlank(text)) return std::string(text);
  std::size_t end = ProgramEndByFile(text, IsExistingFile);
  return end == std::string_view::npos ? std::string(text) : QuoteProgramPart(text, end);
}

// A relative text: its program joined to `workDir`, quoted when it holds a blank or was
// quoted; false when the joined program does not fit a command line.
bool JoinToWorkDir(std::string_view text, std::string_view workDir, std::string& built) {
  bool quoted = !text.empty() && text[0] == '"';
  std::size_t programEnd;
  std::string_view program;
  if (quoted) {
    std::size_t close = FindChar(text, '"', 1);
    program = text.substr(1, close == std::string_view::npos ? close : close - 1);
    programEnd = close == std::string_view::npos ? text.size() : close + 1;
  } else {
    auto inWorkDir = [&workDir](const std::string& prefix) {
      std::string path(workDir);
      return AppendPath(path, kNoJoinBound, prefix) && IsExistingFile(path);
    };
    programEnd =
        HasCommandBlank(text) ? ProgramEndByFile(text, inWorkDir) : std::string_view::npos;
    quoted = programEnd != std::string_view::npos;
    if (!quoted) programEnd = FindAnyChar(text, kCommandBlanks);
    program = text.substr(0, programEnd);
    if (programEnd == std::string_view::npos) programEnd = text.size();
  }
  std::string joined(workDir);
  if (!AppendPath(joined, kNoJoinBound, program)) return false;
  built = quoted || HasCommandBlank(joined) ? QuoteProgramPart(joined, joined.size()) : joined;
  built.append(text.substr(programEnd));
  return true;
}
}  // namespace

CommandLineForm BuildCommandLine(std::string_view text, std::string_view workDir,
                                 std::string& commandLine) {
  std::string built;
  if (StartsWithNoCase(text, kSearchPathPrefix)) {
    built = WithDecidedProgram(text.substr(kSearchPathPrefix.size()));
  } else if (IsAbsoluteCommand(text)) {
    built = WithDecidedProgram(text);
  } else if (workDir.empty()) {
    return CommandLineForm::NoWorkDir;
  } else if (!JoinToWorkDir(text, workDir, built)) {
    return CommandLineForm::TooLong;
  }
  if (built.size() >= kCommandLineSize) return CommandLineForm::TooLong;
  commandLine = std::move(built);
  return CommandLineForm::Ready;
}

ShellTarget DecideShellTarget(const std::string& text) {
  ShellTarget target{text, ""};
  if (text.empty() || text[0] == '"' || !HasCommandBlank(text) || IsExistingFile(text)) {
    return target;
  }
  std::size_t end = ProgramEndByFile(text, IsExistingFile);
  if (end == std::string::npos) return target;
  target.file = text.substr(0, end);
  target.parameters = TrimmedCopy(std::string_view(text).substr(end));
  return target;
}
