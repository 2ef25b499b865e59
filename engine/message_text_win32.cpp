#include <windows.h>

#include "engine/message_text.h"

namespace {
constexpr int kMessageBufferSize = 260;
}

std::string LoadMessageText(unsigned messageId) {
  std::string text(kMessageBufferSize, '\0');
  int length = LoadStringA(GetModuleHandleA(nullptr), messageId, text.data(), kMessageBufferSize);
  text.resize(length > 0 && length < kMessageBufferSize ? static_cast<std::size_t>(length) : 0);
  return text;
}
