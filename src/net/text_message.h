#pragma once
// Chat and system lines: a line is built from its sender, the players it
// goes to and its text, sent to those players' peers (or queued here), and
// every line received or made here waits in one queue that the chat lists
// of the lobby and of the game show. The queue lives here, not in the
// screens, so a game without an interface keeps its lines too.
#include <cstdint>
#include <string>
#include <vector>

#include "app/list_node.h"
#include "platform/threads.h"

struct NetSession;

inline constexpr int kTextMessageMax = 111;  // characters of a line that travel
inline constexpr uint32_t kTextToAll = 0xFFFFFFFFu;

struct TextMessage : ListNode {
  int32_t sender = 0;       // player number; 0 shown as an observer
  uint32_t recipients = 0;  // bit per player number; built from 0 as the sender's own bit
  uint32_t stamp = 0;       // the tick count when the line was made
  char text[kTextMessageMax + 1] = {};
  bool hasText = false;
};

// Builds the line; a text longer than kTextMessageMax characters is cut.
void TextMessageCtor(TextMessage& message, int32_t sender, uint32_t recipients, const char* text);
// Delivers the line to its recipients through the game's session (below);
// 0x80004005 for a line without text.
int32_t SendTextMessage(TextMessage& message, int32_t loopback);
// Takes the line out of a queue it stands in and clears it.
void TextMessageDtor(TextMessage& message);

// Delivers the line: outside a session it is queued here when it is
// addressed to the local player (or sent by it with loopback); in the
// lobby it goes to the host and every person in a slot whatever its mask;
// in a game to the people playing the mask's regions, and a line to all
// reaches the observers too. Lines for this peer's own slot are queued here.
int32_t SendTextMessage(NetSession& session, TextMessage& message, bool loopback);

// Watches every line sent with text (tests and tools); null for none.
using TextMessageTransport = void (*)(const TextMessage& message);
void SetTextMessageTransport(TextMessageTransport transport);

// The wire image of a line (lobby message 0x12008, 128 bytes).
std::vector<uint8_t> EncodeTextMessage(const TextMessage& message);

// ---- The queue of chat and system lines (the text-line lock).

struct TextLineQueue {
  TextLineQueue();
  ~TextLineQueue();
  TextLineQueue(const TextLineQueue&) = delete;
  TextLineQueue& operator=(const TextLineQueue&) = delete;

  plat::CriticalSection lock;
  ListNode head;  // oldest line first
  int32_t count = 0;
  bool changed = false;
};

extern TextLineQueue g_textLines;

// A queued line as the readers see it.
struct TextLine {
  int32_t sender = 0;
  uint32_t recipients = 0;
  uint32_t stamp = 0;
  std::string text;
};

// Queues a received line (its sender checked by the receive path) and
// sends code 4 to the main thread. The queue keeps the chat history
// limit + 1 lines: the oldest goes first.
void QueueTextMessage(NetSession& session, int32_t sender, uint32_t recipients, const char* text);
// A system line of the local player, formatted (at most 259 characters).
void QueueTextMessage2(NetSession& session, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Deletes every queued line (a game's start and stop, the lobby's set-up).
void ClearTextMessageQueue(TextLineQueue& queue);
// The queued lines, oldest first.
std::vector<TextLine> QueuedTextLines(TextLineQueue& queue);
// The same, emptying the queue in the one hold of its lock.
std::vector<TextLine> TakeQueuedTextLines(TextLineQueue& queue);
