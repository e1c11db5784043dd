#pragma once
// The military department's facilities page (MILITARY1_ss2): the local
// player's military facilities in a fixed order of groups, each row drawn
// by the status row (Military1_ss2c), with the condition of the facility on
// the selected hex (Military1_ss2b) docked in it. New facilities are
// ordered from the build order panel. Window thread.
#include <memory>
#include <cstdint>

#include "ui/screen.h"

class Control;
class ListBoxControl;
struct World;

inline constexpr const char* kMilitaryFacilityTags[] = {"FACILLIST", "PRODPARENT", "BASEDETAILS", "GRIDDEACT",
                                                        "GRIDPEND",  "DEPLOY"};
inline constexpr const char* kBaseConditionTags[] = {"CONDITION", "QUEUE", "CAPACITY"};
inline constexpr const char* kBaseStatusTags[] = {"BASENAME", "INDBMP", "OFFLINE", "HIDEPAR",
                                                  "QUEUE",    "CAPACITY", "STATUS", "STATUS2"};

std::unique_ptr<Screen> MakeMilitaryFacilityScreen();

// The condition, queue and capacity of the facility on the selected hex.
std::unique_ptr<Screen> MakeBaseConditionPanel();

// One facility row: where it stands, its picture, queue and capacity, its
// status and progress; its id is the facility's unit id.
std::unique_ptr<Screen> MakeBaseStatusFill();

// The status word's index for the facility on the cell: FacilityStatus,
// but a hex without supply always shows the no-supply word.
int32_t FacilityRowStatus(const World& world, uint32_t cellIndex);
