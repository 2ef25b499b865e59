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

// Every text of the list reaches the program unchanged (from the string resources in the
// Windows build); an unknown id gives an empty text.
TEST(MessageText, EveryListedTextLoadsAsWrittenAndNoOtherLoads) {
  for (const Message& m : kAll) EXPECT_EQ(LoadMessageText(m.id), m.text) << m.id;
  EXPECT_EQ(LoadMessageText(0), "");
  EXPECT_EQ(LoadMessageText(60000), "");
}
}  // namespace
