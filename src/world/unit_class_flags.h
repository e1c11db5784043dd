#pragma once
// The bits of a unit class's flag word (UnitClassImage::flags, class byte
// 72): one name per bit. Where other rules know a bit by another name, the
// comment says so, so that a search for either finds the bit.
#include <cstdint>

// Long-range weapons: no own-strength cap, fire mode 2. A stock class with
// it is shells, was kStockShells.
inline constexpr uint32_t kClassLongRange = 1u << 0;
// Immune to special weapons. A stock class with it carries a chemical
// warhead, was kStockChemical and kStockFlagChemical.
// Also kChemicalClass.
inline constexpr uint32_t kClassSpecialImmune = 1u << 1;
// Special-weapon kinds: damage x10 and x5. A class with the first also gives
// its units the map's option bit (kUnitMapOption), was kClassMapOption, and
// its facility icon may be drawn large, was kClassMayBeLarge; the second
// also marks a class with a needs table of 11 floats (its products), was
// kHasProducts and kClassNeedsTable, and marks the intercontinental missile
// kinds.
inline constexpr uint32_t kClassSpecialWeaponA = 1u << 2;
inline constexpr uint32_t kClassSpecialWeaponB = 1u << 3;
// Either special-weapon kind: a stock class with one carries a nuclear
// warhead. Was kStockNuclear and kStockFlagsNuclear.
// Also kNuclearClass.
inline constexpr uint32_t kClassSpecialWeapons = kClassSpecialWeaponA | kClassSpecialWeaponB;
// Bits 1 to 3: any special kind; such stock classes go out of use with the
// scenario's stock setting. Was kClassObsoleteKinds.
inline constexpr uint32_t kClassSpecialKinds = kClassSpecialImmune | kClassSpecialWeaponA | kClassSpecialWeaponB;
inline constexpr uint32_t kClassFacility = 1u << 6;        // a facility (its units get kUnitFacility), was kClassFacilityFlag
// Lifted by air without the airfield rules: from any airfield, and it may
// leave a carrier aircraft in the air. Was kClassAnyAirfield (the lifts)
// and kClassLeavesCarrierAircraft (carried units).
inline constexpr uint32_t kClassFreeAirLift = 1u << 7;
inline constexpr uint32_t kClassNoTerrainCost = 1u << 8;   // works and facility cost nothing to movement types 0 to 3
inline constexpr uint32_t kClassFortification = 1u << 9;
// An air base or carrier; the census counts it as a port (type 1), was
// kClassPortCensus.
inline constexpr uint32_t kClassAirBase = 1u << 10;
inline constexpr uint32_t kClassSeaCarrier = 1u << 11;     // a carrier of kind 2
// A naval base (haven) or an aircraft that lands on a carrier; the census
// type 2, was kClassHavenCensus.
inline constexpr uint32_t kClassHaven = 1u << 12;
// An aircraft that lands on carriers of the air-base kind (kClassAirBase)
// only (the base choice's search kind 2); an aircraft with kClassHaven lands
// on those of the sea kind instead. Was kClassLandsOnAirBase.
inline constexpr uint32_t kClassLandsOnCarrier = 1u << 13;
inline constexpr uint32_t kClassAmphibious = 1u << 14;   // also pays the crossing costs, was kClassAmphibiousCost
// A stock class built and held as a batch: the computer players order it
// all at once (the create command's batch-all flag) and the reserve keeps
// it apart (option bit 4 of the reserve lookup). Was kClassBatchAll and
// kClassStockKeptApart.
inline constexpr uint32_t kClassBatchStock = 1u << 15;
inline constexpr uint32_t kClassTechFactor122 = 1u << 16;  // uses technology factor 122 (else 126)
// A settlement: holds units against the force budget; counted by the census
// and charged as a marked facility; its map icon never fades. Was
// kHoldsUnits, kClassMarked and kClassNoFade.
inline constexpr uint32_t kClassSettlement = 1u << 17;
// A production facility, yielding products. Was kProduction, kClassYields
// and kClassYielding.
inline constexpr uint32_t kClassProduction = 1u << 18;
// Builds works; also the class that marks its hex while at work. Was
// kClassMarker.
inline constexpr uint32_t kClassBuildsWorks = 1u << 19;
// Settlement population. Was kSettlementPopulation, kClassSettlement (of the
// hex routines), kClassSettlementFlag, kClassCapital, kClassNotFiled,
// kClassTargetable and kClassCapitalSymbol (the map draws the capital's
// symbol on its icon).
inline constexpr uint32_t kClassSettlementPopulation = 1u << 20;
// Fortifies its hex (hex mark 2); also repairs. Was kFortifies and
// kClassRepair.
inline constexpr uint32_t kClassFortifies = 1u << 22;
// A road. Was kClassRunning; a ship with it unloads only where it stands,
// was kClassNoUnloadByPosition; its map icon fades unless it is a capital,
// was kClassNoFadeUnlessCapital.
inline constexpr uint32_t kClassRoad = 1u << 23;
// Halts before it sets off on an ordered move (the orders set the second
// halt bit of its state word).
inline constexpr uint32_t kClassHaltsOnMove = 1u << 24;
inline constexpr uint32_t kClassHalvedAirborne = 1u << 25; // attack halved while airborne
// Never surrenders or resists: it takes no ground and defends no hex. Was
// kNeverSurrenders, kClassNoDefence and kClassBit26.
inline constexpr uint32_t kClassNeverSurrenders = 1u << 26;
// Out of use: offered to no one while a game runs. Was kClassOutOfGame.
inline constexpr uint32_t kClassObsolete = 1u << 27;
// A stock class (its units get kUnitStock), was kClassStockFlag; the
// research pages call such a design a missile, was kMissileClass.
inline constexpr uint32_t kClassStock = 1u << 28;
// Full availability: the class's own output is not capped by the hex. Was
// kFullAvailability and kClassOwnOutputCapped; a stock class with it homes on
// the unit it was fired at, was kClassHoming, and its carriers are
// launched at sea, was kStockSeaLaunched.
inline constexpr uint32_t kClassFullAvailability = 1u << 30;

// Facility kinds with their own rules: production, builds works,
// settlement population and road. A settlement with none of them is a
// plain settlement.
// Also kNotABaseFlags (never a base with a rally point).
inline constexpr uint32_t kClassExcludedKinds = kClassProduction | kClassBuildsWorks | kClassSettlementPopulation | kClassRoad;
// Classes no design project may take: out of use, or bit 21.
inline constexpr uint32_t kClassNotDesign = kClassObsolete | (1u << 21);
// Classes the research projects make no design project for: out of use, or
// facilities.
inline constexpr uint32_t kClassNoDesignProject = kClassObsolete | kClassFacility;
// Classes that never push on by themselves in the unit step's decisions.
inline constexpr uint32_t kClassStaysPut = kClassHaltsOnMove | kClassHalvedAirborne | kClassNeverSurrenders;

static_assert(kClassSpecialKinds == 0xEu && kClassExcludedKinds == 0x9C0000u && kClassNotDesign == 0x8200000u);
static_assert(kClassStaysPut == 0x7000000u && kClassSpecialWeapons == 0xCu);

// The "weaptype" entry of a missile class: 0 (nuclear) for the special-weapon
// kinds, 2 for the first special kind, else 3 (conventional); entry 1 is
// never chosen.
inline int WarheadLabel(uint32_t classFlags) {
  if (classFlags & (kClassSpecialWeaponA | kClassSpecialWeaponB)) return 0;
  return (classFlags & kClassSpecialImmune) ? 2 : 3;
}
