#pragma once
// A region's people: births, deaths, migration, recruitment, and the social
// levels.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerRecord;
struct World;

// The factor-table entry of social level 0; levels 1 to 6 follow.
inline constexpr int kSocialLevelFactor = 115;

void DailyPopulation(World& world, PlayerRecord& region);
void DailySociety(World& world, PlayerRecord& region);

// How strongly the region draws people (Q'): at 0 as many leave as come.
float MigrationAttraction(const World& world, const PlayerRecord& region);
// Immigration and emigration a year from the attraction and the land area
// (hexes x hex size squared + 1).
void SetMigration(PlayerRecord& region, float attraction, float hexArea);
