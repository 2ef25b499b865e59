// The program commands' argument forms: a command line that is handed on is whole and fits its
// buffer, keeps the working folder it was joined to, and is the bare text after the search-path
// mark; window names are never empty or longer than 259 bytes; a time limit is a signed 32-bit
// number of milliseconds or none.
#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/system/program_command_parse.h"
#include "engine/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  // The first line is the working folder, the rest the command text.
  std::size_t split = input.find('\n');
  std::string workDir = split == std::string::npos ? std::string() : input.substr(0, split);
  std::string text = split == std::string::npos ? input : input.substr(split + 1);

  std::string line;
  switch (BuildCommandLine(text, workDir, line)) {
    case CommandLineForm::Ready: {
      if (line.size() >= kCommandLineSize) __builtin_trap();
      bool searched =
          text.size() >= kSearchPathPrefix.size() && line == text.substr(kSearchPathPrefix.size());
      bool asWritten = line == text;
      bool joined = !workDir.empty() && !line.empty() &&
                    (line.compare(0, workDir.size(), workDir) == 0 ||
                     line.compare(1, workDir.size(), workDir) == 0);
      if (!searched && !asWritten && !joined) __builtin_trap();
      break;
    }
    case CommandLineForm::NoWorkDir:
      if (!workDir.empty()) __builtin_trap();
      break;
    case CommandLineForm::TooLong:
      if (!line.empty()) __builtin_trap();
      break;
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
