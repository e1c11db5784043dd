#include "screens/editor/editor_stock_units.h"

#include <cmath>
#include <cstdlib>

#include "editor/editor_class_lists.h"
#include "platform/fpenv.h"
#include "platform/threads.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/editor/editor_class_list_panels.h"
#include "screens/editor/editor_hex_units.h"
#include "screens/common/units/unit_list_fields.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "world/id_lookups.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/unit_create.h"
#include "world/world.h"

namespace {

// The stock site's facility type byte, and the warhead kind a conventional
// stock class counts as.
constexpr uint8_t kStockSiteType = 2;
constexpr int32_t kConventionalLoad = 8;

// The hex's lead facility is a stock site: a live, confirmed, deployed
// storing settlement that is no other kind of works.
bool HoldsStockSite(World& w, uint32_t hex) {
  const int32_t width = w.mapWidth;
  const int32_t x = PackedHexColumn(hex), y = PackedHexRow(hex);
  if (width <= 0 || x < 0 || y < 0 || x >= width || y >= w.mapHeight) return false;
  const size_t index = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  const HexUnitStack* stack = index < w.cells.size() ? w.cells[index].stack : nullptr;
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || (lead->unitFlags & (kUnitGone | kUnitProvisional)) || lead->classIndex == 0) return false;
  if (lead->orders[kPostureBits] & kPostureInReserve) return false;
  const UnitClassRecord* cls = ClassRecordAt(w, lead->classIndex);
  return cls && !(cls->flags & kClassExcludedKinds) && (cls->flags & kClassSettlement) &&
         listfields::FacilityTypeByte(*cls) == kStockSiteType;
}

}  // namespace

float StockQuantity(const char* text) {
  const float value = text ? plat::ParseFloat(text, nullptr) : 0.0f;
  return std::isfinite(value) && value >= 1.0f ? value : 1.0f;
}

void CollectStockUnits(World& world, ListHolder& units, int32_t player, int32_t category, bool weaponsShown) {
  CollectUnitsArgs a;
  a.resultList = &units;
  a.clearFirst = 1;
  a.category = category;
  a.stock = 1;
  a.viewingPlayer = player;
  a.relationMask = 1;  // its own
  a.subType = kStockClassType;
  a.orderBit1AndSorting = 1;  // complete
  a.orderStatus = 0;          // held
  a.missileLoadKinds = weaponsShown ? -1 : kConventionalLoad;
  CollectUnits(world, a);
}

UnitRecord* AddStockUnit(World& w, int32_t player, int32_t classIndex, const char* quantity, bool onSite,
                         uint32_t hex) {
  if (player < 0 || player >= kMaxPlayers || !ClassRecordAt(w, classIndex)) return nullptr;
  if (onSite && !HoldsStockSite(w, hex)) return nullptr;
  PlayerRecord& record = w.players[player];
  record.commandCounter += 1;
  const uint32_t id = (static_cast<uint32_t>(player) << 24) | (record.commandCounter & 0x00FFFFFFu);
  UnitRecord* unit = CreateUnit(w, record, id, classIndex, StockQuantity(quantity), onSite ? hex : 0, 0, 0);
  if (unit && g_editorUnitClass.readSliders) g_editorUnitClass.readSliders(*unit);
  return unit;
}

namespace {

class EditorStockUnitListPanel : public Screen {
 public:
  EditorStockUnitListPanel() : Screen("MAPEDITORB_SS6e", FormLookups{.tags = kStockUnitListTags, .ids = {}}) {}
  ~EditorStockUnitListPanel() override { ListHolderClear(units); }
  void OnOpen() override {
    if (quantity && !(quantity->state & kStateEditing)) quantity->SetText("1");
  }
  void BindControls() override {
    list = MakeListBox("LIST1", 0, currentForm, kListSingleSelect, this);
    quantity = Tag(currentForm, "MQTY");
  }
  void Refresh() override {
    const bool onePlatform = id != 1;
    const int32_t category = onePlatform && classes ? classes->platformCategory : -1;
    const bool weaponsShown = classes && classes->weaponsShown;
    if (Control* c = Tag(currentForm, "PLATFORMNAM")) {
      const char* name = onePlatform ? TextListEntry(g_textLists, kListMilplatformtype, category) : nullptr;
      c->SetText(name ? name : "");
    }
    if (Control* c = Tag(currentForm, "TYPE")) c->SetText("");
    if (!list) return;
    const int32_t keptId = list->selectedId;
    const int32_t keptScroll = list->scrollOffset;
    ListClear(list, 1);
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      World& w = g_world;
      CollectStockUnits(w, units, w.gameState.localPlayer, category, weaponsShown);
      FillUnitList(w, list, units, false, false, 0);
    }
    list->scrollOffset = keptScroll;
    ListLayoutRows(list);
    if (keptId != 0) ListSetSelection(0, list, keptId, 0);
    SetHidden(Tag(currentForm, "REMOVE"), ListNextSelected(list, nullptr) == nullptr);
    SetHidden(Tag(currentForm, "ADD"), !(classes && classes->list && classes->list->selectedId != 0));
  }
  void OnCommand(Control* control, int32_t) override {
    EndTextEdit();
    if (!control || control == list) return;
    if (ControlTagMatches(control->tag, "ADD")) {
      {
        plat::CriticalSectionLock lock(g_simulationLock);
        World& w = g_world;
        const HexPosition& hex = w.gameState.currentHex;
        AddStockUnit(w, w.gameState.localPlayer, EditorUnitClass(), quantity ? quantity->text.c_str() : "1", id == 1,
                     PackHex(hex.x, hex.y));
      }
      Refresh();
    } else if (ControlTagMatches(control->tag, "REMOVE")) {
      const Control* row = ListNextSelected(list, nullptr);
      if (!row) return;
      {
        plat::CriticalSectionLock lock(g_simulationLock);
        UnitRecord* unit = FindUnitById(g_world, static_cast<uint32_t>(row->id));
        if (unit && IsUnitLive(*unit)) DeleteEditorUnit(g_world, unit);
      }
      Refresh();
    }
  }
  void OnControlChange(Control* control, int32_t row) override {
    if (!control || control != list) return;
    SetHidden(Tag(currentForm, "REMOVE"), row == 0);
    SetHidden(Tag(currentForm, "ADD"), !(classes && classes->list && classes->list->selectedId != 0));
  }
  void OnActivate(Control* control, int32_t row) override {
    if (!control || control != list || row == 0) return;
    ScreenParameterList pages;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      for (ListItem28* item = FirstInHolder(units); item; item = NextInHolder(units, item))
        if (const UnitRecord* unit = RefUnit(g_world, *item)) pages.entries.push_back(unit->id);
    }
    g_screens.missileStockView.Popup(row, &pages);
  }

  ListBoxControl* list = nullptr;  // LIST1
  Control* quantity = nullptr;     // MQTY
  ListHolder units{};
  EditorStockClassListPanel* classes = &g_screens.stockClassListPanel;  // the stock class list beside it
};

}  // namespace

std::unique_ptr<Screen> MakeEditorStockUnitListPanel() { return std::make_unique<EditorStockUnitListPanel>(); }
