#include "screens/diplomacy/mail/contact_masks.h"

#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "records/le_bytes.h"
#include "world/save_extension.h"

ContactMasks g_contactMasks;

namespace {

// The block's words in order.
constexpr uint32_t ContactMasks::*kWords[] = {&ContactMasks::chat,   &ContactMasks::voice, &ContactMasks::mute,
                                              &ContactMasks::offers, &ContactMasks::mail,  &ContactMasks::ignoredSenders};
constexpr size_t kMaskCount = std::size(kWords);

std::vector<uint8_t> WriteContactBlock(World&) {
  std::vector<uint8_t> payload(kMaskCount * 4);
  for (size_t i = 0; i < kMaskCount; ++i) le::Store32(payload.data() + i * 4, g_contactMasks.*kWords[i]);
  return payload;
}

// A save without the block leaves every mask clear.
bool ReadContactBlock(World&, std::span<const uint8_t> payload, bool apply, std::string& why) {
  if (!payload.empty() && payload.size() != kMaskCount * 4) {
    why = "the contact block is not six words";
    return false;
  }
  if (!apply) return true;
  ContactMasks masks;
  for (size_t i = 0; i < kMaskCount && !payload.empty(); ++i) masks.*kWords[i] = le::Load32(payload.data() + i * 4);
  g_contactMasks = masks;
  return true;
}

[[maybe_unused]] const bool kSaveHookSet = [] {
  g_contactMaskSaveHook.write = WriteContactBlock;
  g_contactMaskSaveHook.read = ReadContactBlock;
  return true;
}();

}  // namespace

uint32_t ContactBit(int32_t player) {
  return player >= 0 && player < 32 ? 1u << static_cast<uint32_t>(player) : 0u;
}

void SetContactBit(uint32_t& mask, int32_t player, bool on) {
  if (on) {
    mask |= ContactBit(player);
  } else {
    mask &= ~ContactBit(player);
  }
}
