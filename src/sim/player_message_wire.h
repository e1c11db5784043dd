#pragma once
// The network form of a player message, the payload of session message 106:
// the 96-byte record image followed by its subject, body and attachment
// texts, each with its terminator (absent texts left out); each text slot of
// the image holds the offset of its text from the start of the record, 0
// for none. Little-endian.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PlayerMessage;

inline constexpr size_t kMessageImageSize = 96;
// The largest payload a peer may send: the three texts of a message are a
// subject line, a 4,096-byte body and an offer's text.
inline constexpr size_t kMaxMessagePayload = 64 * 1024;

// The network form of the message with the given owner.
std::vector<uint8_t> EncodePlayerMessage(const PlayerMessage& message, uint8_t owner);

// A new message (NewZeroed) read from a network form, or null, with the
// reason, when the payload is not one: shorter than the record, longer than
// kMaxMessagePayload, a text slot outside the payload or inside the record,
// or a text without its terminator.
PlayerMessage* DecodePlayerMessage(const uint8_t* bytes, size_t length, std::string* reason = nullptr);
