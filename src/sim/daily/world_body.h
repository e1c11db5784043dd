#pragma once
// The day of a region of kind 1: the world's supplier and body.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerRecord;
struct World;

void RunWorldBodyDay(World& world, PlayerRecord& region);
