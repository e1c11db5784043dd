#pragma once
// An item of a region's news list as the status department's news viewer
// and the diplomacy department's mail show it: its read flag, the kinds of
// its arguments, a copy taken under the mail lock and the place it concerns.
#include <cstdint>
#include <string>

#include "screens/common/screen_types_fwd.h"

// PlayerMessage flags: the item was opened in the viewer.
inline constexpr uint32_t kNewsItemRead = 0x4;
// What a message type's newsitems row keeps beside its known fields: the
// picture categories (bits 0 to 6) in its first spare byte; a type's
// headlines are hidden by the user's mute bit.
inline constexpr int32_t kPictureCategoriesByte = 0;
inline constexpr uint8_t kHideHeadlinesBit = 0x1;
// Argument kinds of a message type.
inline constexpr uint8_t kArgRegion = 1, kArgRegionB = 36, kArgUnit = 6, kArgHex = 31;

// What the viewer shows of an item, copied under the mail lock so that the
// item may expire while it is shown.
struct NewsItemView {
  bool found = false;
  uint32_t typeId = 0;
  int32_t day = 0;
  uint8_t importance = 0;
  uint32_t args[4] = {};
  std::string headline, text;
};
// The owner's item with the serial, marked read; not found when it is gone.
NewsItemView ReadNewsItem(World& world, int32_t owner, uint32_t serial);
// The item's place: the first hex argument, else the position of the first
// unit argument's unit (looked up under the simulation lock); 0 for none.
uint32_t NewsItemPosition(World& world, const NewsItemView& item);
