#pragma once
// The one table that knows every command word: its id, its family, what it does to the
// machine, its argument forms, the symbol it sets, its error codes and one sentence of what
// it does. The keyword lookup, the handler registration check, the script check, the WhatIf
// run and the generated reference all read it; nothing else lists the commands.
#include <array>
#include <string_view>

#include "engine/command_ids.h"

// What running a command does to the machine.
enum class CommandEffect {
  kControl,  // changes only the run itself: symbols, the path through the script, the agent
  kReads,    // reads the machine and sets a symbol
  kActs,     // changes the machine: registry, files, services, processes, windows, PATH
  kAsks,     // shows the user something and waits for an answer
  kWaits,    // waits for time to pass or for something on the machine to change
};

struct CommandRow {
  CommandId id;
  std::string_view word;        // "SETREGVALUE"
  std::string_view family;      // "registry", "ini", "files", ... (lower case, one word)
  CommandEffect effect;
  std::string_view forms;       // argument forms as the reference shows them, "|" between forms
  std::string_view setsSymbol;  // what it sets: "" for nothing
  std::string_view whatIfValue; // the value a WhatIf run gives that symbol; "" when not fixed
  std::string_view errorCodes;  // the ErrorCodes it can return, blank-separated: "4 5 51"
  std::string_view summary;     // one sentence
  std::string_view example;     // one line a script could hold, word included
  bool hasHandler;              // false only for words the engine knows but does not carry out
};

// Rows 1..85 in id order; row 0 stands for any other word.
const std::array<CommandRow, kCommandIdCount>& CommandTable();
const CommandRow& CommandRowOf(unsigned id);  // row 0 for an id out of range
