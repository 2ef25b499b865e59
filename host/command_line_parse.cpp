#include "host/command_line_parse.h"

#include "engine/text_args.h"
#include "support/mbcs.h"

namespace {
constexpr std::string_view kSwitchStarts = "/-";

// The value that starts at `from`: up to the next switch start or the end, trimmed and
// cut to what a buffer of `size` bytes holds.
std::string ValueAt(std::string_view commandLine, std::size_t from, std::size_t size) {
  std::string_view rest = commandLine.substr(from);
  std::size_t end = FindAnyChar(rest, kSwitchStarts);
  return TrimmedCopy(FitToBuffer(TrimmedCopy(rest.substr(0, end)), size));
}

// The "Log=" value; nullopt when the switch is not there. An empty value is a log name
// too: it turns the main log off.
std::optional<std::string> FindLogName(std::string_view commandLine) {
  for (std::string_view name : {std::string_view("Log="), std::string_view("log=")}) {
    std::size_t at = FindText(commandLine, name);
    if (at != std::string_view::npos) return ValueAt(commandLine, at + name.size(), kSwitchPathSize);
  }
  return std::nullopt;
}

// One pair read the way strtol reads base 16: blanks and a sign may lead, digits follow,
// the first other character ends the number.
char ReadHexPair(std::string_view pair) {
  std::size_t i = 0;
  while (i < pair.size() && IsWhiteSpace(pair[i])) ++i;
  bool negative = false;
  if (i < pair.size() && (pair[i] == '+' || pair[i] == '-')) negative = pair[i++] == '-';
  int value = 0;
  for (; i < pair.size() && HexDigitValue(pair[i]) >= 0; ++i) {
    value = value * 16 + HexDigitValue(pair[i]);
  }
  if (negative) value = -value;
  return static_cast<char>(static_cast<unsigned char>(value & 0xFF));
}

// Where the program's own path ends: after its closing quote, or at its first blank.
std::size_t ProgramPathEnd(std::string_view commandLine) {
  if (!commandLine.empty() && commandLine.front() == '"') {
    std::size_t quote = FindChar(commandLine, '"', 1);
    return quote == std::string_view::npos ? commandLine.size() : quote + 1;
  }
  std::size_t blank = FindAnyChar(commandLine, " \t");
  return blank == std::string_view::npos ? commandLine.size() : blank;
}

// A switch that turns the whole run into something else must be written as a switch of
// its own: after the program's path ("C:\Acme-Check\Orqex.exe" checks nothing) and as the
// whole word, ended by a blank or the end of the line.
bool IsWholeSwitch(std::string_view name, std::string_view word, bool afterProgram) {
  if (!afterProgram || !StartsWithNoCase(name, word)) return false;
  return name.size() == word.size() || name[word.size()] == ' ' || name[word.size()] == '\t';
}

// Acts on the switch whose name starts at `at`; unknown names are ignored.
void ApplySwitch(HostCommandLine& result, std::string_view commandLine, std::size_t at,
                 bool afterProgram) {
  std::string_view name = commandLine.substr(at);
  auto valueOf = [&](std::string_view switchName, std::size_t size) {
    return ValueAt(commandLine, at + switchName.size(), size);
  };
  if (StartsWithNoCase(name, "Script=")) {
    result.scriptValue = valueOf("Script=", kSwitchPathSize);
  } else if (StartsWithNoCase(name, "Section=")) {
    result.section = valueOf("Section=", kSwitchPathSize);
  } else if (StartsWithNoCase(name, "CallBack=")) {
    result.callbackText = valueOf("CallBack=", kInterfaceTextSize);
  } else if (StartsWithNoCase(name, "AppUtil=")) {
    result.appUtilText = valueOf("AppUtil=", kInterfaceTextSize);
  } else if (StartsWithNoCase(name, "Params=")) {
    result.rawParams = valueOf("Params=", kParamsTextSize);
    result.paramsText = DecodeParams(result.rawParams);
  } else if (StartsWithNoCase(name, "Parent=")) {
    result.parentText = valueOf("Parent=", kParentTextSize);
  } else if (StartsWithNoCase(name, "Quiet")) {
    result.quiet = true;
  } else if (IsWholeSwitch(name, "Check", afterProgram)) {
    result.check = true;
  } else if (IsWholeSwitch(name, "WhatIf", afterProgram)) {
    result.whatIf = true;
  } else if (StartsWithNoCase(name, "DeleteScriptDirectory")) {
    result.deleteScriptDirectory = true;
  }
}
}  // namespace

HostCommandLine ParseCommandLine(std::string_view commandLine) {
  HostCommandLine result;
  result.logName = FindLogName(commandLine);
  const std::size_t programEnd = ProgramPathEnd(commandLine);
  for (std::size_t mark = FindAnyChar(commandLine, kSwitchStarts); mark != std::string_view::npos;
       mark = FindAnyChar(commandLine, kSwitchStarts, mark + 1)) {
    std::string_view rest = commandLine.substr(mark + 1);
    // Only a command line that ends with the registration word asks for registration.
    if (EqualsNoCase(rest, "UnregServer")) {
      result.registration = ServerRegistration::Unregister;
      break;
    }
    if (EqualsNoCase(rest, "RegServer")) {
      result.registration = ServerRegistration::Register;
      break;
    }
    ApplySwitch(result, commandLine, mark + 1, mark >= programEnd);
  }
  return result;
}

std::string CommandLineForLog(std::string_view commandLine) {
  constexpr std::string_view kParams = "Params=";
  std::string shown;
  std::size_t copied = 0;
  for (std::size_t mark = FindAnyChar(commandLine, kSwitchStarts); mark != std::string_view::npos;
       mark = FindAnyChar(commandLine, kSwitchStarts, mark + 1)) {
    if (!StartsWithNoCase(commandLine.substr(mark + 1), kParams)) continue;
    std::size_t value = mark + 1 + kParams.size();
    std::size_t end = FindAnyChar(commandLine, kSwitchStarts, value);
    if (end == std::string_view::npos) end = commandLine.size();
    shown.append(commandLine.substr(copied, value - copied));
    shown += end < commandLine.size() ? "**** " : "****";
    copied = end;
    mark = end - 1;
  }
  shown.append(commandLine.substr(copied));
  return shown;
}

std::string DecodeParams(std::string_view hexText) {
  std::string bytes;
  bytes.reserve(hexText.size() / 2);
  for (std::size_t i = 0; i + 1 < hexText.size(); i += 2) bytes += ReadHexPair(hexText.substr(i, 2));
  return bytes;
}

unsigned long ParentProcessId(std::string_view parentText) {
  DecimalPrefix number = ReadDecimalPrefix(parentText);
  // A negative or over-long number names no process.
  if (number.negative || number.tooLarge || number.magnitude > 0xFFFFFFFFull) return 0;
  return static_cast<unsigned long>(number.magnitude);
}

ScriptLocation LocateScript(std::string_view scriptValue, std::string_view programFolder) {
  ScriptLocation location;
  std::size_t slash = FindLastChar(scriptValue, '\\');
  if (slash != std::string_view::npos) {
    location.path = FitToBuffer(scriptValue, kSwitchPathSize);
    location.folder = FitToBuffer(scriptValue.substr(0, slash), kSwitchPathSize);
    location.hasFolder = true;
  } else {
    location.folder = FitToBuffer(programFolder, kSwitchPathSize);
    // Not cut: a program folder and name beyond the path bound must fail to open rather
    // than name some other, shorter file.
    location.path = std::string(programFolder) + "\\" + std::string(scriptValue);
  }
  return location;
}
