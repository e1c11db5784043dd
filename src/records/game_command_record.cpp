#include "records/game_command_record.h"

#include <algorithm>
#include <cstdio>

#include "records/le_bytes.h"
#include "records/player_record.h"

bool IsKnownCommandId(uint32_t id) {
  return (id >= kCommandIdFirst && id <= kCommandIdLast) || id == kCmdSyncCheck || id == kCmdSetPlayerKind;
}

std::string CommandDefect(const GameCommand& command) {
  char text[96];
  if (command.header != kGameCommandHeader) {
    std::snprintf(text, sizeof text, "header 0x%X", command.header);
    return text;
  }
  if (command.size != kGameCommandSize) {
    std::snprintf(text, sizeof text, "size %u", command.size);
    return text;
  }
  if (command.player >= kMaxPlayers) {
    std::snprintf(text, sizeof text, "player %u", static_cast<unsigned>(command.player));
    return text;
  }
  if (!IsKnownCommandId(command.id)) {
    std::snprintf(text, sizeof text, "unknown id %u", command.id);
    return text;
  }
  if (command.payloadLength > kMaxCommandPayload) {
    std::snprintf(text, sizeof text, "payload of %u bytes", command.payloadLength);
    return text;
  }
  if (command.payloadLength != command.payload.size()) {
    std::snprintf(text, sizeof text, "payload length %u for %zu bytes", command.payloadLength, command.payload.size());
    return text;
  }
  return {};
}

std::vector<uint8_t> EncodeGameCommand(const GameCommand& c) {
  std::vector<uint8_t> out(kGameCommandSize + c.payload.size(), 0);
  uint8_t* b = out.data();
  le::Store32(b + 0, c.header);
  le::Store32(b + 4, c.size);
  le::Store32(b + 8, c.id);
  le::Store32(b + 12, c.dueTick);
  b[16] = c.player;
  le::Store32(b + 20, c.sequence);
  le::Store32(b + 24, c.arg24);
  le::Store32(b + 28, c.arg28);
  le::Store32(b + 32, c.arg32);
  le::Store32(b + 36, c.arg36);
  le::Store32(b + 56, static_cast<uint32_t>(c.payload.size()));
  // Word 60 held the sender's buffer address; no receiver may use it.
  if (!c.payload.empty()) std::copy(c.payload.begin(), c.payload.end(), b + kGameCommandSize);
  return out;
}

bool DecodeGameCommand(const uint8_t* bytes, size_t length, GameCommand& out, std::string* reason) {
  auto fail = [&](std::string why) {
    if (reason) *reason = std::move(why);
    return false;
  };
  if (!bytes || length < kGameCommandSize) return fail("shorter than a command");
  GameCommand c;
  c.header = le::Load32(bytes + 0);
  c.size = le::Load32(bytes + 4);
  c.id = le::Load32(bytes + 8);
  c.dueTick = le::Load32(bytes + 12);
  c.player = bytes[16];
  c.sequence = le::Load32(bytes + 20);
  c.arg24 = le::Load32(bytes + 24);
  c.arg28 = le::Load32(bytes + 28);
  c.arg32 = le::Load32(bytes + 32);
  c.arg36 = le::Load32(bytes + 36);
  c.payloadLength = le::Load32(bytes + 56);
  if (c.payloadLength > kMaxCommandPayload) return fail(CommandDefect(c));
  if (length != kGameCommandSize + static_cast<size_t>(c.payloadLength))
    return fail("payload length does not match the message");
  c.payload.assign(bytes + kGameCommandSize, bytes + length);
  std::string defect = CommandDefect(c);
  if (!defect.empty()) return fail(std::move(defect));
  out = std::move(c);
  return true;
}
