#include "commands/registry/registry_path_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {
TEST(RegistryDword, ConvertsSignedDecimalTextToThirtyTwoBitsAndRefusesTheRest) {
  const std::pair<const char*, std::uint32_t> cases[] = {{" \t+7", 7},
                                                         {"12abc", 12},
                                                         {"- 3", 0},
                                                         {"", 0},
                                                         {"-2147483648", 0x80000000u},
                                                         {"000000000000000042", 42}};
  for (auto [text, expected] : cases) {
    std::uint32_t value = 99;
    ASSERT_TRUE(DwordFromText(text, value)) << text;
    EXPECT_EQ(value, expected) << text;
  }
  for (const char* outside : {"4294967296", "-2147483649", "99999999999999999999999"}) {
    std::uint32_t value = 0;
    EXPECT_FALSE(DwordFromText(outside, value)) << outside;
  }
  EXPECT_EQ(DwordToText(0x80000000u), "-2147483648");
}
}  // namespace
