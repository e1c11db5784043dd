#pragma once
// A computer region's daily war posture: gifts to poor friends and
// approaches to friendly regions, war on a region it resents and borders,
// surrender when it is beaten, and its alert level. It acts only through
// commands and player messages.
#include <cstddef>
#include <cstdint>

struct World;
struct PlayerRecord;

// Record places of figures only computer players write. They lie outside
// the bytes the sync checks sum: only the host runs computer players.
inline constexpr size_t kWarTargetAt = 12703;  // u8: the region everyone is set against, 0 none

uint8_t WarTarget(const PlayerRecord& region);
void SetWarTarget(PlayerRecord& region, uint8_t target);

// The millisecond clock the posture's seed reads: an injected clock when one
// is set, else the game's tick while the workers run clocked (their steps
// then repeat run after run), else the platform's time since start. Null
// removes the injected clock.
using AiClock = uint32_t (*)();
void SetAiClock(AiClock clock);
uint32_t AiClockMs();

void AiDailyWarPosture(World& world, PlayerRecord& region);
