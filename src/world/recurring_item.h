#pragma once
// The fields of a recurring payment or delivery, as its 56 bytes after the
// list-node part hold them (68 bytes in files with that part). The item keeps
// them as bytes; code reads and writes them through this view.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "world/list_items.h"

inline constexpr uint8_t kRecurringFinished = 255;  // kind of an item that is done
// periodKind values.
inline constexpr uint8_t kPeriodDaily = 1;
inline constexpr uint8_t kPeriodWeekly = 2;
inline constexpr uint8_t kPeriodMonthly = 3;
inline constexpr uint8_t kPeriodYearly = 4;
// flags bits.
inline constexpr uint32_t kRecurringGoods = 1u << 0;
inline constexpr uint32_t kRecurringInterest = 1u << 2;
inline constexpr uint32_t kRecurringRepays = 1u << 3;

struct RecurringFields {
  uint8_t kind;           // 0: which of the payer's debt totals; 255 finished
  uint8_t payee;          // 1: 0 the world bank
  uint8_t payer;          // 2
  uint8_t byte3;
  uint16_t serial;        // 4: the payer's running number of its items
  uint8_t periodKind;     // 6
  uint8_t dueDay;         // 7: weekday, day of the month or day of the year
  int16_t paymentsLeft;   // 8: 0 no limit
  uint8_t product;        // 10
  uint8_t termYears;      // 11
  uint32_t flags;         // 12
  float installment;      // 16
  float amount;           // 20
  float arrears;          // 24
  float rate;             // 28: yearly; 0 or below a margin over the base rate
  uint32_t startDay;      // 32
  uint32_t maturityDay;   // 36: 0 none
  uint32_t word40;
  uint32_t word44;
  uint32_t word48;
  uint32_t globalSerial;  // 52: the item's id, from the game-wide counter
};
static_assert(std::is_trivially_copyable_v<RecurringFields>);
static_assert(std::endian::native == std::endian::little, "the fields are their own file image");
static_assert(sizeof(RecurringFields) == kRecurringFieldsSize);
static_assert(offsetof(RecurringFields, serial) == 4);
static_assert(offsetof(RecurringFields, paymentsLeft) == 8);
static_assert(offsetof(RecurringFields, flags) == 12);
static_assert(offsetof(RecurringFields, amount) == 20);
static_assert(offsetof(RecurringFields, arrears) == 24);
static_assert(offsetof(RecurringFields, globalSerial) == kRecurringIdAt);

inline RecurringFields LoadRecurringFields(const RecurringItem& item) {
  RecurringFields fields;
  std::memcpy(&fields, item.fields, sizeof fields);
  return fields;
}

inline void StoreRecurringFields(RecurringItem& item, const RecurringFields& fields) {
  std::memcpy(item.fields, &fields, sizeof fields);
}
