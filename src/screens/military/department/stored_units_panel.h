#pragma once
// The military department's store page (MILITARY1_ss1a2): the local
// player's stored (undeployed) units, everywhere (id 0) or on the selected
// hex (any other id), and for the current one its status, its place and
// the shared production list's buttons to deploy, sell or scrap it. Docks
// at the third level. Window thread; walks of the world hold the
// simulation lock.
#include <cstdint>
#include <memory>

#include "ui/screen.h"
#include "world/list_holder.h"

class ListBoxControl;

inline constexpr const char* kStoredUnitsTags[] = {"STOREDLIST", "PARSS1A2A", "HEADER", "STATUS",  "BASENAME",
                                                   "ALL",        "DEPLOY",    "SELL",   "INSRES",  "INSRESALL",
                                                   "BASEHIDE",   "CENTRE",    "BUTHIDE", "HIDEBOX2", "BACK",
                                                   "UNITORDER"};

std::unique_ptr<Screen> MakeStoredUnitsPanel();
