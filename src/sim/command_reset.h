#pragma once
// Bringing a world to a clean start for the command pipeline: when a
// scenario is written from the editor and on a key of the game screen. Every
// region's command counter and outstanding count return to zero, every unit
// is numbered afresh from the counters in unit-ring order (links between
// units follow their units, and the ring stays in id order), every unit's
// display orders equal its simulation orders, the command log is emptied,
// and the per-hex and per-unit values that follow from map and class data
// are computed again.
//
// Runs on the interface thread while no game minute runs; it takes only the
// world's own short locks.
struct World;

void ResyncCommands(World& world);
