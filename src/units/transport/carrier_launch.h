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

enum class LaunchBar : uint8_t;

// Launches up to count units of the carried stock unit; returns how many
// went (0 when none could), with what barred it in `why` when given. A
// launch that can never be made clears the stock's orders.
int LaunchFromCarrier(World& world, UnitRecord& stock, int count, LaunchBar* why = nullptr);

// The rules of engagement hold weapons of mass destruction back until the
// region releases their kind: the message that tells the owner which kind
// its rules hold a launch of the class back for, or 0 when they release it.
uint32_t LaunchHeldMessage(const World& world, const UnitRecord& stock, const UnitClassRecord& cls);

// Tells the stock's owner why its launch order is held (the message above).
// Every peer reaches this at the same step; only the owner's peer posts.
void TellLaunchHeld(World& world, const UnitRecord& stock, uint32_t message);

// The salvo a carrier fires before it reloads: from its cargo slots and
// strength, 1 to 10.
int LaunchSalvoSize(float carrierStrength, uint16_t cargoSlots);

// The launched group's speed, speed ratio, fuel use factor and reach in
// hexes, from its class and its speed setting. A map without a hex size
// leaves all of them at 0.
void SetLaunchedGroupSpeed(World& world, UnitRecord& group, const UnitClassRecord& cls);
