#pragma once
// The rules-of-engagement page (OPS1_SS3), docked under the operations
// page: one toggle per rule bit of the region, each click posting the bit's
// new state, and the default-order pages of the orders screen. Its member,
// the scorched-earth chooser (OPS1_SS3c1), posts the whole target mask at
// every click.
#include <memory>
#include <cstdint>
#include <span>

#include "ui/screen.h"

class Control;
struct SettingKey;

inline constexpr const char* kMissionRulesTags[] = {"BACK", "MOVEMENT", "RULES", "MISSION"};
inline constexpr int32_t kMissionRuleIds[] = {1, 2, 3, 4, 11, 12, 13, 14, 15, 16, 17};
inline constexpr int32_t kScorchedEarthButtons = 20;
inline constexpr int32_t kScorchedEarthIds[] = {1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,
                                                15,  16,  17,  18,  19,  20,  101, 102, 103, 104, 105, 106, 107, 108,
                                                109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120};
inline constexpr const char* kScorchedEarthTags[] = {"BACK"};

// A rule button: its id on the page and the settings key whose bit of the
// rule word and command it stands for.
struct MissionRuleButton {
  int32_t id;
  const char* key;
};
std::span<const MissionRuleButton> MissionRuleButtons();
// The settings key of a rule button's id, or null for an id without one.
const SettingKey* MissionRuleKey(int32_t id);
// Presses each rule button whose bit is set in the rule word.
void ShowMissionRules(Control* form, uint32_t roeFlags);

std::unique_ptr<Screen> MakeMissionRulesPanel();

std::unique_ptr<Screen> MakeScorchedEarthPanel();
