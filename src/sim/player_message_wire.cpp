#include "sim/player_message_wire.h"

#include <cstdlib>
#include <cstring>

#include "records/le_bytes.h"
#include "world/list_items.h"

namespace {

constexpr size_t kTextSlotsAt = offsetof(PlayerMessageImage, textSlots);
constexpr size_t kFieldsAt = offsetof(PlayerMessageImage, fields);
constexpr size_t kTailAt = offsetof(PlayerMessageImage, tail);

bool Refuse(std::string* reason, const char* why) {
  if (reason) *reason = why;
  return false;
}

}  // namespace

std::vector<uint8_t> EncodePlayerMessage(const PlayerMessage& message, uint8_t owner) {
  PlayerMessageImage image{};
  image.fields = static_cast<const PlayerMessageFields&>(message);
  image.fields.owner = owner;
  image.tail = static_cast<const PlayerMessageTail&>(message);
  std::vector<uint8_t> out(kMessageImageSize);
  uint32_t at = kMessageImageSize;
  for (int i = 0; i < kMessageTexts; ++i) {
    const char* text = message.texts[i];
    if (!text) continue;
    const size_t length = std::strlen(text) + 1;
    image.textSlots[i] = at;
    out.insert(out.end(), text, text + length);
    at += static_cast<uint32_t>(length);
  }
  // The record is its own little-endian image.
  std::memcpy(out.data(), &image, sizeof image);
  return out;
}

PlayerMessage* DecodePlayerMessage(const uint8_t* bytes, size_t length, std::string* reason) {
  if (!bytes || length < kMessageImageSize) {
    Refuse(reason, "shorter than a message record");
    return nullptr;
  }
  if (length > kMaxMessagePayload) {
    Refuse(reason, "longer than a message may be");
    return nullptr;
  }
  uint32_t slots[kMessageTexts];
  for (int i = 0; i < kMessageTexts; ++i) {
    slots[i] = le::Load32(bytes + kTextSlotsAt + 4 * static_cast<size_t>(i));
    if (slots[i] == 0) continue;
    if (slots[i] < kMessageImageSize || slots[i] >= length) {
      Refuse(reason, "a text outside the message");
      return nullptr;
    }
    if (!std::memchr(bytes + slots[i], 0, length - slots[i])) {
      Refuse(reason, "a text without its end");
      return nullptr;
    }
  }
  auto* message = NewZeroed<PlayerMessage>();
  if (!message) {
    Refuse(reason, "out of memory");
    return nullptr;
  }
  std::memcpy(static_cast<PlayerMessageFields*>(message), bytes + kFieldsAt, sizeof(PlayerMessageFields));
  std::memcpy(static_cast<PlayerMessageTail*>(message), bytes + kTailAt, sizeof(PlayerMessageTail));
  for (int i = 0; i < kMessageTexts; ++i) {
    if (slots[i] == 0) continue;
    const char* text = reinterpret_cast<const char*>(bytes + slots[i]);
    const size_t size = std::strlen(text) + 1;
    message->texts[i] = static_cast<char*>(std::malloc(size));
    if (!message->texts[i]) {
      DeleteZeroed(message);
      Refuse(reason, "out of memory");
      return nullptr;
    }
    std::memcpy(message->texts[i], text, size);
  }
  return message;
}
