#include "screens/military/facilities/military_facility_screen.h"

#include <algorithm>
#include <string>

#include "app/duration_text.h"
#include "platform/fpenv.h"
#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/facilities/facility_list_services.h"
#include "screens/common/list_page.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/facilities/site_figures.h"
#include "screens/common/facilities/facility_status.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/unit_list_fields.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/facilities/facility_build.h"
#include "units/unit_texts.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/record_helpers.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// The page's walk, pass by pass: kind, working, capacity flag, site kind.
constexpr FacilityPass kMilitaryFacilityPasses[] = {
    {4, 1, 1, 0}, {4, 0, 1, 0}, {4, 1, 0, 0}, {7, 1, 0, 0}, {4, 0, 0, 0},
    {7, 0, 0, 0}, {6, 1, 0, 2}, {6, 0, 0, 2}, {6, 1, 1, 3}, {6, 0, 1, 3}};

constexpr uint8_t kDetailsAlpha = 75;
constexpr uint8_t kNoteAlpha = 140;
constexpr uint32_t kNoteOutline = 0xFF007D00;
constexpr uint32_t kOtherKinds = kClassRoad | kClassSettlementPopulation | kClassBuildsWorks | kClassProduction;

void SetCondition(Control* control, float strength) {
  char text[16];
  plat::FormatText(text, sizeof text, "%3.0f %%", static_cast<double>(std::min(strength, 1.0f) * 100.0f));
  SetControlText(control, text);
}

bool Offline(const UnitRecord& f) { return (f.ordersShown[kPostureBits] & kPostureInReserve) != 0; }
bool ForeignHeld(const UnitRecord& f) { return (f.unitFlags & kUnitProvisional) != 0; }

}  // namespace

int32_t FacilityRowStatus(const World& world, uint32_t cellIndex) {
  if (cellIndex < world.cells.size() && HexLevelByte(world, world.cells[cellIndex]) == 0)
    return kFacilityBuildingNoSupply;
  return FacilityStatus(world, cellIndex);
}

namespace {

class MilitaryFacilityScreen : public Screen {
 public:
  MilitaryFacilityScreen() : Screen("MILITARY1_ss2", FormLookups{.tags = kMilitaryFacilityTags, .ids = {}}) {}
  // The list starts unselected at the top; the dock closes back to its
  // depth.
  void OnOpen() override {
    OpenListPage(facilList);
    if (prodParent) g_screens.baseCondition->Show(kKeepScreenId, prodParent);
  }
  void Refresh() override {
    if (!facilList) return;
    const SavedListView view = SaveListView(facilList);
    ListClear(facilList, 1);
    ListHolder found{};
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      CollectFacilityPasses(g_world, CollectFacilityArgs{.resultList = &found, .owner = g_world.gameState.localPlayer},
                            kMilitaryFacilityPasses);
    }
    AddFacilityRows(facilList, found, *g_screens.baseStatusFill);
    ListHolderClear(found);
    RestoreListView(facilList, view);
  }
  void BindControls() override {
    DockInBotbar2(*this);
    facilList = MakeListBox("FACILLIST", 0, currentForm, kListIndicators, this);
    prodParent = Tag(currentForm, "PRODPARENT");
    if (Control* details = Tag(currentForm, "BASEDETAILS")) {
      SetAlpha(details->fills[kLookNormal], kDetailsAlpha);
      SetAlpha(details->fills[kLookSelected], 0);
      SetAlpha(details->fills[kLookFocused], 0);
    }
    for (const char* tag : {"GRIDDEACT", "GRIDPEND"}) {
      Control* c = Tag(currentForm, tag);
      if (!c) continue;
      SetAlpha(c->fills[kLookNormal], kNoteAlpha);
      c->fills[kLookFocused] = c->fills[kLookNormal];
      c->outlines[kLookFocused] = kNoteOutline;
      c->outlineWidths[kLookFocused] = 1;
      c->flags |= kCtlShowFocus;
    }
  }
  // The new-facility control shows the build order panel; the rest are
  // actions on the selected facility.
  void OnCommand(Control* control, int32_t id) override {
    FacilityListCommand(g_screens, currentForm, control, id, facilList, &g_screens.buildOrderPanel, -1);
  }
  void OnActivate(Control* control, int32_t id) override {
    if (control && control == facilList && id != 0) OpenFacilityRowPopup(g_screens, id);
  }
  void OnControlChange(Control* control, int32_t id) override {
    if (control && control == facilList) FacilityListRow(g_screens, currentForm, id, nullptr);
  }

  ListBoxControl* facilList = nullptr;
  Control* prodParent = nullptr;
};

}  // namespace

std::unique_ptr<Screen> MakeMilitaryFacilityScreen() { return std::make_unique<MilitaryFacilityScreen>(); }

namespace {

class BaseConditionPanel : public Screen {
 public:
  BaseConditionPanel() : Screen("Military1_ss2b", FormLookups{.tags = kBaseConditionTags, .ids = {}}) {}
  void BindControls() override {
    auto& page = static_cast<MilitaryFacilityScreen&>(*g_screens.facilityScreen);
    hostLink = &page.prodParent;
  }
  void Refresh() override {
    Control* f = currentForm;
    if (!f) return;
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const HexCell* cell = SelectedHexCell();
    const UnitRecord* facility = GetActiveObject(cell, false);
    const bool ownHex = cell && CellOwner(cell->word) == w.gameState.localPlayer;
    SetCondition(Tag(f, "CONDITION"), facility ? facility->strength : 0.0f);
    SetInt(Tag(f, "QUEUE"), facility && !ForeignHeld(*facility) ? facility->leadValue : 0);
    const bool shown = facility && (ownHex || !ForeignHeld(*facility));
    const UnitClassRecord* cls = ClassRecordAt(w, shown ? facility->classIndex : 0);
    SetInt(Tag(f, "CAPACITY"), cls ? cls->baseSlots : 0);
  }
};

class BaseStatusFill : public Screen {
 public:
  BaseStatusFill() : Screen("Military1_ss2c", FormLookups{.tags = kBaseStatusTags, .ids = {}}) {}
  void OnOpen() override {
    Control* f = currentForm;
    if (!f) return;
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const UnitRecord* unit = FindUnitById(w, static_cast<uint32_t>(id));
    if (unit && !IsUnitLive(*unit)) unit = nullptr;
    const uint32_t cellIndex = UnitCellIndex(w, unit);
    const HexCell* cell = cellIndex != kNoCellIndex ? &w.cells[cellIndex] : nullptr;
    const UnitRecord* facility = GetActiveObject(cell, false);
    const bool ownHex = cell && CellOwner(cell->word) == w.gameState.localPlayer;
    const bool shown = facility && (ownHex || !ForeignHeld(*facility));
    const UnitClassRecord* type = ClassRecordAt(w, shown ? facility->classIndex : 0);
    Control* name = Tag(f, "BASENAME");
    Control* status = Tag(f, "STATUS");
    Control* progress = Tag(f, "STATUS2");
    SetControlText(name, unit ? HexPositionText(w, PackHex(unit->x, unit->y)).c_str() : "");
    if (type) DrawUnitClassIcon(shown ? facility->classIndex : 0, nullptr, type, Tag(f, "INDBMP"), true, -1);
    SetHidden(Tag(f, "OFFLINE"), !(facility && Offline(*facility)));
    const bool building = facility && FacilityUnderConstruction(*facility);
    const uint32_t flags = type ? type->flags : 0;
    const bool queueShown = ownHex && facility && type && !(flags & kOtherKinds) && (flags & kClassSettlement) &&
                            listfields::FacilityTypeByte(*type) == 0 &&
                            (type->loadableMask != 0 || (flags & (kClassAirBase | kClassHaven))) && !building;
    SetHidden(Tag(f, "HIDEPAR"), !queueShown);
    if (queueShown) {
      SetInt(Tag(f, "QUEUE"), ForeignHeld(*facility) ? 0 : facility->leadValue);
      SetInt(Tag(f, "CAPACITY"), type->baseSlots);
    }
    const bool upgrading = facility && (facility->ordersShown[kStateFlags] & kStateModeC);
    if (building) {
      Press(name, true);
      Press(status, true);
      const float rate = SupplyLevelFactor(HexLevelByte(w, *cell), HexSupplierRate(w, *cell));
      SetControlText(progress, FormatDuration(rate > 0.0f ? facility->buildWork / rate : 0.0f).c_str());
      SetHidden(progress, false);
      Press(progress, true);
    } else if (upgrading) {
      Press(name, true);
      Press(status, true);
      SetCondition(progress, facility->strength);
      SetHidden(progress, false);
      Press(progress, true);
      SetHidden(Tag(f, "HIDEPAR"), true);
    } else {
      const bool working = facility && !Offline(*facility);
      Press(name, !working);
      Press(status, !working);
      SetHidden(progress, true);
    }
    const char* word = TextListEntry(g_textLists, kListUgstatus, FacilityRowStatus(w, cellIndex));
    SetControlText(status, word ? word : "");
  }
};

}  // namespace

std::unique_ptr<Screen> MakeBaseConditionPanel() { return std::make_unique<BaseConditionPanel>(); }
std::unique_ptr<Screen> MakeBaseStatusFill() { return std::make_unique<BaseStatusFill>(); }
