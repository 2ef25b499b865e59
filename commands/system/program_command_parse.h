#pragma once
// Argument forms of the program and application-window commands, without the system: the command
// line a run command hands to CreateProcessA, the window list of CLOSEAPP, the name and time limit
// of WAITFORWINDOWCLOSE and the two fields of STARTUSERAPP.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "commands/interaction/wait_limit_parse.h"

// The command line buffer of a run command: at most 259 bytes are handed on.
constexpr std::size_t kCommandLineSize = 260;
// Marks a command line that the system is to look for along its search path.
constexpr std::string_view kSearchPathPrefix = "<SEARCH_PATH>";

enum class CommandLineForm {
  Ready,      // `commandLine` is what to start
  TooLong,    // more than 259 bytes: nothing may start (a cut line names another program)
  NoWorkDir,  // a relative program while no working folder is set: no place to find it in
};

// The command line for an expanded, trimmed run-command text:
//  - "<SEARCH_PATH>" (any case) first: the rest of the text, unchanged;
//  - a path with a drive ("C:\...") or a network path ("\\server\..."), either of them
//    optionally in double quotes: the text itself;
//  - otherwise the program (up to the first blank, or the quoted part when the text begins
//    with a double quote) is joined to `workDir` with one backslash, and the joined program
//    is put in double quotes when it holds a blank, or was quoted, so that the system
//    cannot take a leading part of the folder ("C:\My" of "C:\My Dir") for the program.
// The arguments after the program are kept as written.
CommandLineForm BuildCommandLine(std::string_view text, std::string_view workDir,
                                 std::string& commandLine);

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
