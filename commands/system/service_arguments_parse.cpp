#include "commands/system/service_arguments_parse.h"

#include "engine/errors.h"
#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
constexpr std::size_t kFieldsBeforePassword = 7;

// The next field, trimmed; false when the text has run out. A field that is longer than
// its buffer holds leaves `fits` false.
bool NextField(std::string_view& rest, std::size_t size, std::string& field, bool& fits) {
  if (!NextItem(rest, ',', rest.size() + 1, field)) return false;
  TrimText(field);
  fits = fits && field.size() < size;
  return true;
}

bool EndsWithExe(std::string_view text) {
  return text.size() >= 4 && EqualsNoCase(text.substr(text.size() - 4), ".exe");
}

// The program field as it is stored (see ParseServiceDefinition); 51 when its program part
// cannot be told or the quoted form does not fit.
unsigned DecideProgram(std::string& program, const FileTest& isFile) {
  if (program.front() == '"') {
    return FindChar(program, '"', 1) == std::string::npos ? unsigned{kErrInvalidSwitch} : 0u;
  }
  if (!HasCommandBlank(program)) return 0;
  std::size_t end = ProgramEndByFile(program, isFile);
  if (end == std::string::npos) {
    std::size_t candidates = 0;
    for (std::size_t candidate : ProgramEnds(program)) {
      if (EndsWithExe(std::string_view(program).substr(0, candidate))) {
        end = candidate;
        ++candidates;
      }
    }
    if (candidates != 1) return kErrInvalidSwitch;
  }
  std::string quoted = QuoteProgramPart(program, end);
  if (quoted.size() >= kServiceFieldSize) return kErrInvalidSwitch;
  program = std::move(quoted);
  return 0;
}
}  // namespace

std::vector<std::string> ServiceNameList(std::string_view text) {
  std::vector<std::string> names;
  std::string_view rest = text;
  std::string item;
  while (NextItem(rest, ',', kServiceFieldSize, item)) {
    TrimText(item);
    if (item.empty()) break;
    names.push_back(item);
  }
  return names;
}

unsigned ParseServiceDefinition(std::string_view text, ServiceDefinition& definition,
                                const FileTest& isFile) {
  ServiceDefinition d;
  std::string_view rest = text;
  bool fits = true;
  std::string startWord, desktopWord;
  if (!NextField(rest, kServiceFieldSize, d.name, fits) ||
      !NextField(rest, kServiceFieldSize, d.displayName, fits) ||
      !NextField(rest, kServiceFieldSize, d.program, fits)) {
    return kErrInvalidSwitch;
  }
  if (NextField(rest, kServiceFieldSize, d.description, fits)) {
    if (!NextField(rest, kServiceWordSize, startWord, fits)) return kErrInvalidSwitch;
    if (EqualsNoCase(startWord, "AUTO")) {
      d.startType = kStartAuto;
    } else if (EqualsNoCase(startWord, "BOOT")) {
      d.startType = kStartBoot;
    } else if (EqualsNoCase(startWord, "MANUAL")) {
      d.startType = kStartManual;
    } else {
      return kErrInvalidSwitch;
    }
    if (NextField(rest, kServiceWordSize, desktopWord, fits)) {
      if (EqualsNoCase(desktopWord, "DESKTOP")) {
        d.serviceType = kOwnProcess | kInteractive;
      } else if (!EqualsNoCase(desktopWord, "NODESKTOP")) {
        return kErrInvalidSwitch;
      }
      // The password is the rest of the text, commas and all.
      if (NextField(rest, kServiceFieldSize, d.account, fits) && !rest.empty()) {
        d.passwordRead = true;
        d.password = TrimmedCopy(rest);
        fits = fits && d.password.size() < kServiceFieldSize;
      }
    }
  }
  if (!fits || d.name.empty() || d.displayName.empty() || d.program.empty() ||
      (!d.account.empty() && d.password.empty())) {
    return kErrInvalidSwitch;
  }
  if (unsigned rc = DecideProgram(d.program, isFile)) return rc;
  definition = std::move(d);
  return 0;
}

std::string ServiceKeyPath(std::string_view name) {
  std::string path = "SYSTEM\\CurrentControlSet\\Services\\";
  path += name;
  return path.size() < kServiceFieldSize ? path : std::string();
}

void HidePassword(std::string& expandedArgument) {
  std::size_t passwordStart = 0;
  for (std::size_t i = 0; i < kFieldsBeforePassword; ++i) {
    std::size_t comma = FindChar(expandedArgument, ',', passwordStart);
    if (comma == std::string::npos) return;
    passwordStart = comma + 1;
  }
  expandedArgument.erase(passwordStart);
  expandedArgument += "****";
}
