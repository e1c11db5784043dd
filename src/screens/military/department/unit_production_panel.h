#pragma once
// The military department's production page (MILITARY1_ss1): capacity and
// use, forces and reserves by category, missiles by warhead, and the unit
// and missile auto-build switches; and the view filter (MILITARY1_ss1a)
// whose switches decide which unit designs the build lists offer.
#include <memory>
#include <cstdint>

#include "ui/screen.h"
#include "units/unit_queries.h"

class Control;

// The view filter's switches, interface state for the whole run (never
// saved): the four that UnitClassAvailable takes (VIEWFILTER shows hidden
// designs, VIEWFAV only favourites, VIEWREP replaced ones too, VIEWOLD old
// ones too), and FILTERON, which the missile-site and base lists take.
struct ViewFilterFlags {
  ClassListFilters classes;
  bool filterOn = false;
};
extern ViewFilterFlags g_viewFilterFlags;

inline constexpr const char* kUnitProductionTags[] = {
    "BACK",     "AUTOBUILD", "AUTOBUILD2", "BUILD",   "UNDEPLOYED", "RECRUITBUT", "FILTERS", "AUTOSELECT",
    "PRODCAPMAX", "PRODCAPUSED", "LAND",   "AIR",     "SEA",        "SUB",        "LANDRES", "AIRRES",
    "SEARES",   "SUBRES",    "MISMAX",     "MISUSED", "NUKERES",    "CHEMRES",    "CONVRES", "NUKE",
    "CHEM",     "CONV"};

std::unique_ptr<Screen> MakeUnitProductionPanel();

inline constexpr const char* kViewFilterTags[] = {"FILTERON", "VIEWFILTER", "VIEWFAV", "VIEWREP", "VIEWOLD"};

std::unique_ptr<Screen> MakeUnitViewFilterPanel();
