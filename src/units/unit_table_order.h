#pragma once
// A save game continues the same game: the order of the unit tables and each
// entry's countdown come back as they were saved, so the minute after the
// save steps the same units as the minute after it would have.
struct World;

// Reorders the freshly filed tables by the world's saved order and gives
// their entries the saved countdowns and elapsed minutes; units the save
// did not list keep their place after the listed ones. Drops the saved
// order. Nothing when there is none.
void RestoreSavedTableOrder(World& world);
