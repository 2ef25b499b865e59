#pragma once
// The argument forms of the service commands, taken apart without the OS:
//   service[,service...]     STOPSERVICE, STARTSERVICE, DELETESERVICE (first name only)
//   name,display name,program[,description[,start type[,desktop[,account[,password]]]]]
//                            CREATESERVICE, after its symbols were expanded
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "commands/system/program_command_parse.h"

constexpr std::size_t kServiceFieldSize = 260;  // names, program, description, account: 259
constexpr std::size_t kServiceWordSize = 20;    // start type and desktop words: 19 bytes

// The trimmed names of a list, each cut to 259 bytes. The list ends at the end of the text
// or at the first empty name: in "A,,B" the name B is never reached.
std::vector<std::string> ServiceNameList(std::string_view text);

// Start types the service manager knows.
constexpr std::uint32_t kStartBoot = 0;
constexpr std::uint32_t kStartAuto = 2;
constexpr std::uint32_t kStartManual = 3;
// Service types: a program of its own, which may also interact with the desktop.
constexpr std::uint32_t kOwnProcess = 0x10;
constexpr std::uint32_t kInteractive = 0x100;

struct ServiceDefinition {
  std::string name;
  std::string displayName;
  std::string program;  // its program part quoted when it holds a blank (see below)
  std::string description;
  std::uint32_t startType = kStartAuto;
  std::uint32_t serviceType = kOwnProcess;
  std::string account;
  std::string password;  // the rest of the text after the seventh comma, trimmed
  bool passwordRead = false;  // the eighth field was there: the account is handed over
};

// Reads CREATESERVICE's fields. Returns 0 or 51: a field that is required and missing
// (name, display name, program, and the start type after a description), an unknown start
// type or desktop word, an empty name, display name or program, an account without a
// password, a field that does not fit its buffer (refused, never cut), or a program whose
// stored form could run another program (below).
//
// The service manager runs an unquoted path with blanks by trying its prefixes, so
// "C:\Program Files\App\svc.exe" would run a "C:\Program.exe" put there by anyone. A
// program field that begins with a double quote is kept as written (it must close its
// quote); one without blanks too. Otherwise its program part is decided and put in double
// quotes:
//  - the longest prefix ending at a blank, or the whole field, that `isFile` finds;
//  - when none exists yet, the one prefix (or the whole field) whose last word ends in
//    ".exe" (any case);
// what follows it is kept as the program's arguments. When neither tells the program part
// (no such prefix, or several), or the quoted form would not fit, the line is refused.
unsigned ParseServiceDefinition(std::string_view text, ServiceDefinition& definition,
                                const FileTest& isFile);

// The "Executing line" log copy of a CREATESERVICE argument: everything after the seventh
// comma (the password) is shown as "****".
void HidePassword(std::string& expandedArgument);

// "SYSTEM\CurrentControlSet\Services\<name>", or the empty text when that would not fit a
// 260-byte path (a cut path could name another service's key).
std::string ServiceKeyPath(std::string_view name);
