#include "net/text_message.h"

#include <atomic>
#include <cstring>

namespace {
std::atomic<TextMessageTransport> g_transport{nullptr};
}

void TextMessageCtor(TextMessage& message, int32_t sender, uint32_t playerMask, const char* text) {
  message = TextMessage{};
  message.sender = sender;
  message.playerMask = playerMask;
  if (!text) return;
  const size_t length = strnlen(text, kTextMessageMax);
  std::memcpy(message.text, text, length);
  message.text[length] = '\0';
  message.hasText = true;
}

int32_t SendTextMessage(TextMessage& message, int32_t) {
  if (!message.hasText) return static_cast<int32_t>(0x80004005u);
  if (TextMessageTransport transport = g_transport.load()) transport(message);
  return 0;
}

void TextMessageDtor(TextMessage& message) { message = TextMessage{}; }

void SetTextMessageTransport(TextMessageTransport transport) { g_transport.store(transport); }
