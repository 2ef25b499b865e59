#pragma once
// The program's switches, taken from the whole command line. OS-free, so it is fuzzed and
// tested natively.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Bounds of the kept values, as buffer sizes (a value holds size - 1 bytes).
constexpr std::size_t kSwitchPathSize = 260;        // "Script=", "Section=", "Log="
constexpr std::size_t kInterfaceTextSize = 1000;    // "CallBack=", "AppUtil="
constexpr std::size_t kParamsTextSize = 8192;       // "Params="
constexpr std::size_t kParentTextSize = 32;         // "Parent="

enum class ServerRegistration { None, Register, Unregister };

struct HostCommandLine {
  std::string scriptValue;   // "Script=" as given (see LocateScript); empty: no script
  std::string section;       // "Section="; empty when not given
  std::optional<std::string> logName;  // "Log=" (or "log="); nullopt when not given,
                                       // empty for "/Log=" alone (no main log)
  std::string callbackText;  // "CallBack=", hexadecimal
  std::string appUtilText;   // "AppUtil=", hexadecimal
  std::string rawParams;     // "Params=" unchanged
  std::string paramsText;    // its decoded bytes
  std::string parentText;    // "Parent=", a decimal process id
  bool quiet = false;
  bool check = false;  // "Check": check the script, run nothing
  bool whatIf = false;       // "WhatIf", written whole: a run that only says what it would change
  bool deleteScriptDirectory = false;
  // "RegServer"/"UnregServer" end the walk: nothing else is acted on after them.
  ServerRegistration registration = ServerRegistration::None;
};

// Walks every switch of `commandLine` (the program's own path included): each switch
// starts after a "/" or "-", names compare without regard to case as prefixes, a value
// runs from the "=" to the next "/" or "-" and is trimmed and cut to its bound; a later
// switch replaces an earlier one and unknown switches are ignored. "Log=" is found apart
// from the walk: the first "Log=" anywhere, case-sensitively, else the first "log=".
HostCommandLine ParseCommandLine(std::string_view commandLine);

// The command line as the log shows it: the value of every "Params=" switch is "****",
// since script parameters may carry passwords and the log is readable by every user.
std::string CommandLineForLog(std::string_view commandLine);

// Hexadecimal text to bytes: each pair of characters is read like strtol in base 16
// (reading stops at a character that is not a digit, "4G" gives 4), a last single
// character is dropped.
std::string DecodeParams(std::string_view hexText);

// The process id of a "Parent=" value read as a decimal number (0 when there is none).
unsigned long ParentProcessId(std::string_view parentText);

struct ScriptLocation {
  std::string path;       // the file to run, at most 259 bytes
  std::string folder;     // its folder, at most 259 bytes
  bool hasFolder = false; // the value named a folder (it holds a backslash)
};

// Where the "Script=" value points: a value with a backslash names its own folder (the
// part before its last backslash); any other value is a file in the program's folder.
ScriptLocation LocateScript(std::string_view scriptValue, std::string_view programFolder);
