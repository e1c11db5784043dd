#include "net/relay_checks.h"

#include <string>
#include <vector>

#include "net/game_messages.h"
#include "net/net_session.h"
#include "net/net_slots.h"
#include "records/game_command_record.h"
#include "records/le_bytes.h"
#include "records/player_record.h"

namespace {

constexpr size_t kHeadSize = kSessionMessageWireSize;

bool FromHost(const NetPlayer* sender) { return sender && (sender->flags & plat::kPeerPlayerHost); }

// Whether some person other than the sender holds the region.
bool HeldByAnotherPerson(NetSession& session, uint32_t from, int region) {
  const NetSlot* slots = SessionSlots(session);
  if (!slots) return false;
  plat::CriticalSectionLock hold(session.slotLock);
  for (int s = 0; s < kMaxPlayers; ++s)
    if (const NetSlot& slot = slots[s]; slot.state == kSlotHuman && slot.region == region && slot.playerId != from) return true;
  return false;
}

// Commands and session messages: a 64-byte head, and no more bytes than it
// announces (fewer only cost the payload).
const char* FramedDefect(const uint8_t* data, size_t size) {
  if (size < kHeadSize || le::Load32(data + 4) != kHeadSize) return "not a 64-byte head";
  if (size > kHeadSize + static_cast<size_t>(le::Load32(data + 56))) return "more bytes than the message announces";
  return nullptr;
}

const char* GameMessageCheck(NetSession& session, uint32_t from, const NetPlayer* sender, const uint8_t* data,
                             size_t size) {
  const uint32_t id = le::Load32(data);
  const uint32_t head = le::Load32(data + 4);
  switch (id) {
    case kGameCommandHeader: {
      if (const char* why = FramedDefect(data, size)) return why;
      std::vector<uint8_t> copy(data, data + kHeadSize);
      le::Store32(copy.data() + 56, 0);  // the payload is not what is checked here
      GameCommand command;
      static thread_local std::string reason;
      if (!DecodeGameCommand(copy.data(), copy.size(), command, &reason)) return reason.c_str();
      return CommandSenderDefect(session, from, sender, command.player);
    }
    case kSessionMessageId: {
      if (const char* why = FramedDefect(data, size)) return why;
      SessionMessage m{};
      m.kind = le::Load32(data + 8);
      m.sender = data[16];
      m.value = le::Load32(data + 52);
      return SessionMessageDefect(session, from, sender, m);
    }
    case kScenarioHeadId:
    case kGameParamsId:
      return "not from the host";
    case kSetupRequestId:
      return size == kSetupRequestSize && head == size ? nullptr : "wrong size";
    case kProgressReportId: {
      if (size != kProgressReportSize || head != size) return "wrong size";
      const uint32_t player = le::Load32(data + 8);
      if (player >= static_cast<uint32_t>(kMaxPlayers)) return "no such player";
      return SenderRegion(session, from) == static_cast<int>(player) ? nullptr : "not the sender's region";
    }
    default:
      return "unknown game message";
  }
}

const char* LobbyMessageCheck(NetSession& session, uint32_t from, const uint8_t* data, size_t size) {
  const uint32_t id = le::Load32(data);
  if (le::Load32(data + 4) != size) return "its size is not the size received";
  switch (id) {
    case kLobbySlotGiven:
    case kLobbySlotTable:
    case kLobbyStart:
      return "not from the host";
    case kLobbyReady:
    case kLobbyNotReady:
      return LobbyReadyDefect(session, from, data, size);
    case kLobbyText:
      return LobbyTextDefect(session, from, data, size);
    default:
      return "unknown lobby message";
  }
}

}  // namespace

int SenderRegion(NetSession& session, uint32_t from) {
  const int slot = FindSlotOfPlayer(session, from);
  if (slot < 0) return -1;
  plat::CriticalSectionLock hold(session.slotLock);
  return SessionSlots(session)[slot].region;
}

const char* CommandSenderDefect(NetSession& session, uint32_t from, const NetPlayer* sender, int player) {
  if (player >= kMaxPlayers) return "no such player";
  if (FromHost(sender)) return HeldByAnotherPerson(session, from, player) ? "a region another person holds" : nullptr;
  const int own = SenderRegion(session, from);
  if (own <= 0 || own != player) return "not the sender's region";
  return nullptr;
}

const char* SessionMessageDefect(NetSession& session, uint32_t from, const NetPlayer* sender, const SessionMessage& m) {
  switch (m.kind) {
    case kSmGameSpeed:
      return static_cast<int32_t>(m.value) < 0 ? "a negative game speed" : nullptr;
    case kSmGameSetup:
    case kSmStartGame:
      return FromHost(sender) ? nullptr : "not from the host";
    case kSmPlayerTick:
    case kSmProfile:
    case kSmSyncInfo: {
      const int own = SenderRegion(session, from);
      return own > 0 && own == m.sender ? nullptr : "not the sender's region";
    }
    case kSmReceivedScenarioHead:
    case kSmReceivedGameParams:
    case kSmSetupRequest:
      return "a kind no peer sends";
    default:
      return nullptr;
  }
}

const char* JoinerMessageDefect(NetSession& session, uint32_t from, const NetPlayer* sender, const uint8_t* data,
                                size_t size) {
  const uint32_t id = data && size >= 4 ? le::Load32(data) : 0;
  const char* why = nullptr;
  if (!data || size < 8)
    why = "shorter than a message head";
  else if (!sender)
    why = "from a player not in the session";
  else if (!SessionSlots(session))
    why = "no slot table";
  else if (id >= kGameMessageFirst && id <= kGameMessageLast)
    why = GameMessageCheck(session, from, sender, data, size);
  else if (id >= kLobbyFirst && id <= kLobbyLast)
    why = LobbyMessageCheck(session, from, data, size);
  else
    why = "unknown message";
  if (why) LogDroppedMessage(from, id, size, why);
  return why;
}
