// A name OrqCab accepts from a cabinet never leaves the target folder: no
// drive, no stream, no leading separator, no part that steps upwards or is
// empty, ends in a dot or blank or names a device, only "\" as the separator;
// and an accepted name is accepted again unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "orqcab/cab_entry_name_parse.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  const std::string name(reinterpret_cast<const char*>(data) + 1, size - 1);
  const CabEntryName result = CheckCabEntryName(name);
  if (!result.accepted) {
    if (result.reason.empty()) __builtin_trap();
    return 0;
  }
  const std::string& path = result.relativePath;
  if (path.empty() || path[0] == '\\' || FindLastChar(path, '\\') == path.size() - 1) {
    __builtin_trap();
  }
  // Not even as the second byte of a double-byte character.
  if (path.find_first_of(":/") != std::string::npos) __builtin_trap();
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t end = FindChar(path, '\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (part.find_first_not_of(". ") == std::string::npos) __builtin_trap();
    if (part.back() == '.' || part.back() == ' ' || IsDeviceName(part)) __builtin_trap();
    start = end + 1;
  }
  const CabEntryName again = CheckCabEntryName(path);
  if (!again.accepted || again.relativePath != path) __builtin_trap();
  return 0;
}
