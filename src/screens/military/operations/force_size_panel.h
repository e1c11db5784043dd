#pragma once
// The force size panel (MILITARY1_ss5), docked at the third level under
// the military page: the target size of the forces as a share of the
// population, and the conscription rules (on or off, women too, minimum
// age). Each change is a command.
#include <memory>
#include <cstdint>

#include "ui/screen.h"

class Control;
struct PlayerRecord;

inline constexpr const char* kForceSizeTags[] = {"CURSIZE",  "MILAPRRATE", "RECSIZE", "COEDBUT",   "CONSCRIPBUT",
                                                 "AGEHIDE",  "SIZESLDR",   "NEWSIZE", "LOCK",      "RETURNBUT",
                                                 "UNITBUT"};
// The minimum-age buttons; each id is its age.
inline constexpr int32_t kForceSizeAgeIds[] = {14, 16, 18, 21};

// Fills the panel from the local region's display copy. Returns false when
// the stored minimum age is none of the buttons' (the caller repairs it).
bool FillForceSize(Control* form, const PlayerRecord& region);

std::unique_ptr<Screen> MakeForceSizePanel();
