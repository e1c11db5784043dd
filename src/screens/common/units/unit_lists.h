#pragma once
// Gathering units and facilities into reference lists (one filtering walk
// over the units, one over the facilities, one for a hex's stack) and
// showing such lists in list boxes; with the two small text and picture
// helpers the same screens use. Window thread; reads the world, changes no
// game state. Callers that walk the world hold the simulation lock.
#include <cstdint>
#include <span>
#include <string>

#include "world/list_holder.h"

class Control;
class ListBoxControl;
struct ScreenSet;
struct UnitRecord;
struct World;

// The filters of one walk over the units. Every field named "any" at -1
// lets every unit through; the defaults ask for nothing.
struct CollectUnitsArgs {
  ListHolder* resultList = nullptr;  // null: only count
  int32_t category = -1;             // 0-4; 5 or -1 any
  int32_t stock = 0;                 // 1 only stock classes, 0 only others
  int32_t viewingPlayer = -1;        // below 0: no relation filter
  int32_t subType = -1;              // the unit's sub-type byte
  uint32_t relationMask = 15;        // 15: no relation filter
  int32_t orderBit1AndSorting = -1;  // 0/1 must equal NOT display word 15 bit 1; non-zero: sorted insertion
  int32_t orderStatus = -1;          // 1 status bit clear, 0 set
  int32_t clearFirst = 0;
  const uint32_t* hex = nullptr;  // packed position the unit must stand on
  UnitRecord* start = nullptr;    // null: the head of the unit ring
  int32_t chainB = 0;             // follow the hex's chain B links from start
  int32_t word12Bit31 = -1;       // display word 12 bit 31
  int32_t reverse = 0;            // descending keys; plain insertion at the head
  int32_t visibleOnly = 0;        // only units the local player can see
  int32_t excludeInBase = 0;      // leave out units with flag 0x100000
  int32_t cargoRoom = -1;
  int32_t missileLoadKinds = -1;
  int32_t classGroup = -1;
  int32_t flagBit14 = -1;  // unless display word 11 has bit 28
  uint8_t categoryBits = 0;  // non-zero: bit (1 << category) must be set
  float minimumFirepower = 0.0f;
};

// Walks the units and counts (and, with a result list, adds) those that
// pass every filter. The count holds even without a result list.
int32_t CollectUnits(World& world, const CollectUnitsArgs& args);

// The relation of the unit's owner to the viewer: 1 itself, 8 at war, 2
// friendly, 4 any other (tested in that order).
uint32_t UnitRelationCode(const World& world, const UnitRecord& unit, int32_t viewer);
// The local player may see the unit (fog of war, per-unit sighting or the
// spotting map of the unit's hex).
bool LocalPlayerSeesUnit(const World& world, const UnitRecord& unit);

// The list the hex's stack fills (the unit panel and the target rows read
// it). Window thread.
ListHolder& HexStackList();
// Empties the hex-stack list, then fills it with the units of the hex's
// four chain B heads the viewer may see and whose relation meets the mask
// (15 or a viewer below 0: any); sorted by category and class.
void CollectHexStackUnits(World& world, uint32_t packedHex, int32_t viewer, uint32_t relationMask);

// The unit a list item names, looked up again by the id it keeps (the
// object pointer when it keeps none); null when the unit is gone or flagged
// removed.
UnitRecord* RefUnit(const World& world, const ListItem28& item);

// Shows the list's units in the list box: text rows (the unit's display
// name, row value the unit id) or, with a non-zero row style, the progress
// row forms; row style -1 takes the option bshowallulistob. Grey rows for
// busy units as the rules of the lists say.
void FillUnitList(World& world, ListBoxControl* list, ListHolder& units, bool clear, bool greyBusy, int32_t rowStyle);

// The facilities of the filters into the result list (each once) and the
// list box: available ones and not; rows name the hex's label or its
// "X:%03d Y:%03d" position.
struct CollectFacilityArgs {
  ListHolder* resultList = nullptr;
  ListBoxControl* list = nullptr;
  int32_t domain = -1;
  int32_t facilityKind = -1;
  int32_t owner = -1;
  int32_t clearFirst = 0;
  int32_t available = 1;
  int32_t stockMaskTest = -1;
  int32_t facilityType = -1;
  int32_t rowStyle = 0;
};
void CollectFacilityUnits(World& world, const CollectFacilityArgs& args);
// One pass of a walk over the facilities: the filters that change from pass
// to pass (the others are the walk's own).
struct FacilityPass {
  int32_t facilityKind = -1;
  int32_t available = 1;
  int32_t stockMaskTest = -1;
  int32_t facilityType = -1;
};
// The facilities of each pass in turn on the walk's other filters; the first
// pass empties the result list, the others add to it.
void CollectFacilityPasses(World& world, CollectFacilityArgs walk, std::span<const FacilityPass> passes);
// The facilities of the filters, the available ones listed first: the result
// list is emptied first.
void CollectFacilitiesAvailableFirst(World& world, CollectFacilityArgs filters);
// The facility kind of a class by its flags (0 to 7).
int32_t FacilityKindOf(const World& world, int32_t classIndex);

// The names of the players of the mask, "; " between them, with " (" the
// person leading ")" in a networked game; longer texts end in " ..." (at
// most about a thousand characters). The text is the caller's.
std::string PlayerMaskNamesText(const World& world, uint32_t mask);

// The portrait cell of the icon index: sheet (0 or 1) and source rectangle;
// false for indices outside 0 to 125.
struct IconCell {
  int32_t sheet = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};
bool IconCellOf(int32_t index, IconCell& cell);
// Sets the bitmap control's picture to the cell of its portrait sheet and
// the caption (when given) to the minister of that index, when one exists.
void IconCellRect(int32_t index, Control* bitmap, Control* caption);
// A region's leader picture (its record's avatar byte) is a cell of the
// second sheet: icon index kLeaderPortraits + avatar.
inline constexpr int32_t kLeaderPortraits = 63;
