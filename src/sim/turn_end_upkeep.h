#pragma once
// What the main thread does with the world when the clock reports a
// finished turn (turn code 1), besides refreshing its screens: every region
// still in the game loses the news and e-mail that have outlived their days,
// so a long game keeps only the last few weeks of them. The interface's
// handler of the turn code calls it; the headless runner calls it at the
// same point of each turn, while the clock waits for it.
struct World;

// Main thread. Takes the simulation lock for the walk over the regions and
// the mail lock for their lists.
void TurnEndUpkeep(World& world);
