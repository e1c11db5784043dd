#pragma once
// The 64-byte session message: the frame peers exchange for session events
// (speed, player messages, set-up), handed to the main thread in order.
#include <cstddef>
#include <cstdint>

inline constexpr uint32_t kSessionMessageId = 0x20002;

// Session message numbers.
enum SessionMessageKind : uint32_t {
  kSmGameSpeed = 100,
  kSmSyncInfo = 101,
  kSmGameSetup = 104,
  kSmStartGame = 105,
  kSmPlayerMessage = 106,
  kSmPlayerTick = 107,
  kSmProfile = 108,
  // Never on the wire: what the network thread received and hands to the
  // main thread, so that it takes effect there in the order it came (the
  // host's set-up records after the load of the set-up before them).
  kSmReceivedScenarioHead = 1001,  // payload: the 140-byte head
  kSmReceivedGameParams = 1002,    // payload: the 48-byte block
  kSmSetupRequest = 1003,          // from: the asker
};

struct SessionMessage {
  uint32_t id;          // kSessionMessageId
  uint32_t size;        // 64
  uint32_t kind;        // SessionMessageKind
  uint32_t tick;        // the sender's current tick
  uint8_t sender;       // the region of the sender's own slot
  uint8_t toHost;       // non-zero: for the host only
  uint8_t zero[34];
  uint32_t value;
  uint32_t payloadLength;
  uint32_t payloadSlot;  // meaningless on the wire; the payload travels in `payload`
  // In memory only: the owned payload, and the peer that sent the message
  // (0 when this peer made it).
  uint8_t* payload;
  uint32_t from;
};
static_assert(offsetof(SessionMessage, kind) == 8);
static_assert(offsetof(SessionMessage, tick) == 12);
static_assert(offsetof(SessionMessage, sender) == 16);
static_assert(offsetof(SessionMessage, toHost) == 17);
static_assert(offsetof(SessionMessage, value) == 52);
static_assert(offsetof(SessionMessage, payloadLength) == 56);
static_assert(offsetof(SessionMessage, payloadSlot) == 60);
inline constexpr size_t kSessionMessageWireSize = 64;
// The compatibility record a joining peer sends with session message 101.
inline constexpr uint32_t kSyncInfoSize = 48;

// Builds a message with a copy of the payload (null on allocation failure).
SessionMessage* BuildNetMessage(uint32_t kind, const void* payload, uint32_t payloadLength, uint32_t tick,
                                uint8_t sender);
void FreeNetMessage(SessionMessage* message);
