#include "screens/economy/cabinet/cabinet_priorities_panel.h"

#include <algorithm>
#include <string>
#include <vector>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/docked_panels.h"
#include "screens/economy/cabinet/cabinet_candidate.h"
#include "screens/economy/cabinet/cabinet_screen.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_selection.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/policy_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/list_control.h"
#include "ui/list_refill.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "ui/text_box.h"
#include "world/local_player.h"
#include "world/text/rule_tables.h"
#include "world/text/people_bio.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr uint32_t kTextCapacity = 1024;
constexpr int32_t kTacticsDepartment = 0;

const DeptPriorityEntry* Entry(int32_t department, int32_t entry) {
  if (department < 0 || department >= kDepartmentCount || entry < kFirstPriorityEntry || entry > kLastPriorityEntry)
    return nullptr;
  return &g_ruleTables.deptPriorities.entries[department][entry];
}

uint32_t Recommended(int32_t department) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* r = LocalPlayer(g_world);
  return r && department >= 0 && department < kDepartmentCount ? r->recommendedPriorities[department] : 0;
}

int32_t Department(const Screen& s) { return static_cast<int32_t>(s.id); }

// One row per entry the filter lets through, recommended ones green; the
// selection and scroll position kept.
template <class Keep>
void FillPriorityRows(ListBoxControl* list, int32_t department, Keep keep) {
  if (!list) return;
  const ListPlace place = ClearKeepingPlace(list);
  const uint32_t chosen = DepartmentPriorities(department);
  const uint32_t recommended = Recommended(department);
  for (int32_t e = kFirstPriorityEntry; e <= kLastPriorityEntry; ++e) {
    const DeptPriorityEntry* entry = Entry(department, e);
    if (!entry || !*entry->text1.c_str() || !keep(*entry, chosen, recommended)) continue;
    // The entry is the row's id too: a click hands its id to the panel.
    Control* row = ListAddTextItem(list, entry->text1.c_str(), e, e, 0, 0, 0);
    if (auto* text = dynamic_cast<StringControl*>(row); text && (entry->itemMask & recommended) != 0)
      text->textColour = kRecommendedColour;
  }
  RestoreSelectedValue(list, place);
}

void ResetList(ListBoxControl* list) {
  if (!list) return;
  ListDeselectAll(list);
  ListResetScroll(list);
}

int32_t SelectedEntry(const ListBoxControl* list) { return list ? static_cast<int32_t>(list->selectedValue) : 0; }

void SetBar(Control* control, float maximum, float value, uint16_t exponent = 0) {
  auto* bar = dynamic_cast<SlideBarControl*>(control);
  if (!bar) return;
  bar->exponent = exponent;
  SliderSetMaxFloat(bar, maximum);
  SliderSetValueFloatNotify(bar, value);
}

}  // namespace

uint32_t PriorityEntryMask(int32_t department, int32_t entry) {
  const DeptPriorityEntry* e = Entry(department, entry);
  return e ? e->itemMask : 0;
}

void FillCabinetPriorityList(ListBoxControl* list, int32_t department) {
  FillPriorityRows(list, department,
                   [](const DeptPriorityEntry& e, uint32_t chosen, uint32_t) { return (e.itemMask & chosen) != 0; });
}

void PostCabinetPriorities(int32_t department, uint32_t mask) {
  PostArgs(kCmdCabSetPriorities, IndexedSettingArgs{.index = static_cast<uint32_t>(department),
                                                    .value = static_cast<uint32_t>(mask)});
  RefreshDepartmentCabinet(department);
  RefreshDockedPanels(g_screens);
}

// The priorities panel.

void CabinetPrioritiesPanel::BindControls() {
  DockInBotbar2(*this);
  priorities = MakeListBox("PRIORITIES", 0, currentForm, kListIndicators, this);
  list3 = MakeListBox("LIST3", 0, currentForm, kListIndicators, this);
}

void CabinetPrioritiesPanel::OnOpen() {
  SetHidden(Tag(*this, "CANCELBUT"), true);
  ResetList(list3);
  ScreenSlotResetMapMode(g_screens);
}

void CabinetPrioritiesPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  ShowCandidatePortrait(SeatedMinister(Department(*this)), Tag(*this, "CABPIC"), nullptr);
  FillCabinetPriorityList(priorities, Department(*this));
  // A row removed takes its selection, and Remove, with it.
  SetHidden(Tag(*this, "CANCELBUT"), SelectedEntry(priorities) == 0);
}

void CabinetPrioritiesPanel::RemoveSelected() {
  const int32_t d = Department(*this);
  const uint32_t mask = PriorityEntryMask(d, SelectedEntry(priorities));
  if (mask == 0) return;
  PostCabinetPriorities(d, DepartmentPriorities(d) & ~mask);
}

void CabinetPrioritiesPanel::OnCommand(Control* control, int32_t) {
  if (!control) return;
  if (ReleasedGroupButton(control)) {
    PopPopupsTo(g_ui, 2);
    return;
  }
  const intptr_t d = id;
  if (Is(control, "CABPIC")) {
    g_screens.ministerActions->Show(d, nullptr);
  } else if (Is(control, "CANCELBUT")) {
    RemoveSelected();
  } else if (Is(control, "PRIORBUT")) {
    g_screens.priorityPicker.Show(d, nullptr);
  } else if (control == priorities && SelectedEntry(priorities) != 0) {
    g_screens.priorityPicker.Show(d, nullptr);
    g_screens.priorityPicker.DrawPriorityRow();
  }
}

void CabinetPrioritiesPanel::OnActivate(Control* control, int32_t) {
  if (control && control == priorities && SelectedEntry(priorities) != 0) RemoveSelected();
}

void CabinetPrioritiesPanel::OnControlChange(Control* control, int32_t) {
  if (control && control == priorities) SetHidden(Tag(*this, "CANCELBUT"), SelectedEntry(priorities) == 0);
}

// The picker.

void PriorityPickerPanel::BindControls() {
  DockInSecondBotbar2(*this);
  list2 = MakeListBox("LIST2", 0, currentForm, kListIndicators, this);
  detailA = MakeTextBox("LIST4", 0, currentForm);
  detailB = MakeTextBox("LIST5", 0, currentForm);
}

void PriorityPickerPanel::OnOpen() {
  ResetList(list2);
  if (detailA) TextBoxSetText(detailA, "", kTextCapacity, 1);
  if (detailB) TextBoxSetText(detailB, "", kTextCapacity, 1);
  ScreenSlotSelectMapMode(g_screens);
}

void PriorityPickerPanel::Refresh() {
  const bool recommendedOnly = PressedBit(*this, "RECBUT") != 0;
  plat::CriticalSectionLock lock(g_simulationLock);
  FillPriorityRows(list2, Department(*this),
                   [recommendedOnly](const DeptPriorityEntry& e, uint32_t chosen, uint32_t recommended) {
                     return e.itemMask != 0 && (e.itemMask & chosen) == 0 &&
                            (!recommendedOnly || (e.itemMask & recommended) != 0);
                   });
  // A row added leaves the list, and Add goes with it.
  SetHidden(Tag(*this, "ADDBUT"), SelectedEntry(list2) == 0);
}

void PriorityPickerPanel::AddSelected() {
  const int32_t d = Department(*this);
  const uint32_t mask = PriorityEntryMask(d, SelectedEntry(list2));
  if (mask == 0) return;
  PostCabinetPriorities(d, DepartmentPriorities(d) | mask);
}

void PriorityPickerPanel::DrawPriorityRow() {
  SetHidden(Tag(*this, "HIDEBOX2"), false);
  int32_t entry = SelectedEntry(list2);
  if (entry == 0) entry = SelectedEntry(g_screens.cabinetPriorities.priorities);
  const DeptPriorityEntry* e = Entry(Department(*this), entry);
  const bool named = e && *e->text1.c_str() != '\0';
  ControlSetText(Tag(*this, "PRIORITY"), named ? e->text1.c_str() : "");
  if (detailA) TextBoxSetText(detailA, named ? e->text2.c_str() : "", kTextCapacity, 1);
  if (detailB) TextBoxSetText(detailB, named ? e->text3.c_str() : "", kTextCapacity, 1);
}

void PriorityPickerPanel::OnCommand(Control* control, int32_t value) {
  if (!control) return;
  if (Is(control, "RECBUT")) {
    Refresh();
  } else if (Is(control, "ADDBUT")) {
    AddSelected();
  } else if (value != 0) {
    CabinetPrioritiesPanel& chosen = g_screens.cabinetPriorities;
    ResetList(chosen.priorities);
    chosen.OnControlChange(chosen.priorities, 0);
    if (detailA) TextBoxSetText(detailA, nullptr, kTextCapacity, 1);
    if (detailB) TextBoxSetText(detailB, nullptr, kTextCapacity, 1);
    DrawPriorityRow();
  }
}

void PriorityPickerPanel::OnActivate(Control* control, int32_t) {
  if (control && control == list2 && SelectedEntry(list2) != 0) AddSelected();
}

void PriorityPickerPanel::OnControlChange(Control* control, int32_t) {
  if (!control || control != list2) return;
  const bool picked = SelectedEntry(list2) != 0;
  SetHidden(Tag(*this, "HIDEBOX2"), !picked && SelectedEntry(g_screens.cabinetPriorities.priorities) == 0);
  SetHidden(Tag(*this, "ADDBUT"), !picked);
}

// The minister.

namespace {

class MinisterActionsPanel : public Screen {
 public:
  MinisterActionsPanel() : Screen("CABINET1_SS1b", FormLookups{.tags = kMinisterActionTags, .ids = {}}) {}
  void BindControls() override {
    DockInSecondBotbar2(*this);
    bio = MakeTextBox("BIO", 0, currentForm);
  }
  void OnOpen() override {
    if (bio) TextBoxSetText(bio, "", kTextCapacity, 1);
    ScreenSlotSelectMapMode(g_screens);
  }
  void Refresh() override {
    const int32_t d = Department(*this);
    std::string bioText;
    CabinetCandidate c;
    int32_t age = 0;
    float approval = 0.0f;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      minister = SeatedMinister(d);
      c = ReadCandidate(g_world, minister);
      age = CandidateAge(g_world, c);
      if (const PlayerRecord* r = LocalPlayer(g_world); r && d >= 0 && d < kDepartmentCount) approval = r->cabinetApproval[d];
      if (minister >= kFirstCandidate && minister <= kLastCandidate) bioText = g_peopleBio.slots[minister].c_str();
    }
    ControlSetText(Tag(*this, "NAME"), c.name);
    ShowCandidatePortrait(minister, Tag(*this, "CABPIC"), nullptr);
    EnterFormatted(Tag(*this, "AGE"), "%d", age);
    ControlSetText(Tag(*this, "POLITIC"), TextListEntry(g_textLists, kListPolitic, PoliticIndex(c.leaning)));
    SetBar(Tag(*this, "JARATE"), 1.0f, approval);
    SetBar(Tag(*this, "EXPRATE"), 200.0f, static_cast<float>(std::min<int32_t>(c.experience, 200)), 2);
    SetBar(Tag(*this, "IQRATE"), 100.0f, static_cast<float>(std::min<int32_t>(c.generalIq, 100)));
    const bool tactics = d == kTacticsDepartment;
    SetBar(Tag(*this, "TACTRATE"), 100.0f, static_cast<float>(std::min<int32_t>(c.tactics, 100)));
    SetBar(Tag(*this, "LEADRATE"), 100.0f, static_cast<float>(std::min<int32_t>(c.leadership, 100)));
    SetBar(Tag(*this, "POPRATE"), 100.0f, static_cast<float>(std::min<int32_t>(c.popularity, 100)));
    SetHidden(Tag(*this, "TACTRATE"), !tactics);
    SetHidden(Tag(*this, "LEADRATE"), !tactics);
    SetHidden(Tag(*this, "POPRATE"), tactics);
    if (bio) TextBoxSetText(bio, bioText.c_str(), kTextCapacity, 1);
    const struct {
      const char* tag;
      uint8_t value;
    } ratings[] = {{"INITIATIVE", c.initiative}, {"INTEGRITY", c.integrity},   {"COMPETENCE", c.competence},
                   {"CHARISMA", c.charisma},     {"ECIQ", c.economicIq},       {"MILIQ", c.militaryIq},
                   {"DIPIQ", c.diplomaticIq},    {"PRODIQ", c.productionIq},   {"DOMIQ", c.domesticIq}};
    for (const auto& r : ratings) SetBar(Tag(*this, r.tag), 100.0f, static_cast<float>(r.value));
  }
  void OnCommand(Control* control, int32_t) override {
    if (!control) return;
    if (Is(control, "REPBUT") || Is(control, "ARRBUT")) {
      OpenCabinetPager(Department(*this));
    } else if (Is(control, "CABPIC")) {
      OpenCandidateSheet(Department(*this), minister, true);
    }
  }

  int32_t minister = 0;  // the candidate shown
  TextBoxControl* bio = nullptr;
};

}  // namespace

std::unique_ptr<Screen> MakeMinisterActionsPanel() { return std::make_unique<MinisterActionsPanel>(); }
