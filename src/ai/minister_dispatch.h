#pragma once
// The ministers' share of the minute loop: within each day band every
// region is visited once (those numbered 20 and up twice), and the band
// decides which minister runs for it.
#include <cstdint>

struct World;
struct PlayerRecord;

using MinisterStepFn = void (*)(World&, PlayerRecord&);

// The minister of each band that has one.
struct MinisterSteps {
  MinisterStepFn finance;   // band 4
  MinisterStepFn military;  // band 5
  MinisterStepFn social;    // band 7
  MinisterStepFn products;  // band 8
};

// The four ministers of the game.
const MinisterSteps& GameMinisterSteps();

// Call `counter` of the band: regions counter, counter + 20, ... below 32
// that take part and are not the world region run the band's minister; the
// local region also gets the redraw flag.
void RunMinisterMinute(World& world, int32_t counter, int32_t band, const MinisterSteps& steps);
