// INSTALLCAB's argument: only 0 or 51, a symbol name without "=", a cabinet
// path that is neither empty nor beyond 259 bytes and holds no comma.
#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/interaction/install_cab_parse.h"
#include "support/mbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  SetAnsiCodePageForTesting(data[0] & 1 ? 932 : 0);
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string name, value;
  unsigned status = SplitInstallCabArgument(text, name, value);
  if (status != 0 && status != 51) __builtin_trap();
  if (status == 0 && (value.empty() || name.size() >= kCabSymbolNameSize ||
                      value.size() >= kCabValueSize || FindChar(name, '=') != std::string::npos)) {
    __builtin_trap();
  }
  InstallCabFields fields;
  status = SplitInstallCabFields(text, fields);
  if (status != 0 && status != 51) __builtin_trap();
  if (status == 0 && (fields.cabinetPath.empty() || fields.cabinetPath.size() >= kCabFieldSize ||
                      FindChar(fields.cabinetPath, ',') != std::string::npos)) {
    __builtin_trap();
  }
  return 0;
}
