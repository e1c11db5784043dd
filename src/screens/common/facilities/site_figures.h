#pragma once
// The figures the build panels and the build pop-up show for a facility
// type on a hex: its cost, build time, supply and output, worked out with
// the simulation's own site evaluation so that a preview agrees with what
// is then built. Callers hold the simulation lock.
#include <cstdint>

struct HexCell;
struct PlayerRecord;
struct UnitClassRecord;
struct World;

// What a facility type's cost is counted in: the hex size for a linked
// facility that is no settlement, else the map's cost scale.
float ClassCostScale(const World& world, const UnitClassRecord& cls);
// The rate the hex's supplier lends building and output: 0 on a hex held
// against its loyalty, else its active facility's rating, else its loyal
// region's.
float HexSupplierRate(const World& world, const HexCell& cell);
// The product a class mainly yields: its largest strictly positive weight
// (the first of equals); -1 without one.
int MainProduct(const UnitClassRecord& cls);
// A class's output on a hex at an effective efficiency e: e x its need at
// world prices x the hex's supply factor, times the owner's two factors
// for the class's main product.
float SiteOutput(const World& world, const HexCell& cell, const UnitClassRecord& cls, float e, float need);
// The part of a site output (SiteOutput) that is the class's main product,
// in the measure the region's own output of that product is counted in: the
// output is the value of everything the class yields at the goods scale,
// the region's figure the amounts its hexes yield over their area. 0 for a
// class without a main product.
float SiteMainProductOutput(const World& world, const UnitClassRecord& cls, float output);
// A strength's effective share: s - (1 - s) x s x 0.3.
inline float EffectiveStrength(float s) { return s - (1.0f - s) * s * 0.3f; }
// A per-day figure of a build time: the amount over the days, 0 for a
// build time of 0 or less (no day to spread it over).
float PerBuildDay(float amount, float days);
// The local region's cost factor, and its output of a product: 0 when there
// is no local region (another region's figures are never counted for it).
float LocalCostFactor(const World& world);
float LocalOutput(const World& world, int product);

// The preview of placing a class on a hex, or on no hex.
struct BuildPreview {
  float eff = 1.0f;        // what the site yields of the class's needs
  float need = 0.0f;       // the class's needs at world prices
  float cost = 0.0f;
  float foundation = 0.0f;
  bool supplied = false;   // the hex's supply carries building
  float days = 0.0f;       // build time when supplied
  float level = 0.0f;      // supply level, 0 to 250
  float output = 0.0f;     // per day
  bool refused = true;     // the hex refuses the build
};
BuildPreview PreviewBuild(const World& world, int32_t classIndex, const HexCell* cell);
