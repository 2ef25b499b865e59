// The program commands' argument forms: a program part decided by existing files ends at a
// blank or the end and is quoted without other change; window names are never empty or longer than 259 bytes; a time limit is a signed 32-bit
// number of milliseconds or none.
#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/system/program_command_parse.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  // The first line is the working folder, the rest the command text.
  std::size_t split = input.find('\n');
  std::string workDir = split == std::string::npos ? std::string() : input.substr(0, split);
  std::string text = split == std::string::npos ? input : input.substr(split + 1);

  // The program part decided by existing files (a rule the input controls) ends at a blank
  // or at the end, and quoting it changes nothing else.
  auto isProgram = [&](const std::string& path) { return path.size() % 3 == workDir.size() % 3; };
  std::size_t end = ProgramEndByFile(text, isProgram);
  if (end != std::string::npos) {
    if (end < text.size() && kCommandBlanks.find(text[end]) == std::string_view::npos) {
      __builtin_trap();
    }
    std::string quoted = QuoteProgramPart(text, end);
    if (quoted.size() != text.size() + 2 || quoted.substr(1, end) != text.substr(0, end) ||
        quoted.substr(end + 2) != text.substr(end)) {
      __builtin_trap();
    }
  }

  for (const std::string& name : CloseAppNames(input)) {
    if (name.empty() || name.size() >= 260 || FindChar(name, ',') != std::string::npos) {
      __builtin_trap();
    }
  }

  WindowWaitArgs wait = ParseWindowWait(input);
  if (!wait.limit.unlimited && wait.limit.ms > kLongestWaitMs) __builtin_trap();
  if (FindChar(wait.name, ',') != std::string::npos) __builtin_trap();

  UserAppArgs app;
  bool hasComma = FindChar(input, ',') != std::string::npos;
  if (ParseUserApp(input, app) != hasComma) __builtin_trap();
  if (FindChar(app.command, ',') != std::string::npos) __builtin_trap();
  return 0;
}
