#pragma once
// The confirmation of a declaration of war on the picked region, docked at
// the third level with the calendar beside it.
#include <cstdint>

#include "ui/screen.h"

inline constexpr const char* kWarDeclarationTags[] = {"REGNAME", "LEADER", "WARACCPBUT", "WARCANBUT", "CALPARENT"};
// The diplomacy department's calendar that the war panel shows.
inline constexpr size_t kWarCalendar = 0;

class WarDeclarationPanel : public Screen {
 public:
  WarDeclarationPanel() : Screen("DIPLOMACY1_SS2b", FormLookups{.tags = kWarDeclarationTags, .ids = {}}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;

  Control* calendarHost = nullptr;  // CALPARENT, null without one
};
