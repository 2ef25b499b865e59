// CREATESERVICE's fields and the service name lists: only the documented codes, every field
// within its buffer, a program with a blank always begins with a quote, and the log copy of
// the argument never holds the password.
#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/system/service_arguments_parse.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (const std::string& name : ServiceNameList(text)) {
    if (name.empty() || name.size() >= kServiceFieldSize) __builtin_trap();
  }
  ServiceDefinition d;
  // Files "exist" by a rule the input controls: prefixes whose length is a multiple of 3.
  auto isFile = [&](const std::string& path) { return (data[0] & 2) && path.size() % 3 == 0; };
  unsigned status = ParseServiceDefinition(text, d, isFile);
  if (status == 51) return 0;
  if (status != 0) __builtin_trap();
  for (const std::string* field :
       {&d.name, &d.displayName, &d.program, &d.description, &d.account, &d.password}) {
    if (field->size() >= kServiceFieldSize) __builtin_trap();
  }
  if (d.name.empty() || d.displayName.empty() || d.program.empty()) __builtin_trap();
  if (!d.account.empty() && d.password.empty()) __builtin_trap();
  if (d.program.find_first_of(" \t") != std::string::npos && d.program.front() != '"') {
    __builtin_trap();
  }
  std::string logged = text;
  HidePassword(logged);
  if (d.passwordRead && (logged.size() < 5 || logged.substr(logged.size() - 5) != ",****")) {
    __builtin_trap();
  }
  if (ServiceKeyPath(d.name).size() >= kServiceFieldSize) __builtin_trap();
  return 0;
}
