#pragma once
// Building on a hex: what the ground around a hex can feed a facility of a
// class, a facility built or made anew for its class, and the development
// of the hex's two sites. Each takes the pass (0 display, 1 simulation) and
// follows the two-copy rule; a check-only call changes nothing and tells
// whether the build would be accepted.
#include <cstdint>

struct World;
struct HexCell;
struct UnitClassRecord;
struct TerrainRecord;

// What a facility of the class asks of the hex and what the hex can give,
// each valued at world prices: the ground's eleven resources, its own
// values and what its neighbours spill onto it (an off-map neighbour spills
// nothing), less what the hex uses itself. Both are 0 for a class without a
// needs table. techOwner gives the technology factor of the classes that
// have one.
// Each product's share lists what the hex has of it (available) and what
// the hex uses itself (used), for the panels that show them.
struct SiteSupply {
  float need = 0.0f;
  float supply = 0.0f;
  float available[11] = {};
  float used[11] = {};
};
SiteSupply HexSiteSupply(const World& world, const HexCell& cell, const UnitClassRecord& cls, int32_t classIndex,
                         int techOwner);
// The same look at the ground alone, whatever a class would ask: need and
// supply stay 0. Nothing without a terrain.
SiteSupply HexSiteResources(const World& world, const HexCell& cell);

// What the ground spills over a neighbourhood, per product: the hex counts
// twice, each neighbour on the map once (null: no hex, adds nothing), and
// the sum is always shared over eight; products 8 to 10 spill nothing. The
// caller gathers the neighbours by its own neighbour rule.
void NeighbourhoodSpill(const TerrainRecord& own, const TerrainRecord* const (&around)[6], float (&spill)[11]);

// NeighbourhoodSpill of the hex and its neighbours on the map: the area
// potential of each product. All 0 without a terrain.
void HexAreaSpill(const World& world, const HexCell& cell, float (&spill)[11]);

// How far a hex's supply carries building and output: its supply level
// (0-250) and its supplier's rate, (level / 125 + sup + 1) / 3.
float SupplyLevelFactor(uint8_t level, float sup);

// The hex's supply level byte (0 to 250); 0 for a cell outside the map.
uint8_t HexLevelByte(const World& world, const HexCell& cell);

// Engineers at work on the hex and its neighbours: 1.0 plus their combined
// effort, before any square root.
float EngineerEffort(const World& world, const HexCell& cell);

// One resource of the site supply: the share the facility may take of
// what it needs (q x need, at most 1.0), and the share it can use: what is
// available less the hex's own use, but no more than that cap. The usable
// share goes below 0 where the hex uses more than there is.
struct ResourceShare {
  float cap = 0.0f;
  float usable = 0.0f;
};
ResourceShare SiteResourceShare(float q, float need, float available, float used, bool fullAvailability);

// The size the supply carries of a wanted size: the size itself while the
// supply meets the need for it, else the share the supply covers. A need of
// nothing (or no size) keeps the size.
float SupplyCarriedSize(const SiteSupply& s, float size);

// Tests and, unless checkOnly, builds a facility of the class on the hex
// (the record taking id when it is made): complete at the size, or begun at
// strength 0 and under construction. 1 when accepted (and done), 0 when
// refused. With localOnly the hex must be the local player's.
int ProcessUnitStack(World& world, HexCell& cell, int pass, uint32_t id, int32_t classIndex, float size, bool checkOnly,
                     bool complete, bool localOnly = false);

// Makes the hex's facility a fresh one of the class for the hex's owner; a
// production class is sized to what the hex can feed (and left without a
// class when it can feed none).
void RemakeFacility(World& world, HexCell& cell, int pass, float size, int32_t classIndex);

// Develops a free site of the hex for a site kind (4128 or 4129) reaching
// in the direction given by value; 1 when accepted (and done). With mark
// the site is complete at once.
int BuildHexSite(World& world, HexCell& cell, int pass, uint32_t id, int32_t siteKind, int value, bool checkOnly,
                 bool mark, bool localOnly = false);
