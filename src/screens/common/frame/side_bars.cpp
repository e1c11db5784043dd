#include "screens/common/frame/side_bars.h"

#include <initializer_list>
#include <vector>

#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"

namespace {

constexpr uint32_t kTopAlphaBit = 0x80000000u;


}  // namespace

void SideFrameBar::BindControls() {
  Control* f = currentForm;
  if (!f) return;
  if (hostSlot_ < 0) {
    for (const char* tag : kSideBar1Tags)
      if (Control* c = FormFindControlByTag(f, tag)) c->outlines[kLookNormal] &= ~kTopAlphaBit;
    return;
  }
  hostLink = &g_ui.rightBoxes[hostSlot_];
  if (Control* slot = *hostLink) {
    f->rect.right = f->rect.left + (slot->rect.right - slot->rect.left);
    f->rect.bottom = f->rect.top + (slot->rect.bottom - slot->rect.top);
  }
  AttachForm(nullptr);
}

// Only the links go: the forms belong to their screens, and the frame's own
// parts stay.
void SideFrameBar::OnOpen() {
  Control* f = currentForm;
  if (!f) return;
  std::vector<Control*> children;
  if (Control* first = f->firstChild) {
    Control* c = first;
    do {
      children.push_back(c);
      c = c->NextInRing();
    } while (c && c != first);
  }
  for (Control* c : children)
    if (c->owner != this) c->Unlink();
  f->Invalidate();
}

void BottomBar::BindControls() {
  hostLink = &g_ui.bottomBoxes[level_];
  parent2 = FormFindControlByTag(currentForm, "PARENT2");
  if (level_ == 2) SetHidden(FormFindControlByTag(currentForm, "BGND2"), true);
  if (level_ == 3) SetHidden(FormFindControlByTag(currentForm, "BGND1"), true);
  AttachForm(nullptr);
}

Control* DockHost(ScreenSet& screens, int32_t level) {
  switch (level) {
    case 1: return screens.dockLevel1.parent2;
    case 2: return screens.dockLevel2.parent2;
    case 3: return screens.dockLevel3.parent2;
    default: return nullptr;
  }
}

void RefreshHostedDockScreens(ScreenSet& screens) {
  for (int32_t level : {2, 3}) {
    Control* dock = DockHost(screens, level);
    if (!dock || dock->Hidden()) break;
    if (dock->hostedScreen) dock->hostedScreen->Refresh();
  }
}

void DockInBotbar2(Screen& screen) { screen.hostLink = &g_screens.dockLevel2.parent2; }
void DockInSecondBotbar2(Screen& screen) { screen.hostLink = &g_screens.dockLevel3.parent2; }

void OpenSidePanels(Screen& top, Screen& bottom) {
  for (Screen* side : {&top, &bottom}) {
    side->AttachForm(nullptr);
    side->OnOpen();
    side->Refresh();
  }
}
