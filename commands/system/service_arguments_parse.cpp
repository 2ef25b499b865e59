#include "commands/system/service_arguments_parse.h"

#include "engine/errors.h"
#include "engine/text_args.h"

namespace {
// Compares `word` with an upper-case ASCII keyword without regard to case.
bool IsKeyword(std::string_view word, std::string_view keyword) {
  if (word.size() != keyword.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    char c = word[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != keyword[i]) return false;
  }
  return true;
}

// The next field, trimmed; false when the text has run out. A field that is longer than
// its buffer holds leaves `fits` false.
bool NextField(std::string_view& rest, std::size_t size, std::string& field, bool& fits) {
  if (!NextItem(rest, ',', rest.size() + 1, field)) return false;
  TrimText(field);
  fits = fits && field.size() < size;
  return true;
}

bool HasBlank(std::string_view text) { return text.find_first_of(" \t") != std::string::npos; }
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

unsigned ParseServiceDefinition(std::string_view text, ServiceDefinition& definition) {
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
    if (IsKeyword(startWord, "AUTO")) {
      d.startType = kStartAuto;
    } else if (IsKeyword(startWord, "BOOT")) {
      d.startType = kStartBoot;
    } else if (IsKeyword(startWord, "MANUAL")) {
      d.startType = kStartManual;
    } else {
      return kErrInvalidSwitch;
    }
    if (NextField(rest, kServiceWordSize, desktopWord, fits)) {
      if (IsKeyword(desktopWord, "DESKTOP")) {
        d.serviceType = kOwnProcess | kInteractive;
      } else if (!IsKeyword(desktopWord, "NODESKTOP")) {
        return kErrInvalidSwitch;
      }
      if (NextField(rest, kServiceFieldSize, d.account, fits)) {
        d.passwordRead = NextField(rest, kServiceFieldSize, d.password, fits);
      }
    }
  }
  if (!fits || d.name.empty() || d.displayName.empty() || d.program.empty() ||
      (!d.account.empty() && d.password.empty())) {
    return kErrInvalidSwitch;
  }
  if (HasBlank(d.program) && d.program.front() != '"' && d.program.back() != '"') {
    if (d.program.size() + 2 >= kServiceFieldSize) return kErrInvalidSwitch;
    d.program = '"' + d.program + '"';
  }
  definition = std::move(d);
  return 0;
}

std::string ServiceKeyPath(std::string_view name) {
  std::string path = "SYSTEM\\CurrentControlSet\\Services\\";
  path += name;
  return path.size() < kServiceFieldSize ? path : std::string();
}
