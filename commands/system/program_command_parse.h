#pragma once
// Argument forms of the program and application-window commands, without the system: where the
// program of a command line ends, the window list of CLOSEAPP, the name and time limit of
// WAITFORWINDOWCLOSE and the two fields of STARTUSERAPP.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/interaction/wait_limit_parse.h"

// Whether a path names an existing file (not a folder): the system's answer in the program,
// a table in tests.
using FileTest = std::function<bool(const std::string& path)>;

// Blanks that end the program part of an unquoted command line.
constexpr std::string_view kCommandBlanks = " \t";

// True when `text` holds a blank byte, even one that follows a lead byte: whether the system
// takes such a pair for one character is not ours to guess, and a quote too many does no harm.
bool HasCommandBlank(std::string_view text);

// Where the program part of an unquoted command line may end: before each blank that follows
// a character other than a blank, and at the end of the text; in order.
std::vector<std::size_t> ProgramEnds(std::string_view text);

// Where the program part of an unquoted command line ends, decided by what exists: the
// longest prefix ending at a blank, or the whole text, that `isProgram` accepts (the caller
// says where a prefix points, e.g. joined to a folder). npos when it accepts none. The system
// would otherwise take the shortest such prefix that names a program ("C:\orqrun.exe" for
// "C:\orqrun dir\child.exe").
std::size_t ProgramEndByFile(std::string_view text, const FileTest& isProgram);

// `text` with its first `programEnd` bytes put in double quotes.
std::string QuoteProgramPart(std::string_view text, std::size_t programEnd);

// CLOSEAPP's window names: the argument read as a ","-separated list of items cut to 259 bytes; the
// list ends at its end or at the first empty item. Items are trimmed; an item that is blank after
// trimming is left out (an empty title would match any untitled window).
std::vector<std::string> CloseAppNames(std::string_view argument);

// WAITFORWINDOWCLOSE window[,milliseconds]. The part after the first "," is the time limit, read
// by the engine's one rule for waits (ReadWaitLimit): no digits, or an empty part, is a limit of 0,
// a negative number no limit. Without a "," there is no limit either.
struct WindowWaitArgs {
  std::string name;  // trimmed; empty: the line fails
  WaitLimit limit{true, 0};
};
WindowWaitArgs ParseWindowWait(std::string_view argument);

// STARTUSERAPP command,number: false when there is no ",". The command (before the first ",") is
// returned unexpanded and untrimmed; the number is the part after it, cut to 63 bytes, trimmed and
// read as a signed decimal number (no digits: 0; beyond the range of a 32-bit number: the nearest
// end of that range).
struct UserAppArgs {
  std::string command;
  std::int32_t number = 0;
};
bool ParseUserApp(std::string_view argument, UserAppArgs& args);
