#pragma once
// The unit order definitions ("orders"): 255 records, indexed by order number.
#include <cstdint>

#include "world/text/owned_text.h"

inline constexpr int kOrderTypeCount = 255;

// A row whose name is missing or empty is not an order.
struct OrderTypeRecord {
  // ORed into a unit's order flags; they choose the commands issued. Bit 28:
  // the target is picked from a list; bit 23: that list is the missile one.
  uint32_t orderFlags = 0;
  uint32_t orderMask = 0;          // ORed into a unit's order mask; bit 9 a missile order
  OwnedText name;
  // Availability: bit 0 listed in list mode 0, bit 1 in list mode 1, bit 2
  // may be executed without a marked hex.
  int32_t listModes = 0;
  uint8_t categories[4] = {};      // per unit category (land, air, sea, submarine): may take the order
  uint32_t requirements = 0;       // bits 0-29 the unit and its class must meet
  uint8_t hexRelation[4] = {};     // per relation of the target hex's owner: may be targeted
  uint8_t facilityRelation[4] = {};
  uint8_t unitRelation[4] = {};
  uint8_t spare = 0;
};

struct OrderTypeTable {
  OrderTypeRecord entries[kOrderTypeCount];
};

// "INI\" + name + ".CSV": "START", then numbered rows 0..254 until the end
// or a row numbered 999. 0, or the generic failure when the file cannot be
// read or has no "START" (the table then stays as it was).
int32_t LoadOrdersTable(OrderTypeTable& table, const char* name);
