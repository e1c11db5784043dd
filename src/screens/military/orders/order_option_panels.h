#pragma once
// The rules of engagement panel (contact option, rule boxes, custom orders,
// initiative) and the movement panel (speed, route, transports, formation,
// schedule), docked at the third level; both edit the orders screen's edit
// state.
#include <cstdint>
#include <memory>

#include "ui/screen.h"

inline constexpr const char* kContactTags[] = {"CONTACTOP", "INITIATIVE", "CHANGE", "ONLYFUTURE", "DEFAULT"};
inline constexpr int32_t kContactIds[] = {142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 118, 108, 109};
inline constexpr const char* kMovementTags[] = {"SPEED",      "ROUTE",      "TRANSPORTS", "FORMATION", "FYES",
                                                "FORMPARENT", "SCHEDBUT",   "CALPARENT",  "CHANGE",    "ONLYFUTURE",
                                                "DEFAULT"};
inline constexpr int32_t kMovementIds[] = {31, 32, 33, 34, 35, 36, 37, 38, 41, 43, 45, 46, 47, 48, 49};

std::unique_ptr<Screen> MakeContactOptionsPanel();

// The contact option's "ordcontact" entry: 0 with header bit 8, else 2
// with bit 5, else 1.
int32_t ContactOptionOfHeader(uint32_t header);

class MovementOptionsPanel : public Screen {
 public:
  MovementOptionsPanel() : Screen("ORDERS1_ss3c", FormLookups{.tags = kMovementTags, .ids = kMovementIds}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  Control* calParent = nullptr;
  Screen* schedule = nullptr;  // the schedule pop-up shown in calParent; none when not given
};
