#pragma once
// A chat line between players: built from its sender, the players it goes
// to and its text, sent once, then freed.
#include <cstdint>

inline constexpr int kTextMessageMax = 111;  // characters kept of a longer text

struct TextMessage {
  int32_t sender = 0;
  uint32_t playerMask = 0;
  char text[kTextMessageMax + 1] = {};
  bool hasText = false;
};

// Builds the line; a text longer than kTextMessageMax characters is cut.
void TextMessageCtor(TextMessage& message, int32_t sender, uint32_t playerMask, const char* text);
// Sends the line to the players of its mask through the session's chat
// transport; 0x80004005 for a line without text.
int32_t SendTextMessage(TextMessage& message, int32_t flags);
void TextMessageDtor(TextMessage& message);

// Where lines leave this peer. The session installs its transport; without
// one (the headless runner, tests) lines go nowhere and sending succeeds.
using TextMessageTransport = void (*)(const TextMessage& message);
void SetTextMessageTransport(TextMessageTransport transport);
