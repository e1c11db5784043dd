#pragma once
// The military department's two side panels beside the map: the
// production and missile capacity with the auto-build switches (MILITARY2,
// the side screen's top half) and the yearly cost of the forces
// (MILITARY3, its bottom half). They draw only while the side screens are
// on and post nothing.
#include <cstdint>
#include <memory>

#include "ui/screen.h"

class Control;
struct MilitaryFigures;

inline constexpr const char* kMilitaryCapacityTags[] = {
    "AUTOBUILD", "AUTOBUILD2", "PRODCAPMAX", "LAND",    "AIR",     "SEA",     "SUB",  "LANDRES", "AIRRES",
    "SEARES",    "SUBRES",     "MISMAX",     "NUKERES", "CHEMRES", "CONVRES", "NUKE", "CHEM",    "CONV"};

std::unique_ptr<Screen> MakeMilitaryCapacitySidePanel();

inline constexpr const char* kMilitaryCostTags[] = {"COSTSAL",   "COSTNEWEQ", "COSTMAIN",  "COSTRES",  "COSTPREP",
                                                    "COSTTRAIN", "COSTBUILD", "COSTTOTAL", "SHORTBOX", "SHORTAGE"};

std::unique_ptr<Screen> MakeMilitaryCostSidePanel();

// The production page's figures: the auto-build toggles, capacities, unit
// and missile counts; the capacities in use only when withUsed is set.
void FillMilitaryCapacity(Control* form, const MilitaryFigures& figures, bool withUsed);
// The cost lines, their total (salaries, intelligence, maintenance,
// research and alert preparation: training and building stay out of it)
// and the shortage box.
void FillMilitaryCosts(Control* form, const MilitaryFigures& figures);
