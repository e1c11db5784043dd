#include "net/game_messages.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "net/held_sends.h"
#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "net/relay_checks.h"
#include "net/command_network.h"
#include "records/game_command_record.h"
#include "records/le_bytes.h"
#include "records/player_record.h"

namespace {

constexpr size_t kHeadSize = kSessionMessageWireSize;  // commands and session messages alike
// The longest fixed part of any message a peer sends (the slot table).
constexpr uint32_t kMaxHeadSize = 1036;

bool FromHost(const NetPlayer* sender) { return sender && (sender->flags & plat::kPeerPlayerHost); }

int32_t Drop(uint32_t from, uint32_t id, size_t size, const char* why) {
  LogDroppedMessage(from, id, size, why);
  return plat::kOk;
}

void PostReceivedCommand(NetSession& session, GameCommand&& command) {
  if (session.postCommand)
    session.postCommand(std::move(command));
  else if (session.game && session.game->postCommand)
    session.game->postCommand(std::move(command));
}

// The turn thread moves the tick on as the network's threads stamp their
// messages: read whole.
uint32_t GameTick(const NetSession& session) {
  if (!session.game || !session.game->currentTick) return 0;
  return std::atomic_ref<uint32_t>(const_cast<uint32_t&>(*session.game->currentTick)).load(std::memory_order_relaxed);
}

void ReceiveCommand(NetSession& session, uint32_t from, const NetPlayer* sender, const uint8_t* data, size_t size) {
  const uint32_t length = le::Load32(data + 56);
  size_t used = size;
  std::vector<uint8_t> copy;
  if (size != kHeadSize + static_cast<size_t>(length)) {
    if (size > kHeadSize + static_cast<size_t>(length)) {
      Drop(from, kGameCommandHeader, size, "more bytes than the command announces");
      return;
    }
    // An announced payload longer than the data is dropped; the command stays.
    copy.assign(data, data + kHeadSize);
    le::Store32(copy.data() + 56, 0);
    data = copy.data();
    used = kHeadSize;
  }
  GameCommand command;
  std::string reason;
  if (!DecodeGameCommand(data, used, command, &reason)) {
    Drop(from, kGameCommandHeader, size, reason.c_str());
    return;
  }
  if (const char* why = CommandSenderDefect(session, from, sender, command.player)) {
    Drop(from, kGameCommandHeader, size, why);
    return;
  }
  if (session.holdCommands) {
    std::lock_guard<std::mutex> hold(session.heldLock);
    // Checked again under the lock: the release may have just run.
    if (session.holdCommands) {
      session.heldCommands.push_back(std::move(command));
      return;
    }
  }
  PostReceivedCommand(session, std::move(command));
}

void ReceiveSessionMessage(NetSession& session, uint32_t from, const NetPlayer* sender, const uint8_t* data,
                           size_t size) {
  uint32_t length = le::Load32(data + 56);
  if (size != kHeadSize + static_cast<size_t>(length)) {
    if (size > kHeadSize + static_cast<size_t>(length)) {
      Drop(from, kSessionMessageId, size, "more bytes than the message announces");
      return;
    }
    length = 0;  // kept without its payload
  }
  SessionMessage head{};
  head.kind = le::Load32(data + 8);
  head.tick = le::Load32(data + 12);
  head.sender = data[16];
  head.toHost = data[17];
  head.value = le::Load32(data + 52);
  if (const char* why = SessionMessageDefect(session, from, sender, head)) {
    Drop(from, kSessionMessageId, size, why);
    return;
  }
  // The host's game starts as it sends this: its commands may come before
  // this peer's game has started. A start while a game runs changes nothing.
  if (head.kind == kSmStartGame && !IsNetworkGame(g_commandNet)) session.holdCommands = 1;
  SessionMessage* m = BuildNetMessage(head.kind, length ? data + kHeadSize : nullptr, length, head.tick, head.sender);
  if (!m) return;
  m->toHost = head.toHost;
  m->value = head.value;
  m->from = from;
  QueueNetMessage(*session.queue, m);
}

// The answer is encoded as the records stand and sent after: the world's
// lock is never held while sending.
void AnswerSetupRequest(NetSession& session, uint32_t asker, plat::CriticalSection* worldLock) {
  const NetSessionGame& game = *session.game;
  std::vector<uint8_t> block, head;
  bool named = false;
  {
    std::optional<plat::CriticalSectionLock> hold;
    if (worldLock) hold.emplace(*worldLock);
    block = EncodeGameParams(*game.gameParams);
    head = EncodeScenarioHead(*game.scenarioHead);
    named = game.gameParams->name[0] != '\0';
  }
  (void)NetSendGameMessage(session, asker, false, block.data(), nullptr, 0);
  if (named) {
    SessionMessage* m = BuildNetMessage(kSmGameSetup, nullptr, 0, GameTick(session), 0);
    if (m) {
      (void)SendNetMessage(session, *m, asker);
      FreeNetMessage(m);
    }
  }
  (void)NetSendGameMessage(session, asker, false, head.data(), nullptr, 0);
}

// The records the main thread owns are not written here: they go to it
// through the queue, behind the set-up message they follow.
void HandOver(NetSession& session, uint32_t kind, uint32_t from, const uint8_t* data, size_t size) {
  SessionMessage* m = BuildNetMessage(kind, data, static_cast<uint32_t>(size), 0, 0);
  if (!m) return;
  m->from = from;
  QueueNetMessage(*session.queue, m);
}

uint8_t LocalSender(NetSession& session) {
  const int32_t slot = session.localSlot;
  const NetSlot* slots = SessionSlots(session);
  if (slot < 0 || slot >= kMaxPlayers || !slots) return 0;
  plat::CriticalSectionLock hold(session.slotLock);
  return slots[slot].region;
}

}  // namespace

std::vector<uint8_t> EncodeSessionMessage(const SessionMessage& m) {
  const uint32_t length = m.payload ? m.payloadLength : 0;
  std::vector<uint8_t> out(kHeadSize + length, 0);
  uint8_t* b = out.data();
  le::Store32(b + 0, kSessionMessageId);
  le::Store32(b + 4, kSessionMessageWireSize);
  le::Store32(b + 8, m.kind);
  le::Store32(b + 12, m.tick);
  b[16] = m.sender;
  b[17] = m.toHost;
  le::Store32(b + 52, m.value);
  le::Store32(b + 56, length);
  // Word 60 held the sender's buffer; it goes out as 0.
  if (length) std::memcpy(b + kHeadSize, m.payload, length);
  return out;
}

std::vector<uint8_t> EncodeScenarioHead(const ScenarioHead& h) {
  std::vector<uint8_t> out(kScenarioHeadSize, 0);
  uint8_t* b = out.data();
  le::Store32(b + 0, kScenarioHeadId);
  le::Store32(b + 4, kScenarioHeadSize);
  std::memcpy(b + 8, h.bytes8, sizeof h.bytes8);
  le::Store32(b + 60, h.commandLead);
  le::Store32(b + 64, h.speedLockMode);
  le::Store32(b + 68, h.setupWord);
  b[72] = h.player0Setting;
  b[73] = h.svictorycond;
  b[74] = h.difficulty;
  b[75] = h.resources;
  b[76] = h.gamelength;
  b[77] = h.techtreedefault;
  std::memcpy(b + 78, h.bytes78, sizeof h.bytes78);
  le::Store32(b + 80, h.gameFlags);
  le::StoreI32(b + 84, h.startyear);
  le::StoreI32(b + 88, h.turnlength);
  std::memcpy(b + 92, h.bytes92, sizeof h.bytes92);
  b[100] = h.initialfunds;
  b[101] = h.reservelimit;
  b[102] = h.aistance;
  std::memcpy(b + 103, h.bytes103, sizeof h.bytes103);
  b[112] = h.groupnum;
  std::memcpy(b + 113, h.bytes113, sizeof h.bytes113);
  le::Store32(b + 120, h.programVersion);
  std::memcpy(b + 124, h.bytes124, sizeof h.bytes124);
  return out;
}

void DecodeScenarioHead(const uint8_t* b, ScenarioHead& h) {
  h.id = kScenarioHeadId;
  h.size = kScenarioHeadSize;
  std::memcpy(h.bytes8, b + 8, sizeof h.bytes8);
  h.commandLead = le::Load32(b + 60);
  h.speedLockMode = le::Load32(b + 64);
  h.setupWord = le::Load32(b + 68);
  h.player0Setting = b[72];
  h.svictorycond = b[73];
  h.difficulty = b[74];
  h.resources = b[75];
  h.gamelength = b[76];
  h.techtreedefault = b[77];
  std::memcpy(h.bytes78, b + 78, sizeof h.bytes78);
  h.gameFlags = le::Load32(b + 80);
  h.startyear = le::LoadI32(b + 84);
  h.turnlength = le::LoadI32(b + 88);
  std::memcpy(h.bytes92, b + 92, sizeof h.bytes92);
  h.initialfunds = b[100];
  h.reservelimit = b[101];
  h.aistance = b[102];
  std::memcpy(h.bytes103, b + 103, sizeof h.bytes103);
  h.groupnum = b[112];
  std::memcpy(h.bytes113, b + 113, sizeof h.bytes113);
  h.programVersion = le::Load32(b + 120);
  std::memcpy(h.bytes124, b + 124, sizeof h.bytes124);
}

std::vector<uint8_t> EncodeGameParams(const GameParamsBlock& block) {
  std::vector<uint8_t> out(kGameParamsSize, 0);
  uint8_t* b = out.data();
  le::Store32(b + 0, kGameParamsId);
  le::Store32(b + 4, kGameParamsSize);
  std::memcpy(b + 8, block.name, sizeof block.name);
  b[8 + sizeof block.name - 1] = 0;
  le::Store32(b + 40, block.flags);
  le::Store32(b + 44, block.word44);
  return out;
}

void DecodeGameParams(const uint8_t* b, GameParamsBlock& block) {
  block.id = kGameParamsId;
  block.size = kGameParamsSize;
  std::memcpy(block.name, b + 8, sizeof block.name);
  block.name[sizeof block.name - 1] = '\0';
  block.flags = le::Load32(b + 40);
  block.word44 = le::Load32(b + 44);
}

std::vector<uint8_t> EncodeProgressReport(uint32_t player, uint32_t value) {
  std::vector<uint8_t> out(kProgressReportSize, 0);
  le::Store32(out.data(), kProgressReportId);
  le::Store32(out.data() + 4, kProgressReportSize);
  le::Store32(out.data() + 8, player);
  le::Store32(out.data() + 12, value);
  return out;
}

const char* GameFileNameDefect(const char* name, size_t field) {
  const size_t length = strnlen(name, field);
  if (length == field) return "a file name without its end";
  const std::string_view text(name, length);
  if (text.find_first_of("/\\:") != std::string_view::npos || text.find("..") != std::string_view::npos)
    return "a file name that names a folder";
  return nullptr;
}

int32_t NetSendGameMessage(NetSession& session, uint32_t target, bool loopback, const uint8_t* head,
                           const void* payload, uint32_t length) {
  if (!session.inSession || !session.peer || !head) return plat::kFail;
  if (length != 0 && !payload) return plat::kFail;
  const uint32_t headSize = le::Load32(head + 4);
  if (headSize < 8 || headSize > kMaxHeadSize) return plat::kFail;
  std::vector<uint8_t> buffer(head, head + headSize);
  if (length) buffer.insert(buffer.end(), static_cast<const uint8_t*>(payload), static_cast<const uint8_t*>(payload) + length);
  return NetPeerSend(session, target == 0 ? plat::kPeerAll : target, buffer.data(), buffer.size(),
                     loopback ? 0 : plat::kPeerSendNoLoopback);
}

int32_t SendNetMessage(NetSession& session, const SessionMessage& message, uint32_t target) {
  if (!session.inSession) return plat::kOk;
  const std::vector<uint8_t> wire = EncodeSessionMessage(message);
  if (message.toHost) target = session.hostPlayer;
  return NetSendGameMessage(session, target, false, wire.data(), wire.data() + kHeadSize,
                            static_cast<uint32_t>(wire.size() - kHeadSize));
}

int32_t ReceiveSessionPacket(NetSession& session, uint32_t from, NetPlayer* sender, const uint8_t* data,
                             size_t size) {
  if (!data || size < 8) return plat::kOk;
  const uint32_t id = le::Load32(data);
  if (!sender) {
    LogDroppedMessage(from, id, size, "from a player not in the session");
    return plat::kFail;
  }
  NetSlot* slots = SessionSlots(session);
  if (!slots || !session.game->scenarioHead || !session.game->gameParams || !session.queue)
    return Drop(from, id, size, "no game");
  const uint32_t head = le::Load32(data + 4);
  switch (id) {
    case kGameCommandHeader:
    case kSessionMessageId:
      if (size < kHeadSize || head != kHeadSize) return Drop(from, id, size, "not a 64-byte head");
      if (id == kGameCommandHeader)
        ReceiveCommand(session, from, sender, data, size);
      else
        ReceiveSessionMessage(session, from, sender, data, size);
      return plat::kOk;
    case kScenarioHeadId:
      if (size != kScenarioHeadSize || head != size) return Drop(from, id, size, "wrong size");
      if (!FromHost(sender)) return Drop(from, id, size, "not from the host");
      HandOver(session, kSmReceivedScenarioHead, from, data, size);
      return plat::kOk;
    case kSetupRequestId:
      if (size != kSetupRequestSize || head != size) return Drop(from, id, size, "wrong size");
      if (!session.isHost) return Drop(from, id, size, "a set-up request to a joiner");
      HandOver(session, kSmSetupRequest, from, nullptr, 0);
      return plat::kOk;
    case kProgressReportId: {
      if (size != kProgressReportSize || head != size) return Drop(from, id, size, "wrong size");
      const uint32_t player = le::Load32(data + 8);
      if (player >= static_cast<uint32_t>(kMaxPlayers)) return Drop(from, id, size, "no such player");
      const int slot = FindSlotOfPlayer(session, from);
      plat::CriticalSectionLock hold(session.slotLock);
      if (slot < 0 || slots[slot].region != player) return Drop(from, id, size, "not the sender's region");
      slots[slot].progress = le::Load32(data + 12);
      return plat::kOk;
    }
    case kGameParamsId: {
      if (size != kGameParamsSize || head != size) return Drop(from, id, size, "wrong size");
      if (!FromHost(sender)) return Drop(from, id, size, "not from the host");
      if (const char* why = GameFileNameDefect(reinterpret_cast<const char*>(data + 8), sizeof(GameParamsBlock::name)))
        return Drop(from, id, size, why);
      HandOver(session, kSmReceivedGameParams, from, data, size);
      return plat::kOk;
    }
    default:
      return Drop(from, id, size, "unknown game message");
  }
}

bool ApplyReceivedSetup(NetSession& session, const SessionMessage& message, plat::CriticalSection* worldLock) {
  if (message.kind != kSmReceivedScenarioHead && message.kind != kSmReceivedGameParams &&
      message.kind != kSmSetupRequest)
    return false;
  NetSessionGame* game = session.game;
  if (!game || !game->scenarioHead || !game->gameParams) return true;
  if (message.kind == kSmSetupRequest) {
    if (session.isHost) AnswerSetupRequest(session, message.from, worldLock);
    return true;
  }
  const bool head = message.kind == kSmReceivedScenarioHead;
  if (!message.payload || message.payloadLength != (head ? kScenarioHeadSize : kGameParamsSize)) return true;
  {
    std::optional<plat::CriticalSectionLock> hold;
    if (worldLock) hold.emplace(*worldLock);
    if (head) {
      DecodeScenarioHead(message.payload, *game->scenarioHead);
      session.hostProgramVersion = game->scenarioHead->programVersion;
    } else {
      DecodeGameParams(message.payload, *game->gameParams);
    }
  }
  NetNotify(session, kNetCodeSetup, 0);
  return true;
}

void ReleaseHeldCommands(NetSession& session) {
  // A start that failed leaves no game for them.
  const bool running = IsNetworkGame(g_commandNet);
  for (;;) {
    std::vector<GameCommand> held;
    {
      std::lock_guard<std::mutex> hold(session.heldLock);
      if (session.heldCommands.empty()) {
        session.holdCommands = 0;
        return;
      }
      held.swap(session.heldCommands);
    }
    if (running)
      for (GameCommand& command : held) PostReceivedCommand(session, std::move(command));
  }
}

int32_t SendGameSetup(NetSession& session, const char* name, uint32_t a, uint32_t b, GameParamsBlock& block) {
  const size_t length = name ? strnlen(name, sizeof block.name - 1) : 0;
  std::memset(block.name, 0, sizeof block.name);
  if (length) std::memcpy(block.name, name, length);
  block.flags = (block.flags & ~(kGameParamsSavedGame | kGameParamsFrontEndGame)) |
                ((a & 1) ? kGameParamsFrontEndGame : 0u) | ((b & 1) ? kGameParamsSavedGame : 0u);
  if (session.inSession) {
    const std::vector<uint8_t> wire = EncodeGameParams(block);
    (void)NetSendGameMessage(session, 0, false, wire.data(), nullptr, 0);
  }
  SessionMessage* m = BuildNetMessage(kSmGameSetup, nullptr, 0, GameTick(session), LocalSender(session));
  if (m) {
    m->value = block.flags & 1;
    (void)SendNetMessage(session, *m, 0);
    QueueNetMessage(*session.queue, m);
  }
  if (session.inSession && session.game && session.game->scenarioHead) {
    const std::vector<uint8_t> head = EncodeScenarioHead(*session.game->scenarioHead);
    (void)NetSendGameMessage(session, 0, false, head.data(), nullptr, 0);
  }
  return plat::kOk;
}

