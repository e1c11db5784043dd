#pragma once
// The hostility page (OPS1_SS4a), three deep under the military-operations
// page, for one foreign region: its header, a hostility bar, the operation
// buttons, a schedule calendar and the confirm boxes docked inside it. No
// hostility or operation state is kept: nothing here posts, the bar's value
// is not read.
#include <cstdint>
#include <span>

#include "ui/screen.h"

class Control;

inline constexpr const char* kHostilityTags[] = {"REGIONHD", "FLAG", "STATUS", "HOSTEXT", "HOSSLDR",
                                                 "CONFPARENT", "CALPARENT", "CONFIRMBOX"};
inline constexpr const char* kHostilityBoxTags[] = {"REGION", "CONFIRM", "CANBUT"};
inline constexpr const char* kHostilityBox4Tags[] = {"CONFIRM", "CANBUT"};

class HostilityPanel : public Screen {
 public:
  HostilityPanel() : Screen("OPS1_SS4a", FormLookups{.tags = kHostilityTags, .ids = {}}) {}
  void BindControls() override;
  // Shows the first box; the calendar waits hidden.
  void OnOpen() override;
  void Refresh() override;
  // An operation's button asks for confirmation, with its own box for ids
  // 1, 3 and 4.
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  Control* confParent = nullptr;
  Control* calendarParent = nullptr;
  Control* confirmBox = nullptr;
};

// A box docked in the hostility page's CONFPARENT (parameter: the region);
// confirming or cancelling shows the page again.
class HostilityConfirmBox : public Screen {
 public:
  HostilityConfirmBox() : HostilityConfirmBox("OPS1_SS4a1", kHostilityBoxTags) {}
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

 protected:
  HostilityConfirmBox(const char* formName, std::span<const char* const> tags)
      : Screen(formName, FormLookups{.tags = tags, .ids = {}}) {}
};

class HostilityConfirmBox3 : public HostilityConfirmBox {
 public:
  HostilityConfirmBox3() : HostilityConfirmBox("OPS1_SS4a3", kHostilityBoxTags) {}
};

// The fourth box names no region.
class HostilityConfirmBox4 : public HostilityConfirmBox {
 public:
  HostilityConfirmBox4() : HostilityConfirmBox("OPS1_SS4a4", kHostilityBox4Tags) {}
  void Refresh() override {}
};
