// Any "CallBack=" / "AppUtil=" text either decodes to exactly one byte per pair of
// hexadecimal digits, which encode back to the same text, or is refused with no bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/agent_packet_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string bytes;
  if (!DecodeInterfacePacket(text, bytes)) {
    if (!bytes.empty()) __builtin_trap();
    return 0;
  }
  if (bytes.size() * 2 != text.size() || bytes.empty()) __builtin_trap();
  static const char kDigits[] = "0123456789abcdef";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(bytes[i]);
    char high = static_cast<char>(text[2 * i] | 0x20),
         low = static_cast<char>(text[2 * i + 1] | 0x20);
    if (high != kDigits[byte >> 4] || low != kDigits[byte & 15]) __builtin_trap();
  }
  return 0;
}
