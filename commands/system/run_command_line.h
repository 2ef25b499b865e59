#pragma once
// The command line a run command hands to CreateProcessA, and SHELLEXECUTE's file part.
#include <cstddef>
#include <string>
#include <string_view>

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
//  - "<SEARCH_PATH>" (any case) first: the rest of the text;
//  - a path with a drive ("C:\...") or a network path ("\\server\..."), either of them
//    optionally in double quotes: the text itself;
//  - otherwise the program is joined to `workDir` with one backslash and put in double
//    quotes when the joined path holds a blank or was quoted.
// An unquoted text that holds blanks has its program decided here, not by the system: the
// longest prefix ending at a blank (or the whole text) that names an existing file as
// written (joined to `workDir` for a relative text) is the program, passed in quotes. When
// no prefix names a file, the text goes on as written (a relative one joined up to its first
// blank), so a program on the search path is still found. The arguments stay as written.
CommandLineForm BuildCommandLine(std::string_view text, std::string_view workDir,
                                 std::string& commandLine);

// SHELLEXECUTE's text taken apart the same way: the file to open and its parameters. An
// unquoted text with blanks whose longest existing prefix is shorter than the whole text is
// that file with the rest as parameters; anything else is the file itself.
struct ShellTarget {
  std::string file;
  std::string parameters;  // empty: none
};
ShellTarget DecideShellTarget(const std::string& text);
