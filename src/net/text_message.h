#pragma once
// A chat line between players: built from its sender, the players it goes
// to and its text, sent once, then freed.
#include <cstdint>
#include <deque>
#include <string>

#include "platform/threads.h"

struct NetSession;

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

// ---- The queue of chat and system lines the chat lists show.

struct TextLine {
  int32_t sender = 0;        // player number; 0 shown as an observer
  uint32_t recipients = 0;   // bit per player
  uint32_t stamp = 0;        // tick count when queued
  std::string text;
};

struct TextLineQueue {
  plat::CriticalSection lock;
  std::deque<TextLine> lines;
  bool changed = false;
};

extern TextLineQueue g_textLines;

// Adds a line (the oldest goes beyond the chat history limit) and sends
// code 4 to the main thread.
void QueueTextMessage(NetSession& session, int32_t sender, uint32_t recipients, const char* text);
// A system line of the local player, formatted (at most 259 characters).
void QueueTextMessage2(NetSession& session, const char* format, ...) __attribute__((format(printf, 2, 3)));
