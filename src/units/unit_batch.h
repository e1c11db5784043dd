#pragma once
// Units the simulation makes finished, outside any player's command:
// deliveries, stock splits, reinforcements and the world body's offers. Each
// takes its id from the unit counter kept in player 0's record. Turn thread,
// under the simulation lock.
#include <cstdint>
#include <vector>

struct World;
struct PlayerRecord;
struct UnitRecord;

// The next id of a unit the simulation makes (player 0's counter, raised
// before use, whoever the owner is). Player 0 is the world supplier, which
// posts no commands, so its counter moves only on the turn thread and every
// peer gives the unit the same id; an owner's counter would also move when
// the owner posts, at times the peers do not share.
uint32_t NextSimulationUnitId(World& world);

// One finished unit of the class and size for the owner: made as on order,
// confirmed, complete, offered for deployment in both passes, its movement
// rates worked out; with toReserve it is put (back) into the reserve.
// Returns the unit, or null for a class not in the table.
UnitRecord* SpawnPlayerUnits(World& world, PlayerRecord& owner, int32_t classIndex, int32_t size, bool toReserve,
                             uint32_t flags);

// Makes `count` complete units of the class for the owner. A stock class
// makes one unit of size count, in the reserve. Any other makes count units
// of size 1 at the packed position (column in the low 16 bits, row in the
// high): in the reserve when toReserve is set or the position is (0,0),
// else on the map, filed and standing on their hex. fullyEquipped fills
// morale, training, efficiency, experience and the stores. Each unit made is
// appended to *made when given. Nothing for a count below 1 or a class not
// in the table.
void CreateUnitBatch(World& world, PlayerRecord& owner, int32_t classIndex, int32_t count, uint32_t position,
                     bool toReserve, bool fullyEquipped, std::vector<UnitRecord*>* made);
