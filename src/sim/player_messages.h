#pragma once
// Player messages: the e-mail, news and status lines the game sends the
// players. A message type (the newsitems table) decides whether a message is
// e-mail or news, how often it may be sent, its priority and its texts.
// Messages exist only on the peer of their owner: the local player's, and on
// the host also the computer regions'. A message for a person playing on
// another peer travels there as session message 106.
//
// The message lists are guarded by the world's mail lock, the status queue
// by its local-news lock; the per-player posting state is not locked (each
// player's messages are posted from one place at a time).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

struct World;
struct PlayerRecord;
struct PlayerMessage;
struct MessageTypeRecord;

// Message flags.
inline constexpr uint32_t kMessageEmail = 1u << 0;
inline constexpr uint32_t kMessageNews = 1u << 1;
inline constexpr uint32_t kMessageMade = 1u << 5;    // set by construction
inline constexpr uint32_t kMessageStatus = 1u << 6;  // format with the status template
inline constexpr uint32_t kMessageKept = 1u << 7;    // the user keeps it from expiry

// Parameters travel as 32-bit words; a real parameter is its float's bits.
inline uint32_t MessageReal(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}
inline float MessageRealOf(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

struct MessageParams {
  uint32_t p1 = 0, p2 = 0, p3 = 0, p4 = 0;
};

// The type record of an id, or null for an id outside the table.
const MessageTypeRecord* MessageType(uint32_t typeId);

// Posts message type `typeId` about player `subject` to `recipient`, which
// must be the local player (the other peers post their own), through the
// type's frequency rule and the player's interface levels.
void PostPlayerMessage(World& world, PlayerRecord& recipient, int32_t subject, uint32_t typeId,
                       const char* attachment, const MessageParams& params, uint8_t extra = 0);

// Posts an event about `subject` to every region of 1..31 still in the game,
// with the type for the subject itself, for its friends, for its enemies or
// for the others; a type of 0 sends that group nothing.
void BroadcastPlayerMessage(World& world, const PlayerRecord& subject, uint32_t typeForSelf,
                            uint32_t typeForFriendly, uint32_t typeForOthers, uint32_t typeForHostile,
                            const char* attachment, const MessageParams& params, uint8_t extra = 0);

// Builds one message of the type and distributes it. With remoteChecks on, a
// recipient other than the local player must take part in the game and, in
// a network game, be a computer region on this host.
void DeliverPlayerMessage(World& world, PlayerRecord& recipient, uint32_t typeId, int32_t sender,
                          const char* attachment, const MessageParams& params, uint8_t bonus = 0,
                          uint8_t extra = 0, bool remoteChecks = true);

// Constructs an empty message (type 0, a letter) from `sender`, as the
// compose screen starts one; made with NewZeroed, freed with DeleteZeroed.
PlayerMessage* InitPlayerMessage(int32_t sender);

// Makes the per-recipient copies of a message: a copy for each player of
// its recipient masks that is still in the game, filed here for players
// whose messages live on this peer and sent to the peer of any other. The
// caller keeps (and frees) the message.
void DistributePlayerMessage(World& world, PlayerMessage& message);

// Files one copy for `owner` (taking it): formats its body, puts it first in
// the owner's list, tells the interface and plays the arrival sound for the
// local player. A copy of a muted type, or of a type the table does not
// have, is freed instead. Also the network handler's way to file a message
// received from a peer.
void StorePlayerMessage(World& world, PlayerMessage* message, int32_t owner);

// Adds the local player's status line for the type, when its priority
// reaches the status level, and plays the type's sound for a type whose
// flags are exactly 4.
void AddLocalNewsItem(World& world, const PlayerRecord& recipient, uint32_t typeId, uint8_t bonus,
                      const MessageParams& params);

// Deletes the player's old news and e-mail, sparing the kept e-mail and the
// messages the news panel and the e-mail screen show. Called at every end of
// turn for each player 1..highestPlayer still in the game.
void ExpirePlayerMessages(World& world, const PlayerRecord& player);
// The same for every such player.
void ExpireAllPlayerMessages(World& world);

// The owner's message with that serial, or null. Hold the mail lock while
// using the result.
PlayerMessage* FindPlayerMessage(World& world, int32_t owner, uint32_t serial);
// Deletes the owner's message with that serial under the mail lock; false
// when it is gone already.
bool DeletePlayerMessage(World& world, int32_t owner, uint32_t serial);

// Hands the player the message kept for its turn (GameState's
// pendingTurnMessage, a type id), then clears it.
void DeliverTurnMessage(World& world, PlayerRecord& player);

// Puts posting and the turn message behind the calls the clock, the daily
// driver and the victory check use (sim/player_message_link.h). Done once
// at start-up; linking this file does it too.
void InstallPlayerMessageLink();

// Whether player `p`'s messages live on this peer: the local player, any
// player outside a network game, and on the host a player whose slot no
// person holds.
bool MessagesLiveHere(const World& world, int32_t p);
