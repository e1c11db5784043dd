#pragma once
// Run-time tallies of the day beside the combat figures: units that came
// into play and units that left it (live as IsUnitLive counts them), and the
// market's trades in which a region bought or sold. Kept in the world but in
// no file; the day's end reads and clears them.
#include <atomic>
#include <cstdint>

struct World;
struct UnitRecord;

struct DayTallies {
  std::atomic<uint32_t> unitsMade{0};
  std::atomic<uint32_t> unitsGone{0};
  std::atomic<uint32_t> purchases{0};
  std::atomic<uint32_t> sales{0};
};

struct DayTallyCounts {
  uint32_t unitsMade = 0;
  uint32_t unitsGone = 0;
  uint32_t purchases = 0;
  uint32_t sales = 0;
};

// Counts the unit as made or gone when its liveness differs from wasLive.
// Every write in play that can change a unit's class or its gone mark goes
// through it (or MarkUnitGone), so the live count moves only by what is
// counted; loading a game and a network resync set them directly.
void NoteUnitLiveChange(World& world, const UnitRecord& unit, bool wasLive);
// Sets the unit's gone mark, counting it gone when it was live.
void MarkUnitGone(World& world, UnitRecord& unit);
// One market trade: the buyer and the seller count when they are regions
// with an economy of their own (led by a person or the computer).
void CountTrade(World& world, int buyerKind, int sellerKind);

// The day's tallies; all start again from 0.
DayTallyCounts TakeDayTallies(World& world);
