#pragma once
// The lobby's table of 32 player slots and the lobby messages that keep it
// in step: the host gives each joiner a slot, records who is ready and which
// region each slot plays, and broadcasts the whole table on every change.
// Operations marked "host" fail with E_FAIL on a joiner.
#include <cstddef>
#include <cstdint>

#include "records/net_slot.h"

struct NetSession;
struct NetPlayer;

// Lobby message identifiers.
inline constexpr uint32_t kLobbySlotGiven = 0x12001;   // host to a new player: its slot (12 bytes)
inline constexpr uint32_t kLobbySlotTable = 0x12002;   // host to all: the table (1036 bytes)
inline constexpr uint32_t kLobbyReady = 0x12004;       // joiner to host: ready (12 bytes)
inline constexpr uint32_t kLobbyNotReady = 0x12005;    // joiner to host: not ready (12 bytes)
inline constexpr uint32_t kLobbyStart = 0x12006;       // host to all: no more joiners (8 bytes)
inline constexpr uint32_t kLobbyText = 0x12008;        // a chat line (128 bytes)
inline constexpr uint32_t kLobbyFirst = 0x12001;
inline constexpr uint32_t kLobbyLast = 0x12008;

inline constexpr size_t kLobbySlotMessageSize = 12;
inline constexpr size_t kLobbySlotTableSize = 12 + 32 * sizeof(NetSlot);
inline constexpr size_t kLobbyStartSize = 8;
inline constexpr size_t kLobbyTextSize = 128;
inline constexpr size_t kLobbyTextAt = 16;
static_assert(kLobbySlotTableSize == 1036);

// Clears the table and claims slot n (0 outside 0..31) for the local player.
void ResetSlotTable(NetSession& session, int32_t n);
// Host: the first free slot, in ascending order.
bool FindFreeSlot(NetSession& session, uint32_t* slot);
// Host: sends the table to every player, this one included.
int32_t BroadcastSlotTable(NetSession& session);
// Host: a player created in session gets the first free slot, or is dropped
// from the session when there is none.
int32_t HostAssignSlot(NetSession& session, NetPlayer* player);
// Host: a departed player's slot becomes free.
int32_t HostFreeSlot(NetSession& session, NetPlayer* player);
// Host: drops the person in slot n.
int32_t KickSlotPlayer(NetSession& session, uint32_t n);
// The local peer's ready state.
int32_t NetSetSlot(NetSession& session, bool ready);
// Host: the region (and second byte) slot n will play; a change clears its ready byte.
int32_t NetSetSlotFields(NetSession& session, uint32_t n, uint8_t region, uint8_t second);
// Host: no joiner comes in from now on; the limit becomes the slots given out.
int32_t NetHostStartGame(NetSession& session);
// A joiner's own copy: the departed player's slots become free, so nothing
// waits for a peer that is gone (the host frees and broadcasts its own).
void FreeSlotsOfPlayer(NetSession& session, uint32_t playerId);
// Host: the peer's player limit follows the session's.
int32_t UpdateApplicationDesc(NetSession& session);
// The rules of the messages a joiner may send in the lobby, kept here once
// for the host's check before it relays and for every receiver: why a
// ready or not-ready message (only for the sender's own slot) or a chat
// line (only in the sender's region's name, or none) may not act, or null.
const char* LobbyReadyDefect(NetSession& session, uint32_t from, const uint8_t* data, size_t size);
const char* LobbyTextDefect(NetSession& session, uint32_t from, const uint8_t* data, size_t size);
// The receiving side of the lobby messages; identifiers outside
// 0x12001..0x12008 are left alone with result 0. Every message is checked
// before use: a bad one is logged and changes nothing.
int32_t HandleLobbyMessage(NetSession& session, const uint8_t* data, size_t size, NetPlayer* from);
