#include "net/text_message.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "net/game_messages.h"
#include "net/net_session.h"
#include "net/net_slots.h"
#include "platform/clock.h"
#include "records/le_bytes.h"
#include "records/player_record.h"

namespace {

std::atomic<TextMessageTransport> g_transport{nullptr};

// The slot this machine's lines go out from: the local region in a game
// (-1 when the index names none), slot 0 before one (in the lobby).
// In a session the network's threads queue lines too (a player left, the
// host lost) while a game's load rewrites the world's local player: there
// the region comes from the local slot, read under the slot lock.
int32_t SenderSlot(NetSession& session) {
  if (!session.game || !session.game->localPlayer) return 0;
  int32_t local = 0;
  if (const NetSlot* slots = SessionSlots(session); slots && session.inSession) {
    const int32_t own = session.localSlot;
    if (own < 0 || own >= kMaxPlayers) return 0;
    plat::CriticalSectionLock hold(session.slotLock);
    local = slots[own].region;
  } else {
    local = *session.game->localPlayer;
  }
  return local >= 0 && local < kMaxPlayers ? local : -1;
}

// Whether a game runs, or the lobby.
bool InGame(const NetSession& session) {
  return !session.game || !session.game->inGame || session.game->inGame();
}

bool HasBit(uint32_t mask, int32_t player) {
  return player >= 0 && player < 32 && (mask & (1u << static_cast<uint32_t>(player))) != 0;
}

// Where a line goes: a peer's player id, or this peer's own queue.
struct Target {
  uint32_t playerId = 0;
  bool local = false;
};

void AddTarget(std::vector<Target>& targets, const Target& t) {
  for (const Target& have : targets)
    if (have.local == t.local && (t.local || have.playerId == t.playerId)) return;
  targets.push_back(t);
}

// The slots a line reaches, read under the slot lock and sent outside it.
std::vector<Target> TargetsOf(NetSession& session, const TextMessage& line, bool loopback, bool inGame) {
  std::vector<Target> targets;
  const NetSlot* slots = session.game->slots;
  const PlayerRecord* players = session.game->players;
  const int32_t own = session.localSlot;
  const uint32_t host = session.hostPlayer;
  plat::CriticalSectionLock hold(session.slotLock);
  auto slotTarget = [&](int s) {
    const NetSlot& slot = slots[s];
    if (s == own) return Target{0, true};
    return Target{slot.playerId, false};
  };
  if (!inGame) {
    // The lobby: everybody hears every line.
    if (host != 0) AddTarget(targets, session.isHost ? Target{0, true} : Target{host, false});
    for (int s = 1; s < kMaxPlayers; ++s) {
      const NetSlot& slot = slots[s];
      if (slot.state != kSlotHuman || (host != 0 && slot.playerId == host)) continue;
      AddTarget(targets, slotTarget(s));
    }
    return targets;
  }
  for (int p = 1; p < kMaxPlayers; ++p) {
    if (!HasBit(line.recipients, p) && !(loopback && p == line.sender)) continue;
    const uint32_t s = players ? players[p].networkSlot : 0;
    if (s == 0 || s >= static_cast<uint32_t>(kMaxPlayers) || slots[s].state != kSlotHuman) continue;
    AddTarget(targets, slotTarget(static_cast<int>(s)));
  }
  if (line.recipients == kTextToAll)
    for (int s = 1; s < kMaxPlayers; ++s)
      if (slots[s].state == kSlotHuman && slots[s].region == 0) AddTarget(targets, slotTarget(s));
  return targets;
}

void AddLine(NetSession& session, TextMessage* line) {
  TextLineQueue& queue = session.lines ? *session.lines : g_textLines;
  {
    plat::CriticalSectionLock hold(queue.lock);
    queue.head.Append(line);
    ++queue.count;
    const int32_t kept = session.game && session.game->chatHistory ? *session.game->chatHistory : 32;
    const int32_t limit = std::max(kept, 0) + 1;
    while (queue.count > limit) {
      auto* oldest = static_cast<TextMessage*>(queue.head.next());
      oldest->Unlink();
      delete oldest;
      --queue.count;
    }
    queue.changed = true;
  }
  NetNotify(session, kNetCodeChat, 0);
}

}  // namespace

void TextMessageCtor(TextMessage& message, int32_t sender, uint32_t recipients, const char* text) {
  message.Unlink();
  message.sender = sender;
  message.recipients = recipients ? recipients : 1u << (static_cast<uint32_t>(sender) % 32);
  message.stamp = plat::TickCount();
  std::memset(message.text, 0, sizeof message.text);
  message.hasText = text != nullptr;
  if (text) std::memcpy(message.text, text, strnlen(text, kTextMessageMax));
}

void TextMessageDtor(TextMessage& message) {
  message.Unlink();
  message.hasText = false;
  std::memset(message.text, 0, sizeof message.text);
}

void SetTextMessageTransport(TextMessageTransport transport) { g_transport.store(transport); }

std::vector<uint8_t> EncodeTextMessage(const TextMessage& message) {
  std::vector<uint8_t> out(kLobbyTextSize, 0);
  le::Store32(out.data(), kLobbyText);
  le::Store32(out.data() + 4, kLobbyTextSize);
  le::Store32(out.data() + 8, static_cast<uint32_t>(message.sender));
  le::Store32(out.data() + 12, message.recipients);
  std::memcpy(out.data() + kLobbyTextAt, message.text, strnlen(message.text, kTextMessageMax));
  return out;
}

int32_t SendTextMessage(TextMessage& message, int32_t loopback) {
  return SendTextMessage(g_netSession, message, loopback != 0);
}

int32_t SendTextMessage(NetSession& session, TextMessage& message, bool loopback) {
  if (!message.hasText) return static_cast<int32_t>(0x80004005u);
  if (TextMessageTransport transport = g_transport.load()) transport(message);
  if (!session.inSession || !SessionSlots(session)) {
    const int32_t local = SenderSlot(session);
    if (HasBit(message.recipients, local) || (message.sender == local && loopback))
      QueueTextMessage2(session, "%s", message.text);
    return 0;
  }
  const std::vector<uint8_t> wire = EncodeTextMessage(message);
  for (const Target& t : TargetsOf(session, message, loopback, InGame(session))) {
    if (t.local)
      QueueTextMessage(session, message.sender, message.recipients, message.text);
    else
      (void)NetSendGameMessage(session, t.playerId, loopback, wire.data(), nullptr, 0);
  }
  return 0;
}

TextLineQueue g_textLines;

TextLineQueue::TextLineQueue() = default;
TextLineQueue::~TextLineQueue() { ClearTextMessageQueue(*this); }

void QueueTextMessage(NetSession& session, int32_t sender, uint32_t recipients, const char* text) {
  auto* line = new TextMessage;
  TextMessageCtor(*line, sender, recipients, text ? text : "");
  AddLine(session, line);
}

void QueueTextMessage2(NetSession& session, const char* format, ...) {
  char text[260];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  QueueTextMessage(session, SenderSlot(session), 0, text);
}

void ClearTextMessageQueue(TextLineQueue& queue) {
  plat::CriticalSectionLock hold(queue.lock);
  while (ListNode* first = queue.head.next()) {
    first->Unlink();
    delete static_cast<TextMessage*>(first);
  }
  queue.count = 0;
  queue.changed = true;
}

std::vector<TextLine> QueuedTextLines(TextLineQueue& queue) {
  std::vector<TextLine> lines;
  plat::CriticalSectionLock hold(queue.lock);
  for (ListNode* n = queue.head.next(); n && n != &queue.head; n = n->next()) {
    const auto* m = static_cast<const TextMessage*>(n);
    lines.push_back(TextLine{m->sender, m->recipients, m->stamp, m->text});
  }
  return lines;
}

std::vector<TextLine> TakeQueuedTextLines(TextLineQueue& queue) {
  plat::CriticalSectionLock hold(queue.lock);
  std::vector<TextLine> lines = QueuedTextLines(queue);
  ClearTextMessageQueue(queue);
  return lines;
}
