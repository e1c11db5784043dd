#include "net/text_message.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "net/net_session.h"
#include "platform/clock.h"
#include "world/text/ui_options.h"
#include "world/world.h"

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

TextLineQueue g_textLines;

void QueueTextMessage(NetSession& session, int32_t sender, uint32_t recipients, const char* text) {
  TextLineQueue& queue = session.lines ? *session.lines : g_textLines;
  {
    plat::CriticalSectionLock hold(queue.lock);
    TextLine line;
    line.sender = sender;
    line.recipients = recipients ? recipients : 1u << (static_cast<uint32_t>(sender) % 32);
    line.stamp = plat::TickCount();
    line.text = text ? text : "";
    queue.lines.push_back(std::move(line));
    const size_t limit = static_cast<size_t>(std::max(g_uiOptions.chatsavehistory, 0)) + 1;
    while (queue.lines.size() > limit) queue.lines.pop_front();
    queue.changed = true;
  }
  NetNotify(session, kNetCodeChat, 0);
}

void QueueTextMessage2(NetSession& session, const char* format, ...) {
  char text[260];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  const World* world = session.world;
  QueueTextMessage(session, world ? world->gameState.localPlayer : 0, 0, text);
}
