// The native build has no string resources: the texts come from the same list the
// resource script is made from.
#include "engine/message_text.h"
#include "support/mbcs.h"

namespace {
struct MessageRow {
  unsigned messageId;
  const char* text;
};
constexpr MessageRow kMessages[] = {
#define ORQ_ERROR(name, code, messageId, text) {messageId, text},
#define ORQ_TEXT(name, messageId, text) {messageId, text},
#include "engine/messages.inc"
#undef ORQ_ERROR
#undef ORQ_TEXT
};
constexpr std::size_t kMessageBufferSize = 260;
}  // namespace

std::string LoadMessageText(unsigned messageId) {
  for (const MessageRow& row : kMessages) {
    if (row.messageId == messageId) return std::string(CutToBytes(row.text, kMessageBufferSize - 1));
  }
  return {};
}
