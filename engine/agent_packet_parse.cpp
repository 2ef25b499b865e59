#include "engine/agent_packet_parse.h"

#include "engine/text_args.h"

bool DecodeInterfacePacket(std::string_view hexText, std::string& bytes) {
  bytes.clear();
  if (hexText.empty() || hexText.size() % 2 != 0) return false;
  std::string decoded;
  decoded.reserve(hexText.size() / 2);
  for (std::size_t i = 0; i < hexText.size(); i += 2) {
    int high = HexDigitValue(hexText[i]);
    int low = HexDigitValue(hexText[i + 1]);
    if (high < 0 || low < 0) return false;
    decoded.push_back(static_cast<char>(high * 16 + low));
  }
  bytes = std::move(decoded);
  return true;
}
