#include "screens/main/popups/hex_list_popups.h"

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <string>

#include "app/app_object.h"
#include "app/game_math.h"
#include "platform/messages.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/facilities/build_classes.h"
#include "screens/common/shown_facility.h"
#include "screens/main/map_input/hex_links.h"
#include "screens/common/frame/map_popups.h"
#include "screens/common/frame/map_selection.h"
#include "screens/main/map/map_view.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/order_choice.h"
#include "screens/main/map_input/selection.h"
#include "screens/main/popups/hex_column_figures.h"
#include "screens/common/units/unit_list_fields.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "records/command_ids.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/order_list.h"
#include "ui/panel_helpers.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "ui/text_fit.h"
#include "world/hex_stack_chains.h"
#include "world/unit_class.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/player_names.h"
#include "world/record_helpers.h"
#include "world/text/text_lists.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

HexListMemory g_hexListMemory;
HexListMemory g_hexListLastOpened;
HexMenuLinks g_hexMenuLinks;

namespace {

using namespace listfields;

constexpr uint32_t kListColourA = 0xFF4B4B00u;
constexpr uint32_t kListColourB = 0xFF5A5A5Au;
constexpr uint32_t kPopupBackground = 0xAF000000u;
constexpr int32_t kNarrowWidth = 120;
// Room beside a row's text for its indicator and a pixel either side.
constexpr int32_t kRowTextMargin = 8;
constexpr int32_t kRowLimit = 10;
constexpr uint32_t kGreyRow = 0xFFC8C8C8u;
constexpr uint32_t kPopupBesideOthers = 0x80;
// Rows of the hex menu.
constexpr int32_t kTitleRow = 99;
constexpr int32_t kBuildClassBase = 1000;
constexpr int32_t kUnitRowMinimum = 0x10000;

void SetWidth(Control* c, int32_t w) { c->rect.right = c->rect.left + w; }

Control* AddRow(ListBoxControl* list, const std::string& text, int32_t id, bool grey) {
  Control* row = ListAddTextItem(list, text.c_str(), id, id, 0, 0, 0);
  if (row && grey) {
    static_cast<ListTextRow*>(row)->textColour = kGreyRow;
    row->state |= kStateDisabled;
  }
  return row;
}

const char* Text(TextListId list, int index) {
  const char* t = TextListText(list, index);
  return t ? t : "";
}

HexCell* CellAt(World& world, uint32_t packed) {
  const int32_t x = PackedHexColumn(packed), y = PackedHexRow(packed);
  if (x < 0 || y < 0 || x >= world.mapWidth || y >= world.mapHeight) return nullptr;
  const size_t index = static_cast<size_t>(y) * static_cast<size_t>(world.mapWidth) + static_cast<size_t>(x);
  return index < world.cells.size() ? &world.cells[index] : nullptr;
}

// The clicked hex: the last right click's, else the selected hex.
uint32_t ClickedHex() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (g_selection.clickedHex) return g_selection.clickedHex;
  const HexPosition& h = g_world.gameState.currentHex;
  return PackHex(h.x, h.y);
}

bool StatusBitClear(const UnitRecord& u) { return !(u.ordersShown[kPostureBits] & 1u); }

// The short status of a facility (an entry of ugstatshort).
int32_t ShortStatus(const UnitRecord& f, bool unsupplied) {
  const OrderBlock& o = f.ordersShown;
  const uint32_t w12 = o[kStateFlags];
  const bool w15b1 = (o[kPostureBits] & 2u) != 0;
  if (unsupplied) return 6;
  if (StatusBitClear(f)) return 0;
  if (w12 & (1u << 29)) return 3;
  if ((w12 & (1u << 30)) && (w12 & (1u << 31)) && w15b1) return 5;
  if ((w12 & (1u << 31)) && w15b1) return 2;
  return 1;
}

bool MilitaryWithStore(const UnitClassRecord& cls) {
  return (cls.flags & kClassSettlement) &&
         (cls.carryCapacity > 0.0f || cls.loadableMask != 0 || cls.facilityType != 0);
}

bool AnyBuildClassOpen(World& world, uint32_t classFlag) {
  for (int32_t c = kBuildClassFirst; c < kBuildClassEnd; ++c)
    if (BuildClassOpen(world, c, classFlag)) return true;
  return false;
}

bool AnyTransportClass(World& world) {
  for (int32_t c : kTransportClasses)
    if (ClassRecordAt(world, c)) return true;
  return false;
}

void FillBuildClasses(World& world, ListBoxControl* list, uint32_t classFlag) {
  for (int32_t c = kBuildClassFirst; c < kBuildClassEnd; ++c) {
    if (!BuildClassOpen(world, c, classFlag)) continue;
    const UnitClassRecord* cls = ClassRecordAt(world, c);
    AddRow(list, std::string(cls->name, strnlen(cls->name, sizeof cls->name)), kBuildClassBase + c, false);
  }
}

// The build menu's rows, each only while its own list would hold a class:
// an empty sub-menu would open as a bare box.
void FillBuildMenu(World& world, ListBoxControl* list) {
  const bool open[] = {AnyBuildClassOpen(world, kClassProduction), AnyBuildClassOpen(world, kClassSettlement),
                       AnyTransportClass(world)};
  for (int i = 0; i < 3; ++i)
    if (open[i]) AddRow(list, Text(kListHexmaprtpop, 18 + i), 11 + i, false);
}

std::string LabelOf(const HexCell& cell) {
  const HexExtra* extra = cell.stack ? cell.stack->extra : nullptr;
  if (!extra || !extra->text) return {};
  return std::string(extra->text).substr(0, 47);
}

// The text's first "%d" replaced by the figure's text (the text is data,
// never a format).
std::string WithFigure(std::string text, const std::string& figure) {
  const size_t at = text.find("%d");
  if (at != std::string::npos) text.replace(at, 2, figure);
  return text;
}

void FillMainContext(World& world, ListBoxControl* list, uint32_t hex) {
  HexCell* cell = CellAt(world, hex);
  if (!cell) return;
  const int owner = CellOwner(cell->word);
  AddRow(list, std::string("(") + LookupLocalizedName(world, world.players[owner]) + ")", kTitleRow, true);
  if (owner != world.gameState.localPlayer) return;
  if (UnitRecord* f = ShownFacility(world, *cell)) {
    const UnitClassRecord* cls = UnitClassOf(world, *f);
    if (cls && (cls->flags & kClassSettlementPopulation)) {
      AddRow(list, LabelOf(*cell), 1, true);
      // The people the side column gives the hex, in its words.
      AddRow(list, WithFigure(Text(kListHexmaprtpop, 0), HexPeopleText(world, *cell)), 2, true);
    } else if (cls) {
      AddRow(list, std::string(cls->name, strnlen(cls->name, sizeof cls->name)), 20, false);
      char text[64];
      std::snprintf(text, sizeof text, "(%s %3.0f%%)", Text(kListUgstatshort, ShortStatus(*f, false)),
                    static_cast<double>(f->strength * 100.0f));
      AddRow(list, text, 2, true);
    }
  }
  if (AnyBuildClassOpen(world, kClassProduction) || AnyBuildClassOpen(world, kClassSettlement) ||
      AnyTransportClass(world))
    AddRow(list, Text(kListHexmaprtpop, 1), 10, false);
}

void FillFacilityContext(World& world, ListBoxControl* list, uint32_t hex) {
  HexCell* cell = CellAt(world, hex);
  UnitRecord* f = cell ? ShownFacility(world, *cell) : nullptr;
  const UnitClassRecord* cls = f ? UnitClassOf(world, *f) : nullptr;
  if (!cls) return;
  const bool industry = (cls->flags & kClassProduction) != 0;
  if (industry || MilitaryWithStore(*cls)) AddRow(list, Text(kListHexmaprtpop, 21), 30, false);
  const int32_t s = ShortStatus(*f, false);
  // Units being made ready on the hex hold the facility's own rows back.
  bool preparing = false;
  for (UnitRecord* head : cell->stack->chainB)
    for (const UnitRecord* u = ChainLink(head); u && !preparing; u = ChainLink(u->nextInChainB))
      preparing = !(u->unitFlags & (kUnitGone | kUnitProvisional | kUnitFacility)) && u->classIndex != 0 &&
                  (u->ordersShown[kPostureBits] & 1u) && !(u->ordersShown[kPostureBits] & 2u);
  if (preparing) {
    AddRow(list, Text(kListHexmaprtug, 3), 4, true);
  } else if (s == 0) {
    if (!(cls->flags & kClassRoad) && !((cls->flags & kClassSettlement) && cls->carryCapacity <= 0.0f))
      AddRow(list, Text(kListHexmaprtug, 0), 25, false);
    AddRow(list, Text(kListHexmaprtug, 2), 22, false);
  } else if (s != 3) {
    AddRow(list, Text(kListHexmaprtug, 2), 22, false);
  }
  if (s == 2 || s == 6) {
    AddRow(list, Text(kListHexmaprtug, 4), 22, false);
    AddRow(list, Text(kListHexmaprtug, 5), 26, false);
  } else if (s == 3) {
    AddRow(list, Text(kListHexmaprtug, 6), 21, false);
  } else if (s == 5) {
    AddRow(list, Text(kListHexmaprtug, 7), 27, false);
  }
  if (industry) {
    if (s > 0 && f->strength > 0.0f) AddRow(list, Text(kListHexmaprtug, 8), 24, false);
    if (s < 2) AddRow(list, Text(kListHexmaprtug, 9), 21, false);
  } else if (MilitaryWithStore(*cls) && s == 1) {
    AddRow(list, Text(kListHexmaprtug, 8), 24, false);
  }
}

void PlaceInViewport(Control* form, int32_t& x, int32_t& y) {
  const MapView& view = g_mapView;
  if (x + Width(form) > view.viewRight) x = view.viewRight - Width(form);
  if (y + Height(form) > view.viewBottom) y = view.viewBottom - Height(form);
  x = std::max(x, 0);
  y = std::max(y, 0);
}

void OpenAt(HexListPopupBase& popup, int32_t x, int32_t y) {
  Control* form = popup.currentForm ? popup.currentForm : popup.form;
  if (!form) return;
  PlaceInViewport(form, x, y);
  const plat::Rect whole{0, 0, g_platform.clientRect.right, g_platform.clientRect.bottom};
  OpenPopup(g_ui, form, kPopupBesideOthers, x, y, 1, whole);
  g_hexListMemory = HexListMemory{form, x, y};
  g_hexListLastOpened = g_hexListMemory;
}

void ClosePopupOf(HexListPopupBase& popup) {
  if (popup.currentForm) ClosePopupForm(g_ui, popup.currentForm, 1, 0);
  g_hexListMemory = HexListMemory{};
}

}  // namespace

void HexListPopupBase::BindControls() {
  Control* root = currentForm ? currentForm : form;
  if (!root) return;
  root->fills[0] = kPopupBackground;
  list = MakeListBox("LIST", 0, root, kListIndicators, this);
  if (!list) return;
  for (int i = 0; i < 3; ++i) list->fills[i] = kListColourA;
  if (list->prototype)
    for (int i = 0; i < 3; ++i) list->prototype->fills[i] = kListColourB;
  laidOutHeight = Height(list);
  if (narrow_) {
    SetWidth(list, kNarrowWidth);
    SetWidth(root, kNarrowWidth);
  }
}

void HexListPopupBase::OnCommand(Control* control, int32_t id) {
  if (!control || control != list) return;
  chosenId = list->selectedId != 0 ? list->selectedId : id;
  Close(0);
}

void HexListPopupBase::OnSetFocus(Control* control, int32_t) {
  if (!list || control != list) return;
  const int32_t rowId = list->selectedId;
  if (static_cast<uint32_t>(rowId) < kUnitRowMinimum) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  UnitRecord* unit = FindUnitById(w, static_cast<uint32_t>(rowId));
  if (!unit || !IsUnitLive(*unit) || !unit->nextInChainB || (unit->x == 0 && unit->y == 0)) return;
  if (HexCell* cell = CellAt(w, PackHex(unit->x, unit->y))) HexStackMoveToFront(w, *cell, *unit);
}

void FitHexListToRows(Control* form, ListBoxControl* list, int32_t rowLimit, int32_t laidOutHeight) {
  if (!form || !list) return;
  const int32_t rows = static_cast<int32_t>(list->rowCount);
  // The rows' own heights: a text row is taller than the list's step, and
  // a list cut short hides rows behind its scroll arrow.
  int32_t rowsHeight = 0;
  for (Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row)) rowsHeight += Height(row);
  const int32_t height = rows >= 1 && rows < rowLimit ? rowsHeight : laidOutHeight;
  list->rect.bottom = list->rect.top + height;
  // A row wider than the menu (a city of a million's people) widens the
  // menu, up to three times its own width, instead of losing its figure.
  int32_t widest = Width(list);
  for (Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row))
    if (const auto* text = dynamic_cast<const StringControl*>(row); text && !text->text.empty())
      widest = std::max(widest, TextWidth(text->Font(), text->text) + 2 * text->textInset + kRowTextMargin);
  list->rect.right = list->rect.left + std::min(widest, 3 * kNarrowWidth);
  ListLayoutRows(list);
  form->rect.bottom = form->rect.top + list->rect.bottom;
  form->rect.right = form->rect.left + std::max(Width(form), list->rect.right);
  // Opened near the map's right edge, a widened menu moves left to stay on it.
  if (const int32_t over = form->rect.right - g_mapView.viewRight; over > 0 && form->rect.left - over >= 0) {
    form->rect.left -= over;
    form->rect.right -= over;
  }
}

// The order menu.
void HexListPopupA::OnOpen() {
  chosenId = 0;
  if (!list) return;
  ListClear(list, 1);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const std::vector<UnitRecord*> units = SelectedUnits(g_world, g_screens);
    const std::vector<const UnitRecord*> selected(units.begin(), units.end());
    FillOrderList(g_world, list, selected, 0, ClickedHex());
  }
  FitHexListToRows(currentForm, list, kRowLimit, laidOutHeight);
}

int32_t HexListPopupA::Close(int32_t) {
  ClosePopupOf(*this);
  ExecuteOrderChoice(g_screens, chosenId);
  return 0;
}

// The hex menu.
void HexProductList::OnOpen() {
  chosenId = 0;
  if (!list) return;
  ListClear(list, 1);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    const uint32_t hex = ClickedHex();
    switch (context) {
      case 0: FillMainContext(w, list, hex); break;
      case 10: FillBuildMenu(w, list); break;
      case 11: FillBuildClasses(w, list, kClassProduction); break;
      case 12: FillBuildClasses(w, list, kClassSettlement); break;
      case 13:
        for (int32_t c : kTransportClasses)
          if (const UnitClassRecord* cls = ClassRecordAt(w, c))
            AddRow(list, std::string(cls->name, strnlen(cls->name, sizeof cls->name)), kBuildClassBase + c, false);
        break;
      case 20: FillFacilityContext(w, list, hex); break;
      default: break;
    }
  }
  context = 0;
  FitHexListToRows(currentForm, list, kRowLimit, laidOutHeight);
}

int32_t HexProductList::Close(int32_t) {
  const HexListMemory at = g_hexListMemory;
  ClosePopupOf(*this);
  const int32_t id = chosenId;
  chosenId = 0;
  if (id == 10 || id == 11 || id == 12 || id == 13 || id == 20) {
    ShowHexListPopupFor(*this, id, at.x, at.y);
    return 0;
  }
  HexMenuAction(g_screens, id, ClickedHex());
  return 0;
}

void HexMenuAction(ScreenSet& screens, int32_t id, uint32_t hex) {
  auto apply = [&] {
    if (g_hexMenuLinks.applyToUnitsAtHex) g_hexMenuLinks.applyToUnitsAtHex(screens, hex);
  };
  if (id > kBuildClassBase) {
    BeginMapPlacement(id - kBuildClassBase);
    return;
  }
  switch (id) {
    case 21: PostArgs(kCmdSetFacilityOutput, HexOutputArgs{.hex = hex, .level = 1.0f}); break;
    case 22: apply(); PostArgs(kCmdHexStack291, HexValueArgs{.hex = hex, .value = 0}); break;
    case 23: apply(); PostArgs(kCmdHexStack291, HexValueArgs{.hex = hex, .value = 1}); break;
    case 24: {
      float setting = 0.0f;
      bool industry = false;
      {
        plat::CriticalSectionLock lock(g_simulationLock);
        HexCell* cell = CellAt(g_world, hex);
        UnitRecord* f = cell && cell->stack ? cell->stack->lead : nullptr;
        const UnitClassRecord* cls = f ? UnitClassOf(g_world, *f) : nullptr;
        industry = cls && (cls->flags & kClassProduction);
        // The ordered size is the facility's production setting.
        if (f) setting = f->targetStrength;
      }
      if (industry)
        PostArgs(kCmdHexStack292, HexArgs{.hex = hex});
      else
        PostArgs(kCmdSetFacilityOutput, HexOutputArgs{.hex = hex, .level = setting});
      break;
    }
    case 25: apply(); PostArgs(kCmdHexStack293, HexValueArgs{.hex = hex, .value = 1}); break;
    case 26: PostArgs(kCmdHexStack297, HexValueArgs{.hex = hex, .value = 1}); break;
    case 27: PostArgs(kCmdHexStack297, HexValueArgs{.hex = hex, .value = 0}); break;
    case 28: PostArgs(kCmdHexStack296, HexArgs{.hex = hex}); break;
    case 29: PostArgs(kCmdHexStack295, HexArgs{.hex = hex}); break;
    case 30: OpenObjectPopup(screens, SelectedHexCell(), 0); break;
    default: break;
  }
}

// The stack list.
void HexListPopupB::OnOpen() {
  chosenId = 0;
  allUnitsRow = nullptr;
  allMode = 1;
  if (!list) return;
  ListClear(list, 1);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    FillUnitList(g_world, list, HoverStackList(), false, false, 0);
  }
  const bool several = list->rowCount > 1;
  if (several) allUnitsRow = AddRow(list, Text(kListLocalwords, 3), 1, false);
  SetControlFlag(list, kListSingleSelect, several ? 0 : 1);
  FitHexListToRows(currentForm, list, kRowLimit, laidOutHeight);
}

void HexListPopupB::OnCommand(Control* control, int32_t id) {
  if (!control || control != list) return;
  chosenId = list->selectedId != 0 ? list->selectedId : id;
  if (allUnitsRow && chosenId != 1 && (g_ui.keyState & plat::kMkControl)) {
    ControlSetText(allUnitsRow, Text(kListLocalwords, 4));
    allMode = 0;
    return;
  }
  Close(0);
}

void HexListPopupB::OnHostNotify(int32_t code, int32_t) {
  if (code != 1 || allMode) return;
  chosenId = 1;
  Close(0);
}

int32_t HexListPopupB::Close(int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  ClosePopupOf(*this);
  World& w = g_world;
  ScreenSet& s = g_screens;
  bool show = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ClearUnitSelectFlags(w);
    if (chosenId != 0 && list) {
      g_selection.fromList = 0;
      ListHolderClear(s.SelectionList());
      if (chosenId == 1) {
        for (Control* row = list->firstRow; row; row = ListNextRow(list, row)) {
          if (!allMode && !(row->state & kStateSelected)) continue;
          const auto value = static_cast<uint32_t>(static_cast<ListTextRow*>(row)->value);
          if (value < kUnitRowMinimum) continue;
          if (UnitRecord* u = FindUnitById(w, value); u && IsUnitLive(*u)) AddUnitRef(s.SelectionList(), *u);
        }
        g_selection.fromList = 1;
      } else if (UnitRecord* u = FindUnitById(w, static_cast<uint32_t>(chosenId)); u && IsUnitLive(*u)) {
        AddUnitRef(s.SelectionList(), *u);
      }
      if (s.SelectionList().first) {
        MarkStackUnits(w, s.SelectionList());
        show = true;
      }
    }
  }
  chosenId = 0;
  if (show) ShowSelectionOrders(s);
  return 0;
}

// The target picker.
void HexTargetList::OnOpen() {
  chosenId = 0;
  if (!list) return;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    PickTarget(g_world, TargetList(), list, orderId);
  }
  FitHexListToRows(currentForm, list, kRowLimit, laidOutHeight);
}

int32_t HexTargetList::Close(int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  ClosePopupOf(*this);
  const int32_t id = chosenId;
  chosenId = 0;
  if (id != 0) {
    const HexPosition& h = g_world.gameState.currentHex;
    UnitRecord* target = nullptr;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      if (id != -1) {
        target = FindUnitById(g_world, static_cast<uint32_t>(id));
        if (target && !IsUnitLive(*target)) target = nullptr;
      }
    }
    if (id == -1 || target) IssueOrderToSelection(g_screens, orderId, PackHex(h.x, h.y), target, false, 0);
  }
  CloseMapPopups(g_screens);
  return 0;
}

HexListPopupA& OrderMenu() { return g_screens.hexListA; }
HexProductList& HexMenu() { return g_screens.hexMenu; }
HexListPopupB& StackList() { return g_screens.stackList; }
HexTargetList& TargetPicker() { return g_screens.targetPicker; }

void OpenHexListA(ScreenSet& screens, int32_t x, int32_t y) {
  if (ClickedHex() == 0) return;
  ShowHexListPopupAt(screens.hexListA, x, y);
  g_mapRoute.shown = 0;
}

void OpenHexProductList(ScreenSet& screens, int32_t x, int32_t y) {
  if (ClickedHex() == 0) return;
  ShowHexListPopupFor(screens.hexMenu, 0, x, y);
}

void ShowHexListPopupAt(HexListPopupBase& popup, int32_t x, int32_t y) {
  OpenAt(popup, x, y);
  popup.OnOpen();
  popup.Refresh();
}

void ShowHexListPopupFor(HexProductList& popup, int32_t context, int32_t x, int32_t y) {
  OpenAt(popup, x, y);
  popup.context = context;
  popup.OnOpen();
  popup.Refresh();
}

void OpenTargetPicker(int32_t orderId, int32_t x, int32_t y) {
  HexTargetList& picker = TargetPicker();
  picker.orderId = orderId;
  ShowHexListPopupAt(picker, x + 4, y - 4);
}
