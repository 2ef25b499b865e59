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
  std::string program;  // quoted when it holds a blank and is not quoted already
  std::string description;
  std::uint32_t startType = kStartAuto;
  std::uint32_t serviceType = kOwnProcess;
  std::string account;
  std::string password;
  bool passwordRead = false;  // the eighth field was there: the account is handed over
};

// Reads CREATESERVICE's fields. Returns 0 or 51: a field that is required and missing
// (name, display name, program, and the start type after a description), an unknown start
// type or desktop word, an empty name, display name or program, an account without a
// password, a field that does not fit its buffer (refused, never cut), or a program path
// with a blank whose quoted form would not fit (it would run another program unquoted).
unsigned ParseServiceDefinition(std::string_view text, ServiceDefinition& definition);

// "SYSTEM\CurrentControlSet\Services\<name>", or the empty text when that would not fit a
// 260-byte path (a cut path could name another service's key).
std::string ServiceKeyPath(std::string_view name);
