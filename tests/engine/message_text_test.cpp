#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "engine/message_text.h"

namespace {
constexpr std::pair<unsigned, const char*> kAll[] = {
#define ORQ_ERROR(name, code, messageId, text) {messageId, text},
#define ORQ_TEXT(name, messageId, text) {messageId, text},
#include "engine/messages.inc"
#undef ORQ_ERROR
#undef ORQ_TEXT
};

// The Windows build loads these from its string resources.
TEST(MessageText, EveryListedTextLoadsAsWrittenAndNoOtherLoads) {
  for (const auto& [id, text] : kAll) EXPECT_EQ(LoadMessageText(id), text) << id;
  EXPECT_EQ(LoadMessageText(0), "");
  EXPECT_EQ(LoadMessageText(60000), "");
}
}  // namespace
