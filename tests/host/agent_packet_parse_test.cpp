#include "host/agent_packet_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {
TEST(AgentPacketParse, PairsOfDigitsOrNothing) {
  const std::vector<std::pair<std::string, std::string>> decoded = {
      {"4D454f57", "MEOW"}, {"00ff", std::string("\0\xff", 2)}};
  for (const auto& [text, bytes] : decoded) {
    std::string out;
    EXPECT_TRUE(DecodeInterfacePacket(text, out)) << text;
    EXPECT_EQ(out, bytes);
  }
  for (const char* refused : {"", "4D4", "4G", " 4D", "4D-0"}) {
    std::string out = "old";
    EXPECT_FALSE(DecodeInterfacePacket(refused, out)) << refused;
    EXPECT_TRUE(out.empty());
  }
}
}  // namespace
