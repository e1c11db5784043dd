#pragma once
// A unit boarding a carrier (a ship or aircraft that transports units, or a
// facility that stores stock): it leaves its hex, joins the carrier's cargo
// chain and hands its supply cargo over; a stock unit boards one point at a
// time. Turn thread, under the simulation lock.
#include <cstdint>

struct World;
struct UnitRecord;

// How a boarding differs between the load order and the transport phase.
struct BoardingRules {
  // The hex must take cargo for the unit (or the carrier be based) and the
  // unit's class must allow the carrier's kind.
  bool hexAndClassTests = true;
  // Stock counts slots: always (true), or only in a carrier aircraft away
  // from a base (false, where others count weight).
  bool stockBySlots = false;
  // A point added to a stock already aboard still ends the carrier's wait.
  bool addEndsWait = true;
};

enum class BoardingResult { kNotBoarded, kBoarded, kAddedToStock };

// Boards unit into carrier when it can, by the rules; a unit not on the
// carrier's hex is sent there (ordinary units). A lift order of the boarded
// unit sends the carrier to its landing hex and, withFollowers, lets the
// units waiting for the same lift on the carrier's hex board as well.
BoardingResult BoardUnit(World& world, UnitRecord& unit, UnitRecord& carrier, const BoardingRules& rules,
                         bool withFollowers = true);

// The load order's boarding: into carrier, or into the unit's partner when
// carrier is null.
void BoardCarrier(World& world, UnitRecord& unit, UnitRecord* carrier);

// Every land unit of the carrier's owner on its hex that waits for a lift to
// the carrier's destination and fits boards, each once, in chain order.
void BoardLiftFollowers(World& world, UnitRecord& carrier);
