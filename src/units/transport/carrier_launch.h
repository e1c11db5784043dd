#pragma once
// Launching a carrier's stock units (missiles, aircraft kept as stock) at
// the target it was given: the checks, the salvo and reload of the carrier,
// the launched group made on the carrier's hex and sent at the target, and
// the notice to a neutral region that was struck. Turn thread, under the
// simulation lock.
#include <cstdint>

struct World;
struct UnitRecord;
struct UnitClassRecord;

// Launches up to count units of the carried stock unit; returns how many
// went (0 when none could). A launch that can never be made clears the
// stock's orders.
int LaunchFromCarrier(World& world, UnitRecord& stock, int count);

// The salvo a carrier fires before it reloads: from its cargo slots and
// strength, 1 to 10.
int LaunchSalvoSize(float carrierStrength, uint16_t cargoSlots);

// The launched group's speed, speed ratio, fuel use factor and reach in
// hexes, from its class and its speed setting. A map without a hex size
// leaves all of them at 0.
void SetLaunchedGroupSpeed(World& world, UnitRecord& group, const UnitClassRecord& cls);
