#pragma once
// The confirmation of a surrender to the picked region, docked at the third
// level. On a single machine the surrender happens at once and the game
// pauses; in a network game it travels as a command like any other.
#include <cstdint>

#include "ui/screen.h"

struct World;

inline constexpr const char* kSurrenderConfirmTags[] = {"REGNAME", "LEADER", "SUROK", "SURCAN"};

// The local region surrenders to `region` on this machine: the displayed
// settings first, then the simulation's under the simulation lock, so that
// a minute the turn thread is running never sees half a surrender.
void SurrenderAtOnce(World& world, int32_t region);

class SurrenderConfirmPanel : public Screen {
 public:
  SurrenderConfirmPanel() : Screen("DIPLOMACY1_SS2a1", FormLookups{.tags = kSurrenderConfirmTags, .ids = {}}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
};
