// Any registrar script parses or is refused with a message; what parses keeps its key
// names within the registry's bounds and its nesting within the limit, and a variable's
// value (here one full of quotes, braces and "=") never changes the script's structure:
// it parses exactly as a plain value of the same length does.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/registrar_script_parse.h"

namespace {
std::size_t CheckKeys(const std::vector<RegistrarKey>& keys, std::size_t depth) {
  if (depth > kRegistrarDepthMax) __builtin_trap();
  std::size_t count = 0;
  for (const RegistrarKey& key : keys) {
    if (key.name.empty() || key.name.size() > kRegistrarKeyNameMax ||
        key.name.find('\\') != std::string::npos) {
      __builtin_trap();
    }
    count += 1 + key.values.size() + CheckKeys(key.subKeys, depth + 1);
  }
  return count;
}

// -1 when the script is refused, else the number of keys and values.
long Shape(std::string_view text, const std::string& module) {
  std::vector<RegistrarRootBlock> blocks;
  std::string error;
  if (!ParseRegistrarScript(text, {{"Module", module}}, blocks, error)) {
    if (error.empty() || !blocks.empty()) __builtin_trap();
    return -1;
  }
  long count = 0;
  for (const RegistrarRootBlock& block : blocks)
    count += static_cast<long>(CheckKeys(block.keys, 1));
  return count;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (Shape(text, "abcdefghijk") != Shape(text, "x' } { = 'y")) {
    __builtin_trap();
  }
  return 0;
}
