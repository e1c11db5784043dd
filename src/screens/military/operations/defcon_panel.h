#pragma once
// The alert-level panel (OPS1_SS1), docked under the operations page: the
// level in force, a five-step bar that orders a new one, and what the
// ordered level costs and gives. Peace caps the order at level 3, war holds
// it at 2 or more (the executor clamps).
#include <memory>
#include <cstdint>

#include "ui/screen.h"

class Control;
struct PlayerRecord;

inline constexpr const char* kDefconPanelTags[] = {"DEFCON", "CURDESC", "ANNDAYTEXT", "DEFCONSLDR", "DCDESC",
                                                   "BUILD",  "EFFPLUS", "COSTPREP",   "MIN",        "BACK"};

// The yearly cost of holding the forces at alert value d: the three base
// costs times the government's preparation factor, growing with d².
float AlertPreparationCost(const PlayerRecord& region, int32_t defcon);
// The level in force (the simulation copy's): DEFCON and CURDESC.
void FillAlertInForce(Control* form, const PlayerRecord& region);
// The ordered level's lines (bar, description, effects, cost and the peace
// or war limit) from the display copy; absent controls are skipped.
void FillDefconPanel(Control* form, const PlayerRecord& region, float periodDivisor);

std::unique_ptr<Screen> MakeDefconPanel();
