#pragma once
// The game command record: every change a player, a computer region or a
// peer makes to a running game travels as one. The 64-byte record is also
// the network message 0x20001 (the record followed by its payload bytes),
// so its layout is a wire format. In memory a command owns its payload by
// value. Making and posting commands is the simulation's (sim/game_command.h).
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "records/command_ids.h"

inline constexpr uint32_t kGameCommandHeader = 0x20001;
inline constexpr uint32_t kGameCommandSize = 64;
// The executor's table runs from the first id to the last; the two system
// ids of the network layer lie outside it.
inline constexpr uint32_t kCommandIdFirst = kCmdMinWage;
inline constexpr uint32_t kCommandIdLast = kCmdAvailabilityBit;
// The largest payload a command may carry. The longest real ones are a
// diplomatic offer's text and a turn's sync-check entries, both far below.
inline constexpr uint32_t kMaxCommandPayload = 64 * 1024;
inline constexpr uint32_t kSequenceCounterMask = 0x00FFFFFF;

// The wire and file image, little-endian.
struct GameCommandImage {
  uint32_t header = kGameCommandHeader;  // 0
  uint32_t size = kGameCommandSize;      // 4: the payload is not counted
  uint32_t id = 0;                       // 8
  uint32_t dueTick = 0;                  // 12: tick of the simulation pass
  uint8_t player = 0;                    // 16: who issues it, 0 to 31
  uint8_t bytes17[3] = {};
  uint32_t sequence = 0;  // 20: the player's counter (24 bits), the player in the top byte
  uint32_t arg24 = 0;     // 24: a hex as column (low i16) and row (high i16) where one is named
  uint32_t arg28 = 0;     // 28
  uint32_t arg32 = 0;     // 32
  uint32_t arg36 = 0;     // 36
  uint8_t bytes40[16] = {};
  uint32_t payloadLength = 0;  // 56
  uint32_t payloadSlot = 0;    // 60: the sender's buffer address; means nothing here, sent as 0
};
static_assert(sizeof(GameCommandImage) == kGameCommandSize);
static_assert(offsetof(GameCommandImage, header) == 0);
static_assert(offsetof(GameCommandImage, size) == 4);
static_assert(offsetof(GameCommandImage, id) == 8);
static_assert(offsetof(GameCommandImage, dueTick) == 12);
static_assert(offsetof(GameCommandImage, player) == 16);
static_assert(offsetof(GameCommandImage, bytes17) == 17);
static_assert(offsetof(GameCommandImage, sequence) == 20);
static_assert(offsetof(GameCommandImage, arg24) == 24);
static_assert(offsetof(GameCommandImage, arg28) == 28);
static_assert(offsetof(GameCommandImage, arg32) == 32);
static_assert(offsetof(GameCommandImage, arg36) == 36);
static_assert(offsetof(GameCommandImage, bytes40) == 40);
static_assert(offsetof(GameCommandImage, payloadLength) == 56);
static_assert(offsetof(GameCommandImage, payloadSlot) == 60);

// A command with its payload. payloadLength always equals payload.size()
// once the command is built or decoded.
struct GameCommand : GameCommandImage {
  std::vector<uint8_t> payload;
};

// Ids the executor knows: 16 to 386 and the two system ids.
bool IsKnownCommandId(uint32_t id);

// The counter and the player of a sequence word.
inline uint32_t SequenceCounter(uint32_t sequence) { return sequence & kSequenceCounterMask; }
inline uint32_t SequencePlayer(uint32_t sequence) { return sequence >> 24; }
inline uint32_t MakeSequence(uint32_t counter, uint32_t player) {
  return (counter & kSequenceCounterMask) | (player << 24);
}

// A hex packed into a word: column in the low signed half, row in the high.
inline int32_t PackedHexColumn(uint32_t packed) { return static_cast<int16_t>(packed & 0xFFFFu); }
inline int32_t PackedHexRow(uint32_t packed) { return static_cast<int16_t>(packed >> 16); }
inline uint32_t PackHex(int32_t column, int32_t row) {
  return (static_cast<uint32_t>(static_cast<uint16_t>(column))) |
         (static_cast<uint32_t>(static_cast<uint16_t>(row)) << 16);
}

// Why a command is refused, or empty when it is well formed: the header and
// size words, the player index, the id, and the payload length against both
// the carried payload and kMaxCommandPayload.
std::string CommandDefect(const GameCommand& command);

// The network message: the 64-byte record (payload word 0) followed by the
// payload bytes.
std::vector<uint8_t> EncodeGameCommand(const GameCommand& command);
// Reads a network message or a stored command. False, with the reason, for
// a message that is not exactly one command with its payload, or whose
// record is defective; `out` is then unchanged.
bool DecodeGameCommand(const uint8_t* bytes, size_t length, GameCommand& out, std::string* reason = nullptr);

// The four argument words of a command, as the typed argument structs of a
// command family (sim/*_args.h) pack and unpack them: each struct's Pack
// gives the words (those it does not carry 0) and its Unpack reads them back.
struct CommandArgWords {
  uint32_t arg24 = 0;
  uint32_t arg28 = 0;
  uint32_t arg32 = 0;
  uint32_t arg36 = 0;
  bool operator==(const CommandArgWords&) const = default;
};
inline CommandArgWords ArgWordsOf(const GameCommandImage& c) { return {c.arg24, c.arg28, c.arg32, c.arg36}; }
inline void SetArgWords(GameCommandImage& c, const CommandArgWords& w) {
  c.arg24 = w.arg24;
  c.arg28 = w.arg28;
  c.arg32 = w.arg32;
  c.arg36 = w.arg36;
}
// The typed arguments a handler reads from its command.
template <class Args>
Args ArgsOf(const GameCommandImage& c) {
  return Args::Unpack(ArgWordsOf(c));
}
