#pragma once
// The intelligence panel (OPS1_SS2), docked under the operations page: the
// other regions by their flags and, for the one picked, the three region
// pages and the schedule; the budget page concerns the whole service. It
// posts nothing.
#include <cstdint>
#include <initializer_list>

#include "ui/screen.h"

class Control;
class ListBoxControl;

inline constexpr const char* kIntelligencePanelTags[] = {
    "REGIONLIST", "INTRES",   "TACTIVE",   "TPENDING", "GRIDDES", "GRIDINT", "GRIDCOV",
    "BACK",       "DESTABBUT", "INTELBUT", "COVERTBUT", "SPENDBUT", "REVIEW"};

// Rebuilds the region list: every region but the viewer's that a person or
// the computer leads, as flag rows; the selection and scroll position stay.
void FillIntelligenceRegions(ListBoxControl* list);
// Deselects every region row and scrolls the list back to its top.
void ClearRegionChoice(ListBoxControl* list);
// A radio button of an operations page (dock level 2) released closes the
// pages opened above it; true when the control was one.
bool ClosedByReleasedRadio(const Control* control);
// Each page takes the region and shows it anew.
void RetargetRegionPages(std::initializer_list<Screen*> pages, intptr_t region);

class IntelligencePanel : public Screen {
 public:
  IntelligencePanel() : Screen("OPS1_SS2", FormLookups{.tags = kIntelligencePanelTags, .ids = {}}) {}
  void BindControls() override;
  // Starts with nothing picked, at the top of the list.
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  // Picking a region shows its buttons and retargets the region pages.
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* list = nullptr;
};
