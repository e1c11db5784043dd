#pragma once
// A cabinet department's priorities: the panel that lists and removes them
// (CABINET1_SS1, opened by the department screens with their department as
// id), the picker that adds them (CABINET1_SS1a) and the minister's ratings
// with the way to a replacement (CABINET1_SS1b). Changes post the
// department's whole new priority mask.
#include <cstdint>
#include <memory>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kCabinetPriorityTags[] = {"CANCELBUT", "LIST3", "CABPIC", "PRIORITIES", "PRIORBUT"};
inline constexpr const char* kPriorityPickerTags[] = {"LIST2",  "LIST4",    "LIST5",  "RECBUT",
                                                      "ADDBUT", "HIDEBOX2", "PRIORITY"};
inline constexpr const char* kMinisterActionTags[] = {
    "BIO",        "NAME",     "CABPIC",     "AGE",      "POLITIC",  "JARATE",  "EXPRATE", "IQRATE",
    "TACTRATE",   "LEADRATE", "POPRATE",    "REPBUT",   "ARRBUT",   "INITIATIVE", "INTEGRITY",
    "COMPETENCE", "CHARISMA", "ECIQ",       "MILIQ",    "DIPIQ",    "PRODIQ",  "DOMIQ"};

inline constexpr uint32_t kRecommendedColour = 0xFF00FF00;
inline constexpr int32_t kFirstPriorityEntry = 1;
inline constexpr int32_t kLastPriorityEntry = 31;

// The department's chosen priorities (entries whose mask shares a bit with
// the seat's priorities and that have a name) into the list, recommended
// ones green; selection and scroll kept.
void FillCabinetPriorityList(ListBoxControl* list, int32_t department);
// The mask of the department's priority entry; 0 outside the table.
uint32_t PriorityEntryMask(int32_t department, int32_t entry);
// Posts the department's new priority mask, then refreshes its cabinet and
// the docked panels.
void PostCabinetPriorities(int32_t department, uint32_t mask);

class CabinetPrioritiesPanel : public Screen {
 public:
  CabinetPrioritiesPanel() : Screen("CABINET1_SS1", FormLookups{.tags = kCabinetPriorityTags, .ids = {}}) {}
  // Docks in the bottom bar, beside the department that opened it.
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t value) override;
  void OnActivate(Control* control, int32_t row) override;
  void OnControlChange(Control* control, int32_t row) override;
  // Removes the selected priority.
  void RemoveSelected();

  ListBoxControl* priorities = nullptr;
  ListBoxControl* list3 = nullptr;
};

class PriorityPickerPanel : public Screen {
 public:
  PriorityPickerPanel() : Screen("CABINET1_SS1a", FormLookups{.tags = kPriorityPickerTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t value) override;
  void OnActivate(Control* control, int32_t row) override;
  void OnControlChange(Control* control, int32_t row) override;
  // Adds the priority selected in LIST2.
  void AddSelected();
  // The texts of the priority selected here, or else in the priorities
  // panel.
  void DrawPriorityRow();

  ListBoxControl* list2 = nullptr;
  TextBoxControl* detailA = nullptr;  // LIST4
  TextBoxControl* detailB = nullptr;  // LIST5
};

std::unique_ptr<Screen> MakeMinisterActionsPanel();
