#pragma once
// The standing-orders settings the orders panels edit: the values the
// selected units share (or the player's defaults), each control's change to
// them, and the three ways they leave the interface (with an order, as the
// player's defaults, to every unit of the player). Window thread.
#include <cstdint>
#include <span>

class Control;
class Screen;
struct UnitRecord;
struct World;

// Gathered values: kOrderNone when no unit was gathered, kOrderMixed when
// the units differ.
inline constexpr int32_t kOrderNone = -2;
inline constexpr int32_t kOrderMixed = -1;
inline constexpr int kOrderFields = 16;
// Set in every header the panels post.
inline constexpr uint32_t kOrderHeaderPosted = 0x80000000u;

// Orders fields the panels show.
enum OrderField : int {
  kFieldSpeed = 0,
  kFieldRoute = 1,
  kFieldFormation = 2,
  kFieldInitiative = 3,
  kFieldTarget = 5,
  kFieldImportance = 6,
  kFieldTactic = 7,
  kFieldLossTolerance = 8,
  kFieldPatrol = 9,
};

struct OrderEditState {
  int32_t settingsChanged = 0;
  int32_t commonOrders[kOrderFields] = {kOrderNone, kOrderNone, kOrderNone, kOrderNone, kOrderNone, kOrderNone,
                                        kOrderNone, kOrderNone, kOrderNone, kOrderNone, kOrderNone, kOrderNone,
                                        kOrderNone, kOrderNone, kOrderNone, kOrderNone};
  uint32_t commonHeaderBits = 0xFFFFFFFFu;
  uint32_t changedHeaderMask = 0;
  int32_t commonFlag12 = kOrderNone;  // the custom-orders flag
  int32_t targetUnit = 0;             // a unit id, 0 none
  int32_t commonOrder = kOrderNone;
  int32_t commonType = kOrderNone;
  int32_t commonClass = kOrderNone;
  int32_t commonTraining = kOrderNone;
  int32_t commonOrder7 = kOrderNone;  // unit ids
  int32_t commonOrder8 = kOrderNone;
};

// The order chosen in the orders list; the option "unitorderdefault" while
// none is.
extern int32_t g_pendingOrder;

// Field i of a packed orders word.
inline int32_t OrderWordField(uint32_t word, int field) { return static_cast<int32_t>((word >> (2 * field)) & 3u); }
// The orders word of the state: each field's value AND 3, so a mixed field
// packs as 3 and an ungathered one as 2.
uint32_t PackOrderSettings(const OrderEditState& state);

// Hold the simulation lock for these three.
void GatherSelectionOrders(OrderEditState& state, std::span<UnitRecord* const> units);
void UnpackOrderSettings(OrderEditState& state, const World& world);
// To each live unit of the local player without the custom-orders flag:
// its header and orders word where they differ (349, 354).
void PostUnitOrderSettings(const OrderEditState& state, World& world);

// The player's defaults (260).
void PostDefaultOrderSettings(OrderEditState& state);

// Applies one selected unit's share of the changed settings: the changed
// header bits (349), each edited field that differs (350), the custom
// flag. Nothing while no setting changed.
void ApplyOrderSettingsToUnit(const OrderEditState& state, UnitRecord& unit);

// One control's change: sets the value or header bit of its id, marks the
// state changed, refreshes the screen owning the form.
void ApplyOrderControl(OrderEditState& state, Control* control, int32_t id, Control* form);
// The settings panels' control change: the orders screen's state, the
// screen's own form; id 0 does nothing.
void ForwardOrderControlChange(Screen& screen, Control* control, int32_t id);
