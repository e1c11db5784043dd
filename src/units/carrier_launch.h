#pragma once
// Launching a carrier's stock units (missiles, aircraft kept as stock) at
// the target it was given.
struct World;
struct UnitRecord;

// Launches up to count units of the carried stock unit; returns how many
// went. Launching comes with its own rules: until then nothing leaves the
// carrier.
int LaunchFromCarrier(World& world, UnitRecord& stock, int count);
