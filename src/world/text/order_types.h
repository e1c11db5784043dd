#pragma once
// The unit order definitions ("orders"): 255 records, indexed by order number.
#include <cstdint>

#include "world/text/owned_text.h"

inline constexpr int kOrderTypeCount = 255;

struct OrderTypeRecord {
  uint32_t firstMask = 0;
  uint32_t secondMask = 0;
  OwnedText name;
  int32_t value = 0;
  uint8_t bytesA[4] = {};
  uint32_t flags = 0;
  uint8_t bytesB[12] = {};
  uint8_t byteC = 0;
};

struct OrderTypeTable {
  OrderTypeRecord entries[kOrderTypeCount];
};

// "INI\" + name + ".CSV": "START", then numbered rows 0..254 until the end
// or a row numbered 999. 0, or the generic failure when the file cannot be
// read or has no "START" (the table then stays as it was).
int32_t LoadOrdersTable(OrderTypeTable& table, const char* name);
