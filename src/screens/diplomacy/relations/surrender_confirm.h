#pragma once
// The confirmation of a surrender to the picked region, docked at the third
// level. The surrender is a command like any other; on a single machine the
// game pauses as well.
#include <cstdint>

#include "ui/screen.h"

inline constexpr const char* kSurrenderConfirmTags[] = {"REGNAME", "LEADER", "SUROK", "SURCAN"};

class SurrenderConfirmPanel : public Screen {
 public:
  SurrenderConfirmPanel() : Screen("DIPLOMACY1_SS2a1", FormLookups{.tags = kSurrenderConfirmTags, .ids = {}}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
};
