#include "screens/military/silo/missile_popup.h"

#include <cmath>
#include <cstdio>

#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/military/production/unit_build_popup.h"
#include "screens/common/units/unit_header.h"
#include "screens/common/units/unit_sheets.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "records/command_ids.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/unit_queries.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/list_items.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "world/local_player.h"

namespace {

constexpr int32_t kSheetListId = 0x2000;
// The military class rows the two class sheets show their badge in.
constexpr size_t kSheetClassRow = 16;

constexpr const char* kViewTags[] = {"SUBPARENT2", "SUBPARENT3", "SUBPARENT4", "SUBPARENT5", "PAR3C",
                                     "UNITPIC",    "NEXTBUT",    "PREVBUT",    "CLOSEBUT",   "HIDEBOX1",
                                     "HIDEQTY",    "MISPACK",    "AUTOBUT",    "CONTBUT"};
constexpr int32_t kCarrierIds[] = {490, 491, 492, 493, 494, 495, 496, 497, 498, 499};
constexpr int32_t kSheetIds[] = {kSheetListId};

void RestPicture(Control* form) {
  if (auto* picture = dynamic_cast<BitmapControl*>(Tag(form, "UNITPIC")))
    picture->frame = static_cast<uint8_t>(kUnitPictureRestingFrame);
}

void FillHeader(Control* form, int32_t classIndex, Screen* platformPanel) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (const UnitClassRecord* cls = ClassRecordAt(g_world, classIndex))
    FillUnitHeader(form, nullptr, *cls, platformPanel);
}

}  // namespace

bool MissileDesignResearchable(const World& world, int32_t player, int32_t classIndex) {
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  if (!cls || cls->name[0] == 0 || (cls->flags & kClassFacility)) return false;
  if ((cls->flags & kClassObsolete) && SimUiMode() == kSimUiInGame) return false;
  const bool hasPlayer = player >= 0 && player < kMaxPlayers;
  const float level = hasPlayer ? std::round(world.players[player].techLevel) : 0.0f;
  if (static_cast<float>(cls->level) > level) return false;
  if (hasPlayer) {
    if (!(cls->availability & world.players[player].classMask)) return false;
    if (ClassAvailabilityByte(world, player, classIndex) & (kDesignAvailable | kRowProjectOpen)) return false;
    if (cls->buildThreshold != 0 && static_cast<float>(cls->buildThreshold) < level) return false;
  }
  return ((cls->flags >> 31) & 1u) == 0;  // the class's top bit bars it from research
}

MissileDesignPanel ChooseMissileDesignPanel(const World& world, int32_t player, int32_t classIndex) {
  const bool known = classIndex >= 0 && classIndex < static_cast<int32_t>(world.unitClasses.size());
  const uint8_t bits = known && player >= 0 && player < kMaxPlayers ? ClassAvailabilityByte(world, player, classIndex) : 0;
  if (bits & kDesignAvailable) return MissileDesignPanel::kBuild;
  return MissileDesignResearchable(world, player, classIndex) ? MissileDesignPanel::kResearch
                                                              : MissileDesignPanel::kNone;
}

bool StockUnderConstruction(const UnitRecord& stock) {
  return (stock.ordersShown[kPostureBits] & kPostureUnderConstruction) != 0;
}

StockPanel ChooseStockPanel(const UnitRecord& stock) {
  if (StockUnderConstruction(stock)) return StockPanel::kConstruction;
  // The reserve may keep its stock by the silo that holds it rather than
  // off the map: in reserve it is still stock to deploy, wherever it waits.
  const bool inReserve = (stock.orders[kPostureBits] & kPostureInReserve) != 0;
  if (stock.carrier == 0 && (inReserve || (stock.x == 0 && stock.y == 0))) {
    const bool deployable = inReserve && !(stock.unitFlags & kUnitGone);
    return deployable ? StockPanel::kDeployment : StockPanel::kStatus;
  }
  return StockPanel::kPlatform;
}

// ---- the carrier panel and the class sheet ----

MissileStockPanelA::MissileStockPanelA(const char* formName)
    : Screen(formName, FormLookups{.tags = {}, .ids = kCarrierIds}) {}

void MissileStockPanelA::OnOpen() {
  uint32_t mask = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitClassRecord* cls = ClassRecordAt(g_world, static_cast<int32_t>(id))) mask = cls->loadableMask;
  }
  for (int32_t i = 0; i < 5; ++i) {
    const bool may = ((mask >> i) & 1u) != 0;
    SetHidden(FormFindControlById(currentForm, 490 + i), !may);
    SetHidden(FormFindControlById(currentForm, 495 + i), may);
  }
}

MissileClassPanel::MissileClassPanel(const char* formName)
    : Screen(formName, FormLookups{.tags = {}, .ids = kSheetIds}) {}

int32_t MissileClassPanel::Slot() const { return this == &g_screens.missileClassPanels[1] ? 1 : 0; }

void MissileClassPanel::BindControls() {
  if (ListBoxControl* list = MakeListBox(nullptr, kSheetListId, currentForm, kListIndicators, this))
    list->fills[0] = list->fills[2] = 0xFF5A5A5Au;
}

void MissileClassPanel::Refresh() {
  if (!currentForm) return;
  const size_t slot = static_cast<size_t>(Slot());
  plat::CriticalSectionLock lock(g_simulationLock);
  if (const UnitClassRecord* cls = ClassRecordAt(g_world, static_cast<int32_t>(id)))
    FillUnitClassSheet(currentForm, *cls, &g_screens.militaryClass[kSheetClassRow + slot], &g_screens.missileClass[slot]);
}

// ---- both views ----

MissileViewBase::MissileViewBase() : Screen("POPUP_MISSILE", FormLookups{.tags = kViewTags, .ids = {}}) {}

void MissileViewBase::BindControls() {
  classHost = Tag(currentForm, "SUBPARENT2");
  statsHost = Tag(currentForm, "SUBPARENT3");
  panelHost = Tag(currentForm, "SUBPARENT4");
  progressHost = Tag(currentForm, "SUBPARENT5");
  extraHost = Tag(currentForm, "PAR3C");
  RestPicture(currentForm);
  for (const char* tag : {"NEXTBUT", "PREVBUT"})
    if (Control* c = Tag(currentForm, tag)) c->flags |= kCtlAutoRepeat;
}

int32_t MissileViewBase::Close(int32_t noReturn) {
  const int32_t result = Screen::Close(noReturn);
  RestPicture(currentForm);
  return result;
}

void MissileViewBase::OnCommand(Control* control, int32_t) {
  if (Is(control, "CLOSEBUT")) {
    Close(0);
  } else if (Is(control, "NEXTBUT")) {
    SelectListItem(*this, 1);
  } else if (Is(control, "PREVBUT")) {
    SelectListItem(*this, -1);
  }
}

void MissileViewBase::ShowPanel(Screen* panel, intptr_t object) {
  SetHidden(panelHost, false);
  if (panel == currentPanel) return;  // its own refresh comes with the screen update
  currentPanel = panel;
  panel->Show(object, panelHost);
}

// ---- the design view ----

void MissilePopup::OnOpen() {
  if (parameterList) parameterList->current = id;
  classIndex = static_cast<int32_t>(id);
  g_screens.missileClassPanels[0].Show(classIndex, classHost);
  g_screens.missileClassStats[0].classIndex = classIndex;
  g_screens.missileClassStats[0].Show(0, statsHost);
  g_screens.missileExtraFill.Show(classIndex, extraHost);
  SetHidden(Tag(currentForm, "HIDEBOX1"), true);
  currentPanel = nullptr;
}

void MissilePopup::Refresh() {
  if (!currentForm) return;
  MissileDesignPanel choice = MissileDesignPanel::kNone;
  bool underResearch = false;
  uint32_t project = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const int32_t local = LocalPlayerIndex(g_world);
    choice = ChooseMissileDesignPanel(g_world, local, classIndex);
    underResearch = choice == MissileDesignPanel::kResearch && DesignUnderResearch(g_world, local, classIndex);
    if (underResearch) project = DesignProjectId(g_world, local, classIndex);
  }
  SetHidden(progressHost, !underResearch);
  if (project != 0) g_screens.techProgress->Show(static_cast<intptr_t>(project), progressHost);
  if (choice == MissileDesignPanel::kBuild) {
    ShowPanel(g_screens.missileBuild.get(), classIndex);
  } else if (choice == MissileDesignPanel::kResearch) {
    ShowPanel(&g_screens.unitResearch[1], classIndex);
  } else {
    SetHidden(panelHost, true);
  }
  SetHidden(Tag(currentForm, "HIDEQTY"), true);
  FillHeader(currentForm, classIndex, &g_screens.missileStockPanels[0]);
  UpdateNextPrevButtons(parameterList, currentForm);
}

// ---- the stock view ----

void MissilePopupB::OnOpen() {
  if (parameterList) parameterList->current = id;
  stockId = static_cast<uint32_t>(id);
  int32_t classIndex = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* stock = FindUnitById(g_world, stockId)) classIndex = stock->classIndex;
  }
  g_screens.missileClassPanels[1].Show(classIndex, classHost);
  g_screens.missileClassStats[1].classIndex = classIndex;
  g_screens.missileClassStats[1].Show(0, statsHost);
  g_screens.unitExtraFill.Show(classIndex, extraHost);
  currentPanel = nullptr;
}

void MissilePopupB::Refresh() {
  if (!currentForm) return;
  SetHidden(progressHost, true);
  SetHidden(panelHost, true);
  Control* cover = Tag(currentForm, "HIDEBOX1");
  SetHidden(cover, true);
  int32_t classIndex = 0;
  bool own = false, building = false, autoSet = false, contSet = false;
  StockPanel panel = StockPanel::kStatus;
  float strength = 0.0f;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* stock = FindUnitById(g_world, stockId);
    if (!stock) return;
    classIndex = stock->classIndex;
    strength = stock->strength;
    own = LocalPlayerIndex(g_world) >= 0 && stock->owner == LocalPlayerIndex(g_world);
    building = StockUnderConstruction(*stock);
    panel = ChooseStockPanel(*stock);
    autoSet = (stock->ordersShown[kStateFlags] & kStateDeployRefused) != 0;
    contSet = (stock->ordersShown[kStateFlags] & kStateDeployDue) != 0;
  }
  if (own) {
    if (building) {
      SetHidden(progressHost, false);
      g_screens.unitProgress->Show(stockId, progressHost);
      SetControlFlag(Tag(currentForm, "AUTOBUT"), kStateSelected, autoSet ? 1 : 0);
      SetControlFlag(Tag(currentForm, "CONTBUT"), kStateSelected, contSet ? 1 : 0);
      SetHidden(cover, false);
    }
    Screen* shown = g_screens.missilePlatform.get();
    if (panel == StockPanel::kConstruction) shown = &g_screens.missileCancel;
    if (panel == StockPanel::kDeployment) shown = &g_screens.missileDeploy;
    if (panel == StockPanel::kStatus) shown = g_screens.missileStatus.get();
    ShowPanel(shown, stockId);
  }
  SetHidden(Tag(currentForm, "HIDEQTY"), false);
  if (Control* pack = Tag(currentForm, "MISPACK")) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int32_t>(std::lround(strength)));
    SetControlText(pack, text);
  }
  FillHeader(currentForm, classIndex, &g_screens.missileStockPanels[1]);
  UpdateNextPrevButtons(parameterList, currentForm);
}

int32_t MissilePopupB::Close(int32_t noReturn) {
  const int32_t result = MissileViewBase::Close(noReturn);
  stockId = 0;
  return result;
}

void MissilePopupB::OnCommand(Control* control, int32_t id) {
  if (!Is(control, "AUTOBUT") && !Is(control, "CONTBUT")) {
    MissileViewBase::OnCommand(control, id);
    return;
  }
  // Only the local player's own stock takes orders from here.
  bool own = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* stock = FindUnitById(g_world, stockId);
    own = stock && LocalPlayerIndex(g_world) >= 0 && stock->owner == LocalPlayerIndex(g_world);
  }
  if (!own) return;
  const uint32_t bit = Is(control, "AUTOBUT") ? kStateDeployRefused : kStateDeployDue;
  PostArgs(kCmdUnitSetStateBits,
           OrderBitsArgs{.unit = stockId, .bits = bit, .set = control->Selected() ? 1u : 0u});
}
