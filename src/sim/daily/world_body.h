#pragma once
// The day of a region of kind 1: the world's supplier and body.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerRecord;
struct World;

void RunWorldBodyDay(World& world, PlayerRecord& region);

// The world body's only chance: 0 to 999 from the digits of a treasury, the
// same for the same treasury on every peer and every day.
uint32_t WorldBodyDraw(float treasury);
