#pragma once
// The daily driver: once per game day, after the day's minutes, the daily
// steps of the world and of every region, in a fixed order. Later steps read
// what earlier ones wrote the same day, and every peer runs them in the same
// order to stay in step. Runs on the turn thread between two minutes (and
// once on the main thread when a new game starts), without the simulation
// lock; commands posted during it fall due in a later minute.
struct World;

// dailyFlags bit 0 while the driver runs.
inline constexpr unsigned kDailyDriverRunning = 1u;

void RunDailyProcessing(World& world);
