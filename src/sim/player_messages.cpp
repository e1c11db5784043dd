#include "sim/player_messages.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "app/calendar.h"
#include "app/list_node.h"
#include "net/session_message.h"
#include "net/command_network.h"
#include "sim/message_network.h"
#include "sim/message_text.h"
#include "sim/player_message_wire.h"
#include "sim/status_queue.h"
#include "sim/mail_ui_link.h"
#include "sim/sim_ui_link.h"
#include "sim/player_message_link.h"
#include "world/list_items.h"
#include "records/net_slot.h"
#include "world/text/rule_tables.h"
#include "world/text/ui_options.h"
#include "world/world.h"

MessageNetLink g_messageNet;

namespace {

int RecordIndex(const World& world, const PlayerRecord& record) {
  const auto index = &record - world.players;
  return index >= 0 && index < kMaxPlayers ? static_cast<int>(index) : -1;
}


bool SlotIsHuman(const World& world, int p) {
  const uint32_t slot = world.players[p].networkSlot;
  return slot != 0 && slot < static_cast<uint32_t>(kMaxPlayers) && world.slotTable[slot].state == kSlotHuman;
}

char* CopyText(const char* text) {
  if (!text) return nullptr;
  const size_t size = std::strlen(text) + 1;
  auto* copy = static_cast<char*>(std::malloc(size));
  if (copy) std::memcpy(copy, text, size);
  return copy;
}

// The muted bit is set by the interface thread while the turn thread reads it.
uint8_t MuteFlags(const MessageTypeRecord& type) {
  return std::atomic_ref<uint8_t>(const_cast<uint8_t&>(type.muteFlags)).load(std::memory_order_relaxed);
}

// Whether a posting of the type passes its frequency rule today.
bool FrequencyPasses(const MessageTypeRecord& type, const PlayerMessageState& entry, uint32_t today) {
  const uint32_t param = type.frequencyParam;
  const bool newDay = entry.lastDay < today;
  const auto date = [&] {
    GameDate d;
    d.dayNumber = static_cast<int32_t>(today);
    DayNumberToDate(d);
    return d;
  };
  switch (type.frequencyKind) {
    case 0: return true;
    case 2:
    case 4: return static_cast<uint64_t>(entry.lastDay) + param < today;
    case 10: return newDay;
    case 11: return newDay && (today & 1u) != 0;
    case 12: return newDay && (today & 1u) == 0;
    case 20: return newDay && ((today + 2) % 7) + 1 == param;
    case 30: return newDay && date().day == param;
    case 31: {
      const GameDate d = date();
      return newDay && d.day == param && (d.month & 1) != 0;
    }
    case 32: {
      const GameDate d = date();
      return newDay && d.day == param && (d.month & 1) == 0;
    }
    case 40: {
      const GameDate d = date();
      return newDay && d.day == param && d.month % 3 == 0;
    }
    case 50: return entry.suppressed > param;
    default: return false;
  }
}

PlayerMessage* CopyMessage(const PlayerMessage& source) {
  auto* copy = NewZeroed<PlayerMessage>();
  if (!copy) return nullptr;
  CopyPlayerMessage(*copy, source);
  for (int i = 0; i < kMessageTexts; ++i) {
    if (!source.texts[i]) continue;
    copy->texts[i] = CopyText(source.texts[i]);
    if (!copy->texts[i]) {
      DeleteZeroed(copy);
      return nullptr;
    }
  }
  return copy;
}

void PlaySound(int32_t sound) {
  if (sound > 0 && g_simUi.playUiSound) g_simUi.playUiSound(sound);
}

uint32_t Shown(uint32_t (*hook)()) { return hook ? hook() : 0; }

void PostThroughLink(World& world, PlayerRecord& recipient, int32_t subject, int32_t typeId, uint32_t p1) {
  if (typeId > 0) PostPlayerMessage(world, recipient, subject, static_cast<uint32_t>(typeId), nullptr, MessageParams{p1});
}

[[maybe_unused]] const bool g_linkInstalled = (InstallPlayerMessageLink(), true);

}  // namespace

void InstallPlayerMessageLink() {
  g_playerMessageLink.post = &PostThroughLink;
  g_playerMessageLink.deliverTurnMessage = &DeliverTurnMessage;
}

void DeliverTurnMessage(World& world, PlayerRecord& player) {
  const uint32_t type = world.gameState.pendingTurnMessage;
  if (type == 0) return;
  world.gameState.pendingTurnMessage = 0;
  DeliverPlayerMessage(world, player, type, 0, nullptr, MessageParams{});
}

const MessageTypeRecord* MessageType(uint32_t typeId) {
  const MessageTypeTable& table = g_ruleTables.messageTypes;
  if (typeId >= table.records.size()) return nullptr;
  return &table.records[typeId];
}

bool MessagesLiveHere(const World& world, int32_t p) {
  if (p < 0 || p >= kMaxPlayers) return false;
  if (p == world.gameState.localPlayer || !IsNetworkGame(g_commandNet)) return true;
  return g_commandNet.role == kNetGameHost && !SlotIsHuman(world, p);
}

void PostPlayerMessage(World& world, PlayerRecord& recipient, int32_t subject, uint32_t typeId,
                       const char* attachment, const MessageParams& params, uint8_t extra) {
  const MessageTypeRecord* type = MessageType(typeId);
  if (!type || type->enabled == 0) return;
  const int r = RecordIndex(world, recipient);
  if (r < 0 || r != world.gameState.localPlayer) return;
  const uint8_t bonus = subject == r ? 10 : 0;

  std::vector<PlayerMessageState>& states = RuleTablesOf(world).messageTypes.playerMessageState[r];
  if (typeId >= states.size()) return;
  PlayerMessageState& entry = states[typeId];
  const uint32_t today = world.gameState.currentDay;
  const bool statusLine = (type->flags & 4) != 0;
  if (!FrequencyPasses(*type, entry, today)) {
    ++entry.suppressed;
    if (type->frequencyKind == 4 && statusLine) AddLocalNewsItem(world, recipient, typeId, bonus, params);
    return;
  }
  entry.lastDay = today;
  entry.suppressed = 0;
  if (type->flags & kMessageEmail) {
    if (type->priority >= g_uiOptions.emaillevel)
      DeliverPlayerMessage(world, recipient, typeId, type->enabled <= 2 ? 0 : r, attachment, params, 0, extra);
  } else if (type->priority + bonus >= g_uiOptions.newslevel) {
    DeliverPlayerMessage(world, recipient, typeId, 0, attachment, params, bonus, extra);
  }
  if (statusLine) AddLocalNewsItem(world, recipient, typeId, bonus, params);
}

void BroadcastPlayerMessage(World& world, const PlayerRecord& subject, uint32_t typeForSelf,
                            uint32_t typeForFriendly, uint32_t typeForOthers, uint32_t typeForHostile,
                            const char* attachment, const MessageParams& params, uint8_t extra) {
  const int s = RecordIndex(world, subject);
  if (s < 0) return;
  for (int r = 1; r < kMaxPlayers; ++r) {
    PlayerRecord& record = world.players[r];
    if (!TakesPart(record)) continue;
    const uint32_t bit = 1u << r;
    uint32_t type = typeForOthers;
    if (r == s)
      type = typeForSelf;
    else if (subject.simPolicy.friendlyMask & bit)
      type = typeForFriendly;
    else if (subject.simPolicy.hostileMask & bit)
      type = typeForHostile;
    if (type != 0) PostPlayerMessage(world, record, s, type, attachment, params, extra);
  }
}

void DeliverPlayerMessage(World& world, PlayerRecord& recipient, uint32_t typeId, int32_t sender,
                          const char* attachment, const MessageParams& params, uint8_t bonus, uint8_t extra,
                          bool remoteChecks) {
  const int r = RecordIndex(world, recipient);
  if (r < 0) return;
  if (remoteChecks && r != world.gameState.localPlayer) {
    if (!TakesPart(recipient)) return;
    // Computer regions live on the host; a person elsewhere posts their own.
    if (IsNetworkGame(g_commandNet) && !(g_commandNet.role == kNetGameHost && !SlotIsHuman(world, r))) return;
  }
  const MessageTypeRecord* type = MessageType(typeId);
  if (!type || type->enabled == 0) return;

  auto* message = NewZeroed<PlayerMessage>();
  if (!message) return;
  message->typeId = typeId;
  // The turn thread moves the clock on without the lock a computer
  // player's message is written under.
  message->tick = std::atomic_ref<uint32_t>(world.gameState.currentTick).load(std::memory_order_relaxed);
  message->day = std::atomic_ref<uint32_t>(world.gameState.currentDay).load(std::memory_order_acquire);
  message->recipientMasks[0] = 1u << r;
  message->sender = static_cast<uint8_t>(sender);
  message->department = type->department;
  message->level = type->screenSetting;
  const int priority = type->priority + bonus;
  message->priority = static_cast<uint8_t>(priority > 255 ? 255 : priority);
  message->extra = extra;
  message->flags = (type->flags & (kMessageEmail | kMessageNews)) | kMessageMade;
  message->params[0] = params.p1;
  message->params[1] = params.p2;
  message->params[2] = params.p3;
  message->params[3] = params.p4;
  message->texts[2] = CopyText(attachment);
  if (sender == r && type->department > 1) {
    const int post = type->department - 2;
    if (post < kCabinetPosts) message->fromWord = recipient.simPolicy.cabinetPolicy[post].bytes[0];
  }
  DistributePlayerMessage(world, *message);
  DeleteZeroed(message);
}

PlayerMessage* InitPlayerMessage(int32_t sender) {
  auto* message = NewZeroed<PlayerMessage>();
  if (!message) return nullptr;
  message->typeId = 0;
  message->fromWord = 0;
  message->sender = static_cast<uint8_t>(sender);
  message->flags = kMessageEmail | kMessageMade;
  return message;
}

void DistributePlayerMessage(World& world, PlayerMessage& message) {
  // A computer player's thread or the window's may post it while the turn
  // thread moves the clock on: the tick and the day are read whole.
  message.tick = CurrentTickNow(world.gameState);
  message.day = std::atomic_ref<uint32_t>(world.gameState.currentDay).load(std::memory_order_acquire);
  message.flags &= ~0x3Cu;
  const uint32_t recipients = message.recipientMasks[0] | message.recipientMasks[1] | message.recipientMasks[2];
  for (int p = 0; p < kMaxPlayers; ++p) {
    if (!(recipients & (1u << p)) || !TakesPart(world.players[p])) continue;
    if (MessagesLiveHere(world, p)) {
      PlayerMessage* copy = CopyMessage(message);
      if (!copy) continue;
      copy->owner = static_cast<uint8_t>(p);
      StorePlayerMessage(world, copy, p);
    } else if (g_messageNet.sendToPlayer) {
      const std::vector<uint8_t> payload = EncodePlayerMessage(message, static_cast<uint8_t>(p));
      g_messageNet.sendToPlayer(kSmPlayerMessage, p, payload.data(), payload.size());
    }
  }
}

void StorePlayerMessage(World& world, PlayerMessage* message, int32_t owner) {
  if (!message) return;
  if (owner < 0 || owner >= kMaxPlayers) {
    DeleteZeroed(message);
    return;
  }
  message->owner = static_cast<uint8_t>(owner);
  int32_t sound = 0;
  if (message->typeId != 0) {
    const MessageTypeRecord* type = MessageType(message->typeId);
    if (!type) {
      DeleteZeroed(message);
      return;
    }
    if (!message->texts[0]) message->texts[0] = CopyText(type->subject.c_str());
    FormatGameMessageText(world, *message);
    sound = type->sound;
    const uint8_t mute = MuteFlags(*type);
    if ((mute & 1) && !(mute & 2)) {
      DeleteZeroed(message);
      return;
    }
  }
  {
    WorldLockGuard hold(world, kLockMail);
    world.messageLists[owner].Prepend(message);
    if (owner == world.gameState.localPlayer) {
      if (message->flags & kMessageEmail) {
        if (sound == 0) sound = 1;
        if (g_mailUi.emailArrived) g_mailUi.emailArrived();
      } else {
        if (message->priority > 15) sound = 2;
        if (g_mailUi.newsArrived) g_mailUi.newsArrived();
      }
    } else {
      sound = 0;
    }
  }
  PlaySound(sound);
}

void AddLocalNewsItem(World& world, const PlayerRecord& recipient, uint32_t typeId, uint8_t bonus,
                      const MessageParams& params) {
  const int r = RecordIndex(world, recipient);
  if (r < 0 || r != world.gameState.localPlayer) return;
  const MessageTypeRecord* type = MessageType(typeId);
  if (!type) return;
  const int priority = type->priority + bonus;
  if (priority >= g_uiOptions.statuslevel) {
    if (auto* temp = NewZeroed<PlayerMessage>()) {
      temp->typeId = typeId;
      temp->flags = kMessageStatus;
      temp->priority = static_cast<uint8_t>(priority > 255 ? 255 : priority);
      temp->owner = static_cast<uint8_t>(r);
      temp->params[0] = params.p1;
      temp->params[1] = params.p2;
      temp->params[2] = params.p3;
      temp->params[3] = params.p4;
      FormatGameMessageText(world, *temp);
      if (temp->texts[1] && temp->texts[1][0])
        AppendStatusLine(world, temp->texts[1], CurrentTickNow(world.gameState), static_cast<uint32_t>(priority));
      DeleteZeroed(temp);
    }
  }
  if (type->flags == 4 && type->sound != 0) PlaySound(type->sound);
}

void ExpirePlayerMessages(World& world, const PlayerRecord& player) {
  const int p = RecordIndex(world, player);
  if (p < 0) return;
  const uint32_t shownNews = Shown(g_mailUi.shownNewsSerial);
  const uint32_t shownEmail = Shown(g_mailUi.shownEmailSerial);
  const uint32_t shownPopup = Shown(g_mailUi.shownPopupSerial);
  const int64_t today = world.gameState.currentDay;
  WorldLockGuard hold(world, kLockMail);
  std::vector<PlayerMessage*> expired;
  ListNode& head = world.messageLists[p];
  for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
    auto* message = static_cast<PlayerMessage*>(node);
    const int64_t age = today - static_cast<int64_t>(message->day);
    if (message->flags & kMessageNews) {
      if (age > message->priority / 2 + g_uiOptions.newsdeldays && message->serial != shownNews)
        expired.push_back(message);
    } else if (message->flags & kMessageEmail) {
      // A negative number of days (a hand-edited options file) keeps the mail.
      if (g_uiOptions.emaildeldays > 0 && !(message->flags & kMessageKept) && age > g_uiOptions.emaildeldays &&
          message->serial != shownEmail && message->serial != shownPopup)
        expired.push_back(message);
    }
  }
  for (PlayerMessage* message : expired) DeleteZeroed(message);
}

void ExpireAllPlayerMessages(World& world) {
  const int highest = world.gameState.highestPlayer < kMaxPlayers - 1 ? world.gameState.highestPlayer : kMaxPlayers - 1;
  for (int p = 1; p <= highest; ++p)
    if (TakesPart(world.players[p])) ExpirePlayerMessages(world, world.players[p]);
}

PlayerMessage* FindPlayerMessage(World& world, int32_t owner, uint32_t serial) {
  if (owner < 0 || owner >= kMaxPlayers || serial == 0) return nullptr;
  WorldLockGuard hold(world, kLockMail);
  ListNode& head = world.messageLists[owner];
  for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
    auto* message = static_cast<PlayerMessage*>(node);
    if (message->serial == serial) return message;
  }
  return nullptr;
}

bool DeletePlayerMessage(World& world, int32_t owner, uint32_t serial) {
  WorldLockGuard hold(world, kLockMail);
  PlayerMessage* message = FindPlayerMessage(world, owner, serial);
  if (!message) return false;
  DeleteZeroed(message);
  return true;
}
