// The root prefix: accepted exactly for the five upper-case prefixes, the sub-key path is
// everything after them, and a "path,name" split never yields an overlong path.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "commands/registry/registry_path_parse.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  RegistryRoot root;
  unsigned status = ParseRootPrefix(text, root);
  bool known = false;
  for (const char* prefix : {"HKLM\\", "HKCR\\", "HKCU\\", "HKUS\\", "HKCC\\"}) {
    if (text.compare(0, 5, prefix) == 0) known = true;
  }
  if (status != (known ? 0u : 20u)) __builtin_trap();
  if (status == 0 && SubKeyOf(text) != std::string_view(text).substr(5)) __builtin_trap();

  std::string path, name;
  unsigned split = SplitPathAndName(text, path, name);
  if (split != 0 && split != 51) __builtin_trap();
  if (split == 0 && path.size() >= kRegistryFieldSize) __builtin_trap();
  return 0;
}
