#include <gtest/gtest.h>

#include <string>

#include "engine/message_text.h"

namespace {
struct Message {
  unsigned id;
  const char* text;
};
constexpr Message kAll[] = {
#define ORQ_ERROR(name, code, messageId, text) {messageId, text},
#define ORQ_TEXT(name, messageId, text) {messageId, text},
#include "engine/messages.inc"
#undef ORQ_ERROR
#undef ORQ_TEXT
};

// The Windows build loads these from its string resources.
TEST(MessageText, EveryListedTextLoadsAsWrittenAndNoOtherLoads) {
  for (const Message& m : kAll) EXPECT_EQ(LoadMessageText(m.id), m.text) << m.id;
  EXPECT_EQ(LoadMessageText(0), "");
  EXPECT_EQ(LoadMessageText(60000), "");
}
}  // namespace
