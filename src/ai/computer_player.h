#pragma once
// The computer players: one thread for each computer-led region (and one for
// the local region), and the work the minute loop hands them.
#include <cstdint>

struct GameState;

// The per-minute work, run by the minute loop under the simulation lock on
// minutes whose minutes-left count is not a multiple of 5 while the day
// period is not 0; `counter` counts such calls since the period began.
void ComputerPlayerMinuteWork(int32_t counter, GameState& state, int32_t dayPeriod);

// One region's decision step.
void ComputerPlayerDecisionStep(int32_t playerIndex);

// The thread body of one region: waits for the computer players' stop or run
// event; on run it takes one decision step and sleeps 250 ms; on stop it
// ends. Without the events it ends at once.
uint32_t ComputerPlayerThread(int32_t playerIndex);
