#pragma once
// A hex's facility switched on and off with the force budget's bookkeeping,
// the modes a facility's orders go through, and the units held at a
// facility that stops serving them. Every change to the orders is one
// update of the two-copy count in the copy of its pass (0 display,
// 1 simulation); fields outside the orders change on the simulation pass.
struct World;
struct HexCell;
struct UnitRecord;

// Build mode. On: orders cancelled, the facility out of service and under
// construction (posture bits 0 and 1) with state bit 31; off: state bits 31
// and 24 and the construction bit cleared.
void SetFacilityModeA(World& world, UnitRecord& facility, int pass, int on);
// Service. On: orders cancelled, the facility out of service (posture bit
// 0); off: back in service, state bits 31 and 24 and posture bits 0 and 1
// cleared.
void SetFacilityModeB(World& world, UnitRecord& facility, int pass, int on);
// Run-down. On: orders cancelled, state bit 29 set and bit 25 as extra says,
// out of service and not under construction; off: state bits 29 and 25
// cleared.
void SetFacilityModeC(World& world, UnitRecord& facility, int pass, int on, int extra);
// State bit 30 (a paused build).
void SetStateBit30(World& world, UnitRecord& facility, int pass, int on);
// State bit 24 (a conversion under way), which the build mode's off clears.
void SetStateBit24(World& world, UnitRecord& facility, int pass, int on);

// Switches the hex's live facility on (inactive 0) or off (inactive 1);
// nothing without one, or on the simulation pass for a provisional one, or
// when it already is as asked.
// A facility that holds units against the force budget comes on only when
// its weight per point is below the budget (less what is pending, on the
// display pass); else it stays off, and nothing switches it on later.
void SetStackUnitState(World& world, HexCell& cell, int pass, int inactive);

// The owner's own order to switch the hex's facility on (Activate): as
// SetStackUnitState, and when the simulation pass leaves a facility that
// holds units against the force budget off for want of it, the owner is
// told so by mail, once for the order.
void ActivateStackUnit(World& world, HexCell& cell, int pass);

// Deals with the reserve units held at the hex's facility: those within the
// owner's force budget are deployed (at most until 8 have stayed), the rest
// disbanded (disband) or handed to player (when not negative); units on the
// map there lose their at-base mark; units on order there are disbanded
// (release) or handed to player. With release the facility's held count
// becomes 0.
void StackSideEffects(World& world, HexCell& cell, int release, int disband, int player);

// For a hex being captured by player: its held units go to the captor when
// the captor is a friend of the owner and not at war with it, else they are
// disbanded.
void ReleaseHexReserve(World& world, HexCell& cell, int player);
