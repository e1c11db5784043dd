#pragma once
// What the base panel and its facility actions read of a hex: the facility
// standing there and the figures worked out from it (upkeep, the reserve's
// yearly cost, the days a removal takes, the rally distance). Callers hold
// the simulation lock.
#include <cstdint>

struct HexCell;
struct PlayerRecord;
struct UnitClassRecord;
struct UnitRecord;
struct World;

// No cell: the hex names none, or the selection is empty.
inline constexpr uint32_t kNoCellIndex = 0xFFFFFFFFu;

struct FacilityView {
  const HexCell* cell = nullptr;
  uint32_t cellIndex = kNoCellIndex;
  uint32_t packed = 0;  // x low 16 bits, y high 16 bits
  // The lead unit when it stands there (not removed, with a class), and its
  // class; the concealment of foreign facilities is not applied.
  const UnitRecord* present = nullptr;
  const UnitClassRecord* cls = nullptr;
  int32_t classIndex = 0;
  // The class another player's concealed facility shows as: 0.
  int32_t visibleClass = 0;
  int owner = 0;
  int loyal = 0;
  bool ownHex = false;  // the hex's owner is the local player
};

FacilityView ViewFacility(const World& world, uint32_t cellIndex);
// The selected hex's view; a view without cell when nothing is selected.
FacilityView ViewSelectedFacility(const World& world);
// The selected hex's cell index, kNoCellIndex when nothing is selected.
uint32_t SelectedCellIndex(const World& world);
// The packed hex of a cell index (x = index mod width, y = index / width).
uint32_t PackedCellHex(const World& world, uint32_t cellIndex);

// Running while its shown status bit 0 is clear.
bool FacilityActive(const UnitRecord& facility);
// A class that keeps units and sends them to a rally point: a base class of
// no special kind, no production and room for units.
bool IsRallyBaseClass(const UnitClassRecord& cls);
// The reserve panel's class: a base class of no special kind that has room
// for units or is an air or naval base.
bool IsReserveBaseClass(const UnitClassRecord& cls);

// The hex's supplier rate (0 on a hex held against its loyalty).
float HexSup(const World& world, const FacilityView& view);
// A year of the running charge the day takes from the owner for the
// facility as the player last set it (working, idle, mothballed or under
// repair); 0 for a class that costs nothing to run and for the world's hexes.
float FacilityYearlyRunning(const World& world, const UnitRecord& facility, const UnitClassRecord& cls,
                            const PlayerRecord& owner);
// The same for the view's facility; 0 without one.
float FacilityUpkeepPerYear(const World& world, const FacilityView& view);
// The owner's count of working sites that raises every base's running cost
// from 19 on.
uint16_t BaseSiteCount(const PlayerRecord& owner);
// The days a removal takes: box 0 (scrap) and 1 (cancel construction) the
// facility's remaining work at the hex's supply, box 2 (destroy) one day.
float RemovalDays(const World& world, const FacilityView& view, int32_t boxId);
// The local player's people in reserve, not yet promised to deployments.
float LocalReserveForce(const World& world);
// What the site yields of the facility class's needs, at most 1.0.
float SiteEfficiency(const World& world, const FacilityView& view);
