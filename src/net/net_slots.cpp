#include "net/net_slots.h"

#include <cstring>
#include <vector>

#include "net/held_sends.h"
#include "net/net_session.h"
#include "net/text_message.h"
#include "platform/clock.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "records/text_field.h"

namespace {

constexpr int kSlots = kMaxPlayers;
static_assert(sizeof NetSession::slotGivenMs / sizeof NetSession::slotGivenMs[0] == kSlots);

NetSlot* Slots(NetSession& session) { return SessionSlots(session); }

std::vector<uint8_t> SlotMessage(uint32_t id, uint32_t slot) {
  std::vector<uint8_t> m(kLobbySlotMessageSize, 0);
  le::Store32(m.data(), id);
  le::Store32(m.data() + 4, static_cast<uint32_t>(m.size()));
  le::Store32(m.data() + 8, slot);
  return m;
}

int32_t Send(NetSession& session, uint32_t target, const std::vector<uint8_t>& message) {
  return NetPeerSend(session, target, message.data(), message.size(), 0);
}

void ClearSlot(NetSlot& slot) {
  slot = NetSlot{};
  slot.playerId = 0xFFFFFFFFu;
}

bool Host(const NetPlayer* from) { return from && (from->flags & plat::kPeerPlayerHost); }

// A whole table from the host: every name ends inside its field and every
// region is a player number.
const char* TableDefect(const uint8_t* slots) {
  for (int s = 0; s < kSlots; ++s) {
    const uint8_t* slot = slots + s * sizeof(NetSlot);
    if (!std::memchr(slot + offsetof(NetSlot, name), 0, sizeof(NetSlot::name))) return "a slot name without its end";
    if (slot[offsetof(NetSlot, region)] >= kMaxPlayers) return "a slot's region is no player";
  }
  return nullptr;
}

int32_t Drop(uint32_t from, uint32_t id, size_t size, const char* why, int32_t result = plat::kOk) {
  LogDroppedMessage(from, id, size, why);
  return result;
}

}  // namespace

void ResetSlotTable(NetSession& session, int32_t n) {
  NetSlot* slots = Slots(session);
  if (!slots) return;
  if (n < 0 || n >= kSlots) n = 0;
  plat::CriticalSectionLock hold(session.slotLock);
  for (int s = 0; s < kSlots; ++s) ClearSlot(slots[s]);
  session.localSlot = n;
  NetSlot& own = slots[n];
  own.state = kSlotHuman;
  SetFieldText(own.name, session.identity.playerName);
  own.ready = 0;
  own.playerId = 0;
}

bool FindFreeSlot(NetSession& session, uint32_t* slot) {
  NetSlot* slots = Slots(session);
  if (!session.isHost || !slots) return false;
  plat::CriticalSectionLock hold(session.slotLock);
  for (int s = 0; s < kSlots; ++s) {
    if (slots[s].state == kSlotFree) {
      if (slot) *slot = static_cast<uint32_t>(s);
      return true;
    }
  }
  return false;
}

int32_t UpdateApplicationDesc(NetSession& session) {
  if (!session.isHost) return plat::kFail;
  if (session.peer) session.peer->SetMaxPlayers(session.playerLimit);
  return plat::kOk;
}

int32_t BroadcastSlotTable(NetSession& session) {
  NetSlot* slots = Slots(session);
  if (!session.isHost || !slots) return plat::kFail;
  (void)UpdateApplicationDesc(session);
  std::vector<uint8_t> m(kLobbySlotTableSize, 0);
  le::Store32(m.data(), kLobbySlotTable);
  le::Store32(m.data() + 4, static_cast<uint32_t>(m.size()));
  if (!session.inSession) return plat::kFail;
  // Sent under the lock: two changes on two threads must not send their
  // tables in the other order, leaving the older one with the joiners. The
  // send only queues the message.
  plat::CriticalSectionLock hold(session.slotLock);
  std::memcpy(m.data() + 12, slots, kSlots * sizeof(NetSlot));
  return Send(session, plat::kPeerAll, m);
}

int32_t HostAssignSlot(NetSession& session, NetPlayer* player) {
  NetSlot* slots = Slots(session);
  if (!session.isHost || !slots || !player) return plat::kFail;
  uint32_t n = 0;
  {
    plat::CriticalSectionLock hold(session.slotLock);
    if (!FindFreeSlot(session, &n)) {
      if (session.peer) (void)session.peer->DestroyPlayer(player->playerId);
      return plat::kOk;
    }
    NetSlot& slot = slots[n];
    slot.state = kSlotHuman;
    SetFieldText(slot.name, player->name);
    slot.playerId = player->playerId;
    session.slotGivenMs[n] = plat::MonotonicMs();
    // Counted with the slot, as a freed slot is: the count never lags the
    // table it counts.
    session.takenSlots.fetch_add(1);
  }
  player->slot = n;
  if (session.inSession) (void)Send(session, player->playerId, SlotMessage(kLobbySlotGiven, n));
  return BroadcastSlotTable(session);
}

int32_t HostFreeSlot(NetSession& session, NetPlayer* player) {
  NetSlot* slots = Slots(session);
  if (!session.isHost || !slots || !player) return plat::kFail;
  {
    plat::CriticalSectionLock hold(session.slotLock);
    const uint32_t n = player->slot;
    // Only the player's own slot: a slot since given to another stays theirs.
    if (n < static_cast<uint32_t>(kSlots) && slots[n].state == kSlotHuman && slots[n].playerId == player->playerId) {
      NetSlot& slot = slots[n];
      slot.state = kSlotFree;
      slot.playerId = 0xFFFFFFFFu;
      std::memset(slot.name, 0, sizeof slot.name);
      // The next person in this slot has not declared itself ready.
      slot.ready = 0;
      slot.progress = 0;
      session.takenSlots.fetch_sub(1);
    }
  }
  return BroadcastSlotTable(session);
}

void FreeSlotsOfPlayer(NetSession& session, uint32_t playerId) {
  NetSlot* slots = Slots(session);
  if (!slots) return;
  plat::CriticalSectionLock hold(session.slotLock);
  for (int n = 0; n < kSlots; ++n) {
    NetSlot& slot = slots[n];
    if (slot.state != kSlotHuman || slot.playerId != playerId) continue;
    slot.state = kSlotFree;
    slot.playerId = 0xFFFFFFFFu;
    std::memset(slot.name, 0, sizeof slot.name);
    slot.ready = 0;
    slot.progress = 0;
  }
}

int32_t KickSlotPlayer(NetSession& session, uint32_t n) {
  NetSlot* slots = Slots(session);
  if (!session.isHost || !slots || n >= static_cast<uint32_t>(kSlots)) return plat::kFail;
  uint32_t id;
  {
    plat::CriticalSectionLock hold(session.slotLock);
    if (slots[n].state != kSlotHuman) return plat::kOk;
    id = slots[n].playerId;
  }
  return session.peer ? session.peer->DestroyPlayer(id) : plat::kFail;
}

int32_t NetSetSlot(NetSession& session, bool ready) {
  NetSlot* slots = Slots(session);
  if (!slots) return plat::kFail;
  session.localReady = ready ? 1 : 0;
  const int32_t own = session.localSlot;
  if (session.isHost) {
    {
      plat::CriticalSectionLock hold(session.slotLock);
      if (own >= 0 && own < kSlots) slots[own].ready = ready ? 1 : 0;
    }
    return BroadcastSlotTable(session);
  }
  if (session.inSession)
    (void)Send(session, session.hostPlayer, SlotMessage(ready ? kLobbyReady : kLobbyNotReady, static_cast<uint32_t>(own)));
  return plat::kOk;
}

int32_t NetSetSlotFields(NetSession& session, uint32_t n, uint8_t region, uint8_t second) {
  NetSlot* slots = Slots(session);
  if (!session.isHost || !slots || n >= static_cast<uint32_t>(kSlots) || region >= kMaxPlayers) return plat::kFail;
  {
    plat::CriticalSectionLock hold(session.slotLock);
    NetSlot& slot = slots[n];
    if (slot.region == region && slot.assignment == second) return plat::kOk;
    slot.region = region;
    slot.assignment = second;
    slot.ready = 0;
  }
  return BroadcastSlotTable(session);
}

int32_t NetHostStartGame(NetSession& session) {
  if (!session.isHost) return plat::kFail;
  session.accepting = 0;
  session.playerLimit = session.takenSlots.load();
  const int32_t status = UpdateApplicationDesc(session);
  if (plat::Failed(status)) return status;
  if (session.inSession) {
    std::vector<uint8_t> m(kLobbyStartSize, 0);
    le::Store32(m.data(), kLobbyStart);
    le::Store32(m.data() + 4, static_cast<uint32_t>(m.size()));
    (void)Send(session, plat::kPeerAll, m);
  }
  return plat::kOk;
}

const char* LobbyReadyDefect(NetSession& session, uint32_t from, const uint8_t* data, size_t size) {
  if (size != kLobbySlotMessageSize) return "wrong size";
  const NetSlot* slots = Slots(session);
  if (!slots) return "no slot table";
  const uint32_t n = le::Load32(data + 8);
  if (n >= static_cast<uint32_t>(kSlots)) return "no such slot";
  // A player declares only itself ready.
  plat::CriticalSectionLock hold(session.slotLock);
  if (slots[n].state != kSlotHuman || slots[n].playerId != from) return "not the sender's own slot";
  return nullptr;
}

const char* LobbyTextDefect(NetSession& session, uint32_t from, const uint8_t* data, size_t size) {
  if (size != kLobbyTextSize) return "wrong size";
  if (data[kLobbyTextSize - 1] != 0) return "a text without its end";
  const uint32_t player = le::Load32(data + 8);
  if (player >= static_cast<uint32_t>(kMaxPlayers)) return "no such player";
  if (player == 0) return nullptr;
  // A line speaks for its sender's region only.
  const NetSlot* slots = Slots(session);
  if (!slots) return "no slot table";
  plat::CriticalSectionLock hold(session.slotLock);
  for (int s = 0; s < kSlots; ++s)
    if (const NetSlot& slot = slots[s]; slot.state == kSlotHuman && slot.playerId == from && slot.region == player)
      return nullptr;
  return "a line in another player's name";
}

int32_t HandleLobbyMessage(NetSession& session, const uint8_t* data, size_t size, NetPlayer* from) {
  if (!data || size < 8) return plat::kOk;
  const uint32_t id = le::Load32(data);
  if (id < kLobbyFirst || id > kLobbyLast) return plat::kOk;
  const uint32_t sender = from ? from->playerId : 0;
  if (!from) return Drop(sender, id, size, "from a player not in the session", plat::kFail);
  if (le::Load32(data + 4) != size) return Drop(sender, id, size, "its size is not the size received");
  NetSlot* slots = Slots(session);
  if (!slots) return Drop(sender, id, size, "no slot table");
  switch (id) {
    case kLobbySlotGiven: {
      if (session.isHost) return Drop(sender, id, size, "for a joiner", plat::kFail);
      if (!Host(from) || size != kLobbySlotMessageSize) return Drop(sender, id, size, "not from the host");
      const uint32_t n = le::Load32(data + 8);
      if (n >= static_cast<uint32_t>(kSlots)) return Drop(sender, id, size, "no such slot");
      session.localSlot = static_cast<int32_t>(n);
      session.slotAssigned = 1;
      return plat::kOk;
    }
    case kLobbySlotTable: {
      if (!Host(from) || size != kLobbySlotTableSize) return Drop(sender, id, size, "not the host's table");
      if (const char* why = TableDefect(data + 12)) return Drop(sender, id, size, why);
      // The host owns the table: its own broadcast, heard back, may be
      // older than the table now and must not undo the changes since.
      if (!session.isHost) {
        plat::CriticalSectionLock hold(session.slotLock);
        std::memcpy(slots, data + 12, kSlots * sizeof(NetSlot));
      }
      NetNotify(session, kNetCodeSlotTable, 0);
      return plat::kOk;
    }
    case kLobbyReady:
    case kLobbyNotReady: {
      if (!session.isHost) return Drop(sender, id, size, "for the host", plat::kFail);
      {
        // Checked and set under one hold: the slot cannot change hands between.
        plat::CriticalSectionLock hold(session.slotLock);
        if (const char* why = LobbyReadyDefect(session, sender, data, size)) return Drop(sender, id, size, why);
        slots[le::Load32(data + 8)].ready = id == kLobbyReady ? 1 : 0;
      }
      return BroadcastSlotTable(session);
    }
    case kLobbyStart:
      // The host hears its own start, sent to all, and leaves it alone.
      if (session.isHost && (from->flags & plat::kPeerPlayerLocal)) return plat::kFail;
      if (session.isHost) return Drop(sender, id, size, "for a joiner", plat::kFail);
      if (!Host(from) || size != kLobbyStartSize) return Drop(sender, id, size, "not from the host");
      return plat::kOk;
    case kLobbyText: {
      if (const char* why = LobbyTextDefect(session, sender, data, size)) return Drop(sender, id, size, why);
      QueueTextMessage(session, static_cast<int32_t>(le::Load32(data + 8)), le::Load32(data + 12),
                       reinterpret_cast<const char*>(data + kLobbyTextAt));
      return plat::kOk;
    }
    default:
      return Drop(sender, id, size, "unknown lobby message");
  }
}
