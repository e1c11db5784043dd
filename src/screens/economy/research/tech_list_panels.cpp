#include "screens/economy/research/tech_list_panels.h"

#include <cstdio>
#include <string>

#include "app/duration_text.h"
#include "app/number_text.h"
#include "records/player_record.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/economy/research/research_funding_panel.h"
#include "screens/economy/research/tech_category_lists.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/build_item_row.h"
#include "screens/common/units/build_lists.h"
#include "screens/screen_set.h"
#include "sim/availability.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/research_path.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/list_refill.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/data_tables.h"
#include "world/list_items.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr int32_t kResearchMode = 1;
constexpr float kLeastRate = 0.01f;
// The domain buttons and their pictures.
constexpr int32_t kDomainButton = 720;
constexpr int32_t kDomainPicture = 730;
constexpr int32_t kDomainIcons[] = {4054, 4015, 4014};
constexpr uint8_t kDomainButtonAlpha = 75;
constexpr int32_t kWeaponsButtons[] = {201, 202, 203, 204};
// The weapons list kinds: the stock list, and the stock list filtered.
constexpr int32_t kWeaponsList = 1;
constexpr int32_t kWeaponsListFiltered = 3;

bool Checked(Control* form, int32_t id) {
  const Control* c = form ? FormFindControlById(form, id) : nullptr;
  return c && c->Selected();
}

// Sets the control's hover text: a string control's record text, another
// control's own.
void SetHoverText(Control* c, const char* text) {
  if (!c) return;
  if (auto* s = dynamic_cast<StringControl*>(c)) s->recordText = text ? text : "";
  else ControlSetText(c, text && *text ? text : nullptr);
}

// The class index of the list's current row; 0 for none.
int32_t CurrentClass(const ListBoxControl* list) {
  return list ? static_cast<int32_t>(list->selectedValue) : 0;
}

void AddNews(uint32_t type, const MessageParams& params) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t local = LocalPlayerIndex(g_world);
  if (local < 0 || local >= kMaxPlayers) return;
  AddLocalNewsItem(g_world, g_world.players[local], type, 0, params);
}

// The news of a design begun: the class and its type.
MessageParams DesignNews(int32_t cls) {
  uint32_t type = 0;
  plat::CriticalSectionLock lock(g_simulationLock);
  if (cls > 0 && static_cast<size_t>(cls) < g_world.unitClasses.size())
    type = g_world.unitClasses[static_cast<size_t>(cls)].typeByte;
  return {static_cast<uint32_t>(cls), type};
}

void RequestPath(int32_t index, uint32_t kind) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t local = LocalPlayerIndex(g_world);
  if (index <= 0 || local < 0 || local >= kMaxPlayers) return;
  // The walk reads the rows the turn thread writes; its posts take only
  // the command log's lock after this one.
  RequestResearchPath(g_world, local, static_cast<uint32_t>(index), kind);
}

}  // namespace

int32_t CheckedTechCategory(Control* form) {
  for (int32_t i = 0; i < kTechCategoryButtons - 1; ++i)
    if (Checked(form, kFirstTechCategoryButton + i)) return i + 1;
  return kTechCategoryButtons;
}

void NameCategoryButtons(Control* form, bool hover) {
  if (!form) return;
  for (int32_t i = 0; i < kTechCategoryButtons; ++i) {
    Control* button = FormFindControlById(form, kFirstTechCategoryButton + i);
    const char* name = TextListEntry(g_textLists, kListTechcategory, i + 1);
    if (hover) SetHoverText(button, name);
    else if (button) ControlSetText(button, name && *name ? name : nullptr);
  }
}

void SelectWithId(Control* form, int32_t id) {
  if (!form) return;
  Control* c = form->id == id ? form : FormFindControlById(form, id);
  SetControlFlag(c, kStateSelected, 1);
}

void FillTechList(ListBoxControl* list, int32_t category, bool beginnable) {
  if (!list) return;
  const ListPlace place = ClearKeepingPlace(list);
  std::vector<std::string> names;
  std::vector<int> techs;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    techs = beginnable ? WalkTechTable(w, LocalPlayerIndex(g_world), category, true, 0, 0, false)
                       : WalkTechTable(w, LocalPlayerIndex(g_world), category, false, -1, -1, false);
    for (int t : techs) names.emplace_back(w.techs[static_cast<size_t>(t)].name.c_str());
  }
  for (size_t i = 0; i < techs.size(); ++i) ListAddTextItem(list, names[i].c_str(), 0, techs[i], 0, 0, 0);
  RestoreSelectedValue(list, place);
}

ResearchTimeText ResearchTime(float cost, float rate) {
  ResearchTimeText t;
  t.unknown = !(rate >= kLeastRate) || !(rate > 0.0f);
  const std::string text = t.unknown ? std::string("UNKNOWN") : FormatDuration(cost / rate);
  std::snprintf(t.text, sizeof t.text, "%s", text.c_str());
  return t;
}

void BeginDesignResearch(int32_t cls, Screen& page, bool weapons) {
  RequestPath(cls, kProjectDesign);
  page.Refresh();
  if (weapons) g_screens.dockLevel3.Refresh();
  RefreshShownResearchViews();
  if (!weapons) g_screens.dockLevel3.Refresh();
  AddNews(kMsgDesignResearchBegun, DesignNews(cls));
}

void BeginSelectedResearch(ListBoxControl* list, int32_t kind) {
  if (!list) return;
  std::vector<int32_t> items;
  for (Control* row = ListNextSelected(list, nullptr); row; row = ListNextSelected(list, row))
    items.push_back(static_cast<int32_t>(ListRowValue(row)));
  for (int32_t item : items) {
    if (kind == kProjectDesign) {
      RequestPath(item, kProjectDesign);
      AddNews(kMsgDesignResearchBegun, DesignNews(item));
    } else {
      RequestPath(item, kProjectTechnology);
      AddNews(kMsgTechResearchBegun, {static_cast<uint32_t>(item)});
    }
  }
}

// The design list.

void TechListPanel::BindControls() {
  DockInSecondBotbar2(*this);
  list = MakeListBox("LIST5", 0, currentForm, kListIndicators, this);
  statParent = Tag(*this, "STATPARENT");
  for (const char* tag : {"LANDBUT", "AIRBUT", "SEABUT"}) {
    if (Control* b = Tag(*this, tag)) {
      SetAlpha(b->fills[0], kDomainButtonAlpha);
      SetAlpha(b->fills[1], 0);
      SetAlpha(b->fills[2], 0);
    }
  }
}

void TechListPanel::OnOpen() {
  state.selected = nullptr;
  state.strength = 1.0f;
  state.quantity = 1;
  state.category = Checked(currentForm, kDomainButton + 2) ? 2 : Checked(currentForm, kDomainButton + 1) ? 1 : 0;
  for (int32_t i = 0; i < 3; ++i)
    if (Control* picture = Id(*this, kDomainPicture + i))
      DrawUnitClassIcon(kDomainIcons[i], nullptr, nullptr, picture, true, -1);
  ScreenSlotSelectMapMode(g_screens);
}

void TechListPanel::Refresh() { FillBuildList(currentForm, state, kResearchMode, 0); }

void TechListPanel::OnCommand(Control* control, int32_t controlId) {
  if (!control) return;
  if (Is(control, "RBEGIN")) {
    if (const int32_t cls = CurrentClass(list)) BeginDesignResearch(cls, *this, false);
  } else if (Is(control, "INSPECT")) {
    if (const int32_t cls = CurrentClass(list)) g_screens.unitBuild.Popup(cls, &BuildListClasses());
  } else if (controlId >= kDomainButton && controlId <= kDomainButton + 2) {
    state.category = controlId - kDomainButton;
    state.selected = nullptr;
    Refresh();
  } else {
    OnBuildListCommand(currentForm, state, SelectedHexCell(), control, controlId, &g_screens.researchFunding, nullptr);
  }
}

void TechListPanel::OnControlChange(Control* control, int32_t value) {
  BuildListChange how;
  how.noBuild = true;
  how.detailsParent = statParent;
  OnBuildListChange(control, currentForm, state, value, how);
}

// The technology list.

void TechDetailPanel::BindControls() {
  DockInSecondBotbar2(*this);
  list = MakeListBox("LIST1", 0, currentForm, kListIndicators, this);
}

void TechDetailPanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void ShowTechCategory(Control* form, ListBoxControl* list, bool detail) {
  NameCategoryButtons(form, !detail);
  FillTechList(list, CheckedTechCategory(form), detail);
}

bool PressTechCategory(Screen& list, Control* otherForm, int32_t controlId) {
  if (controlId < kFirstTechCategoryButton || controlId >= kFirstTechCategoryButton + kTechCategoryButtons) return false;
  SelectWithId(otherForm, controlId);
  list.Refresh();
  return true;
}

void TechDetailPanel::Refresh() { ShowTechCategory(currentForm, list, true); }

void TechDetailPanel::OnCommand(Control* control, int32_t controlId) {
  if (PressTechCategory(*this, g_screens.militaryListPicker->currentForm, controlId)) return;
  if (Is(control, "ADD")) {
    BeginSelectedResearch(list, kProjectTechnology);
    Refresh();
    g_screens.dockLevel3.Refresh();
    RefreshShownResearchViews();
  }
}

void TechDetailPanel::OnControlChange(Control* control, int32_t) {
  if (!control || control != list) return;
  const int32_t tech = static_cast<int32_t>(list->selectedValue);
  SetHidden(Tag(*this, "ADD"), tech == 0);
  SetHidden(Tag(*this, "HIDEBOXA"), tech == 0);
  SetHidden(Tag(*this, "GRIDBAN"), true);
  if (tech == 0) return;
  float price = 0.0f, cost = 0.0f, rate = 0.0f;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    if (static_cast<size_t>(tech) < w.techs.size()) {
      price = w.techs[static_cast<size_t>(tech)].price;
      cost = w.techs[static_cast<size_t>(tech)].researchCost;
    }
    if (const PlayerRecord* r = LocalPlayer(g_world)) rate = ResearchRate(*r);
  }
  SetMoneyShort(Tag(*this, "PRICEBUILD"), price);
  Control* time = Tag(*this, "RESTIME");
  const ResearchTimeText t = ResearchTime(cost, rate);
  SetControlText(time, t.text);
  SetControlFlag(time, kStateSelected, t.unknown ? 1 : 0);
}

// The weapons list.

namespace {

class WmdTechListPanel : public Screen {
 public:
  WmdTechListPanel() : Screen("MILITARY1_ss3c", FormLookups{.tags = kWmdTechListTags, .ids = kWmdTechListIds}) {}
  void BindControls() override {
    DockInSecondBotbar2(*this);
    list = MakeListBox("LIST5", 0, currentForm, kListIndicators, this);
    statParent = Tag(*this, "STATPARENT");
    state.quantity = 1;
    state.strength = 1.0f;
  }
  void OnOpen() override {
    state.selected = nullptr;
    OpenBuildList(currentForm, state, static_cast<int32_t>(id) + 1, nullptr);
    ScreenSlotSelectMapMode(g_screens);
  }
  void Refresh() override {
    Press(Tag(*this, "WMDFILTER"), g_buildListFilters.weaponsFilter);
    state.category = 0;
    for (int32_t i = 0; i < 4; ++i) {
      if (!Checked(currentForm, kWeaponsButtons[i])) continue;
      state.category = i + 1;
      break;
    }
    FillBuildList(currentForm, state, kResearchMode, ListKind());
  }
  void OnCommand(Control* control, int32_t controlId) override {
    if (!control) return;
    if (Is(control, "RBEGIN")) {
      if (const int32_t cls = CurrentClass(list)) BeginDesignResearch(cls, *this, true);
    } else if (Is(control, "INSPECT")) {
      if (const int32_t cls = CurrentClass(list)) g_screens.missileDesignView.Popup(cls, &BuildListClasses());
    } else {
      OnBuildListCommand(currentForm, state, SelectedHexCell(), control, controlId, &g_screens.researchFunding, nullptr);
    }
  }
  void OnActivate(Control* control, int32_t) override {
    if (!control || control != list) return;
    if (const int32_t cls = CurrentClass(list)) g_screens.missileDesignView.Popup(cls, &BuildListClasses());
  }
  void OnControlChange(Control* control, int32_t value) override {
    BuildListChange how;
    how.noBuild = true;
    how.listMode = static_cast<int32_t>(id) + 1;
    how.detailsParent = statParent;
    OnBuildListChange(control, currentForm, state, value, how);
  }

  BuildListState state;  // category: the weapons class
  ListBoxControl* list = nullptr;
  Control* statParent = nullptr;

 private:
  int32_t ListKind() const {
    return g_buildListFilters.weaponsFilter ? kWeaponsListFiltered : kWeaponsList;
  }
};

}  // namespace

std::unique_ptr<Screen> MakeWmdTechListPanel() { return std::make_unique<WmdTechListPanel>(); }
