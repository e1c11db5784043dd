#include "screens/editor/editor_hex_units.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "editor/editor_map_input.h"
#include "platform/fpenv.h"
#include "platform/threads.h"
#include "records/unit_record.h"
#include "screens/common/region_row.h"
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
#include "ui/slide_bar.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/unit_ring.h"
#include "world/world.h"

namespace {

constexpr int32_t kEntrenchmentMax = 100;

UnitRecord* Live(uint32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  UnitRecord* unit = id != 0 ? FindUnitById(g_world, id) : nullptr;
  return unit && IsUnitLive(*unit) ? unit : nullptr;
}

void DropFrom(ListHolder& list, const UnitRecord& unit) {
  for (ListItem28* item = FirstInHolder(list); item;) {
    ListItem28* next = NextInHolder(list, item);
    if (item->object == &unit || item->callerWord == static_cast<intptr_t>(unit.id)) ListHolderRemove(list, item);
    item = next;
  }
}

// The units of the list's rows, read before any goes.
std::vector<uint32_t> RowUnits(const ListBoxControl* list, bool selectedOnly) {
  std::vector<uint32_t> ids;
  for (Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row))
    if (!selectedOnly || row->Selected()) ids.push_back(static_cast<uint32_t>(row->id));
  return ids;
}

}  // namespace

void DeleteEditorUnit(World& world, UnitRecord* unit) {
  if (!unit) return;
  if (g_editorLinks.forgetUnit) g_editorLinks.forgetUnit(*unit);
  DropFrom(HexStackList(), *unit);
  if (g_screens.unitDetail.unit == unit->id) g_screens.unitDetail.Close();
  RemoveUnitFromMap(world, *unit);
  delete unit;
}

namespace {

class EditorHexUnitListPanel : public Screen {
 public:
  EditorHexUnitListPanel() : Screen("MAPEDITORB_SS6b", FormLookups{.tags = kHexUnitListTags, .ids = {}}) {}
  void BindControls() override { list = MakeListBox("LIST1", 0, currentForm, kListSingleSelect, this); }
  void Refresh() override {
    if (!list) return;
    const int32_t keptId = list->selectedId;
    const int32_t keptScroll = list->scrollOffset;
    ListClear(list, 1);
    ListHolder& shared = HexStackList();
    ListHolderClear(shared);
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      World& w = g_world;
      ListHolder& selection = g_screens.SelectionList();
      if (id == kHexUnitsFromSelection && FirstInHolder(selection)) {
        FillUnitList(w, list, selection, false, false, 0);
      } else {
        const HexPosition& hex = w.gameState.currentHex;
        // (0, 0) is no hex: the map's "nothing selected".
        if (hex.x != 0 || hex.y != 0) {
          CollectHexStackUnits(w, PackHex(hex.x, hex.y), w.gameState.localPlayer, 15);
          FillUnitList(w, list, shared, false, false, 0);
        }
      }
    }
    list->scrollOffset = keptScroll;
    ListLayoutRows(list);
    if (keptId != 0) ListSetSelection(0, list, keptId, 0);
    if (!ListNextSelected(list, nullptr) && list->firstRow) ListSelectItem(0, list, list->firstRow, 0);
    const Control* selected = ListNextSelected(list, nullptr);
    if (!selected) ShowStackUnitDetails(0);
    SetHidden(Tag(currentForm, "CLEARBUT"), selected == nullptr);
  }
  void OnCommand(Control* control, int32_t) override {
    if (!control || control == list) return;
    const bool one = ControlTagMatches(control->tag, "CLEARBUT");
    if (!one && !ControlTagMatches(control->tag, "CLEARSTACK")) return;
    const std::vector<uint32_t> ids = RowUnits(list, one);
    if (ids.empty()) return;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      for (uint32_t unitId : ids) DeleteEditorUnit(g_world, Live(unitId));
    }
    Refresh();
  }
  void OnControlChange(Control* control, int32_t row) override {
    if (!control || control != list) return;
    ShowStackUnitDetails(row != 0 ? static_cast<uint32_t>(row) : 0);
    SetHidden(Tag(currentForm, "CLEARBUT"), row == 0);
  }
  void OnActivate(Control* control, int32_t row) override {
    if (!control || control != list || row == 0) return;
    ScreenParameterList pages;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      ListHolder& units = id == kHexUnitsFromSelection && FirstInHolder(g_screens.SelectionList())
                              ? g_screens.SelectionList()
                              : HexStackList();
      for (ListItem28* item = FirstInHolder(units); item; item = NextInHolder(units, item))
        if (const UnitRecord* unit = RefUnit(g_world, *item)) pages.entries.push_back(unit->id);
    }
    g_screens.unitDetail.Popup(row, &pages);
  }
  // Fills the summary controls from the unit (none: empty texts).
  void ShowStackUnitDetails(uint32_t unitId) {
    Control* f = currentForm;
    if (!f) return;
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const UnitRecord* unit = Live(unitId);
    const UnitClassRecord* cls = unit ? ClassRecordAt(w, unit->classIndex) : nullptr;
    if (!cls) {
      for (const char* tag : {"NAME", "CLASS", "EFFICIENCY"})
        if (Control* c = Tag(f, tag)) c->SetText("");
      return;
    }
    if (Control* c = Tag(f, "NAME")) c->SetText(std::string(cls->name, strnlen(cls->name, sizeof cls->name)).c_str());
    if (Control* c = Tag(f, "CLASS")) {
      const char* type = TextListEntry(g_textLists, kListMilclass, cls->typeByte);
      c->SetText(type ? type : "");
    }
    if (Control* c = Tag(f, "EFFICIENCY")) {
      char text[32];
      plat::FormatText(text, sizeof text, "%3.0f %%", static_cast<double>(unit->efficiency * 100.0f));
      c->SetText(text);
    }
    if (auto* bar = dynamic_cast<SlideBarControl*>(Tag(f, "STRSLDR"))) {
      // The ordered size, or the present strength when it is above it.
      SliderSetMaxFloat(bar, std::max({unit->targetStrength, unit->strength, 1.0f}));
      SliderSetValueFloatNotify(bar, unit->strength);
    }
    if (auto* bar = dynamic_cast<SlideBarControl*>(Tag(f, "ENTSLDR"))) {
      SliderSetMaxInt(bar, kEntrenchmentMax);
      SliderSetValueInt(bar, unit->entrenchment);
    }
    FillRegionRow(Tag(f, "FLAG"), "", unit->owner);
    f->Invalidate();
  }

  ListBoxControl* list = nullptr;  // LIST1
};

}  // namespace

std::unique_ptr<Screen> MakeEditorHexUnitListPanel() { return std::make_unique<EditorHexUnitListPanel>(); }
