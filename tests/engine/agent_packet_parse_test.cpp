#include "engine/agent_packet_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {
TEST(AgentPacketParse, PairsOfDigitsOrNothing) {
  const std::pair<std::string, std::string> rows[] = {
      {"4D454f57", "MEOW"}, {"00ff", std::string("\0\xff", 2)}, {"", ""}, {"4D4", ""}, {"4G", ""},
      {"4:", ""}, {"/0", ""}, {" 4D", ""}, {"4D-0", ""}};
  for (const auto& [text, bytes] : rows) {
    std::string out = "old";
    EXPECT_EQ(DecodeInterfacePacket(text, out), !bytes.empty()) << text;
    EXPECT_EQ(out, bytes) << text;
  }
}
}  // namespace
