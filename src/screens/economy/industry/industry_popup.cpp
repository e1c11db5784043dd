#include "screens/economy/industry/industry_popup.h"

#include <algorithm>

#include "platform/fpenv.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/docked_panels.h"
#include "screens/common/region_row.h"
#include "screens/common/facilities/facility_list_services.h"
#include "screens/economy/industry/product_facility_list.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/common/product_period.h"
#include "screens/common/facilities/build_classes.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/facilities/facility_actions.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/screen_set.h"
#include "sim/daily/product_fields.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/class_fields.h"
#include "world/id_lookups.h"
#include "world/record_helpers.h"
#include "world/text/policy_fields.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

// kFirstFacilityClass (4000) comes with the screen set's facility palette.
constexpr int32_t kLastFacilityClass = 4127;
constexpr int32_t kBuildTextId = 100;
constexpr int32_t kBuildPictureId = 200;
constexpr int32_t kBuildThirdId = 300;
constexpr int32_t kProductNameId = 4;
constexpr uint32_t kShortageFlag = 1u << 0;
constexpr uint8_t kTranslucent = 75;

void SetAmount(Control* control, float value) {
  SetControlNumberText(0, 0, "", 0, "", 0, static_cast<double>(value), control);
}

void SetPercentText(Control* control, float fraction) {
  char text[16];
  plat::FormatText(text, sizeof text, "%3.0f %%", static_cast<double>(fraction * 100.0f));
  SetControlText(control, text);
}

// The facility of the list's selected row, by id; null for a summary row
// or a unit gone.
const UnitRecord* SelectedFacility(const ListBoxControl* list) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!list || !IsFacilityRow(list->selectedId)) return nullptr;
  const UnitRecord* u = FindUnitById(g_world, static_cast<uint32_t>(list->selectedId));
  return u && IsUnitLive(*u) ? u : nullptr;
}

bool BuildableFor(World& w, int32_t c, int32_t product) {
  if (!BuildClassOpen(w, c, kClassProduction)) return false;
  float weights[kProductCount];
  return classfields::ProductValues(w.unitClasses[static_cast<size_t>(c)], weights) && weights[product] > 0.0f;
}

}  // namespace

int32_t IndustryPopup::Product() const { return std::clamp<int32_t>(static_cast<int32_t>(id), 0, kProductCount - 1); }

void IndustryPopup::BindControls() {
  facilList = MakeListBox("FACILLIST", 0, form, kListIndicators, this);
  rawList = MakeListBox("RAWLIST", 0, form, kListIndicators, this);
  useList = MakeListBox("USELIST", 0, form, kListIndicators, this);
  indPic = Tag(form, "INDPIC");
  indPicFill = indPic ? indPic->fills[kLookNormal] : 0;
}

void IndustryPopup::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Control* f = currentForm;
  if (!f) return;
  const int32_t product = Product();
  const char* name = TextListEntry(g_textLists, kListProducts, product);
  SetControlText(Id(f, kProductNameId), name ? name : "");
  FillRegionRow(Tag(f, "FLAG"), nullptr, g_world.gameState.localPlayer);
  DrawUnitClassIcon(product, nullptr, nullptr, indPic, false, -1);
  ResetListView(facilList);
  int32_t rows = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    World& w = g_world;
    for (int32_t c = kFirstFacilityClass; c <= kLastFacilityClass && rows < kBuildNewRows; ++c) {
      if (!BuildableFor(w, c, product)) continue;
      const UnitClassRecord& cls = w.unitClasses[static_cast<size_t>(c)];
      char text[64];
      plat::FormatText(text, sizeof text, "%s %.*s", "Build New", static_cast<int>(sizeof cls.name), cls.name);
      Control* label = Id(f, kBuildTextId + rows);
      SetControlText(label, text);
      if (label) {
        SetAlpha(label->fills[0], kTranslucent);
        SetAlpha(label->fills[1], 0);
        SetAlpha(label->fills[2], 0);
      }
      Control* picture = Id(f, kBuildPictureId + rows);
      DrawUnitClassIcon(c, nullptr, &cls, picture, true, 0);
      if (picture) picture->userWord = static_cast<uint32_t>(c - kFirstFacilityClass);
      for (int32_t base : {kBuildTextId, kBuildPictureId, kBuildThirdId}) SetHidden(Id(f, base + rows), false);
      ++rows;
    }
  }
  for (int32_t k = rows; k < kBuildNewRows; ++k)
    for (int32_t base : {kBuildTextId, kBuildPictureId, kBuildThirdId}) SetHidden(Id(f, base + k), true);
  SetHidden(Tag(f, "HIDEBOX1"), false);
  SetHidden(Tag(f, "HIDEBOX2"), true);
}

void IndustryPopup::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Control* f = currentForm;
  if (!f) return;
  const int32_t product = Product();
  SetControlFlag(Tag(f, "ANNDAYBUT"), kStateSelected, AmountsPerDay() ? 1 : 0);
  const float divisor = ProductPeriodDivisor();
  bool isShort = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const int32_t local = w.gameState.localPlayer;
    if (local < 0 || local >= kMaxPlayers) return;
    const PlayerRecord& r = w.players[local];
    SetPercentText(Tag(f, "EFF"), product::Get(r, product, product::kProductivity));
    SetAmount(Tag(f, "SUPPLY"), product::Get(r, product, product::kProduction) / divisor);
    SetAmount(Tag(f, "DEMAND"), product::Get(r, product, product::kDemand) / divisor);
    SetAmount(Tag(f, "CAPACITY"), product::Get(r, product, product::kOutput) / divisor);
    SetAmount(Tag(f, "STOCK"), product::Get(r, product, product::kStock));
    const uint32_t flags = le::Load32(r.products[product].bytes + product::kFlags2);
    SetHidden(Tag(f, "SHORTAGE1"), !(flags & kShortageFlag));
    isShort = UpdateProductionSliders(w, f, product);
    const ProductPolicy& policy = r.displayPolicy.productPolicy[product];
    SetPercentText(Tag(f, "LIMIT"), ProductReal(policy, kProductProductionCap));
    SetControlFlag(Tag(f, "NWHAT"), kStateSelected, !(ProductWord(policy, kProductFlags) & kProductCapByCapacity));
    SetControlNumberText(1, 2, "", 1, "", 0, static_cast<double>(product::Get(r, product, product::kUnitCost)),
                         Tag(f, "CCOST"));
    const char* measure = TextListEntry(g_textLists, kListProdunits, product);
    SetControlText(Tag(f, "UMEASURE"), measure ? measure : "");
  }
  // The picture's fill is its tint only while the product is short; the
  // next product stepped to gets the form's own fill back, which the frame
  // draws behind the picture. A frame draws only what changed, so a change
  // of tint asks for a redraw.
  if (indPic) {
    const bool tinted = (indPic->flags & kCtlTintFrame) != 0;
    if (isShort) {
      indPic->fills[kLookNormal] = kShortTint;
      indPic->flags |= kCtlTintFrame;
    } else {
      indPic->fills[kLookNormal] = indPicFill;
      indPic->flags &= ~kCtlTintFrame;
    }
    if (tinted != isShort) indPic->Invalidate();
  }
  const SavedListView view = SaveListView(facilList);
  int32_t working = 0, total = 0;
  BuildProductFacilityList(g_world, facilList, product, g_screens.industryTypeFill, &working, &total, true);
  RestoreListView(facilList, view);
  char count[32];
  plat::FormatText(count, sizeof count, "%d / %d", working, total);
  SetControlText(Tag(f, "FACIL"), count);
  if (facilList && facilList->selectedId == 0) {
    int32_t here = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      if (const UnitRecord* lead = GetActiveObject(SelectedHexCell(), false)) here = static_cast<int32_t>(lead->id);
    }
    if (IsFacilityRow(here)) ListSetSelection(0, facilList, here, 0);
  }
  if (!facilList || facilList->selectedId == 0) {
    SetHidden(Tag(f, "HIDEBOX1"), true);
    SetHidden(Tag(f, "HIDEBOX2"), true);
  }
  DescribeProductUse(g_world, rawList, product);
  DescribeProductConsumers(g_world, useList, product);
}

void IndustryPopup::ShowConfirm(Control* button) {
  Control* f = currentForm;
  SetHidden(Tag(f, "HIDEBOX1"), true);
  SetHidden(Tag(f, "HIDEBOX2"), false);
  SetControlText(Tag(f, "ACTION"), button && !button->text.empty() ? button->text.c_str() : "");
  pendingAction = button ? button->id : 0;
}

void IndustryPopup::PostPendingAction() {
  uint32_t hex = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = SelectedFacility(facilList);
    if (!u) return;
    hex = PackHex(u->x, u->y);
  }
  switch (pendingAction) {
    case kIndustryDeactivate: PostArgs(kCmdHexStack293, HexValueArgs{.hex = hex, .value = 1}); break;
    case kIndustryActivate: PostArgs(kCmdHexStack292, HexArgs{.hex = hex}); break;
    case kIndustryScrap:
    case kIndustryCancelConstruction: PostArgs(kCmdHexStack291, HexValueArgs{.hex = hex, .value = 0}); break;
    case kIndustryDestroy: PostArgs(kCmdHexStack291, HexValueArgs{.hex = hex, .value = 1}); break;
    case kIndustryUpgrade: PostArgs(kCmdSetFacilityOutput, HexOutputArgs{.hex = hex, .level = 1.0f}); break;
    default: break;
  }
}

void IndustryPopup::Reopen(int32_t product) {
  id = product;
  OnOpen();
  Refresh();
}

void IndustryPopup::OnCommand(Control* control, int32_t item) {
  if (!control) return;
  Control* f = currentForm;
  const int32_t product = Product();
  if (Is(control, "NEXTBUT")) {
    Reopen(product >= kProductCount - 1 ? 0 : product + 1);
  } else if (Is(control, "PREVBUT")) {
    Reopen(product <= 0 ? kProductCount - 1 : product - 1);
  } else if (Is(control, "CLOSE")) {
    Close();
  } else if (Is(control, "ANNDAYBUT")) {
    SetProductPeriod(control->Selected());
    Refresh();
  } else if (Is(control, "SCRAP") || Is(control, "DESTROY") || Is(control, "UPGBUT") || Is(control, "CANCON")) {
    ShowConfirm(control);
  } else if (Is(control, "CANBUT")) {
    SetHidden(Tag(f, "HIDEBOX1"), false);
    SetHidden(Tag(f, "HIDEBOX2"), true);
  } else if (Is(control, "CONFBUT")) {
    PostPendingAction();
    SetHidden(Tag(f, "HIDEBOX1"), false);
    SetHidden(Tag(f, "HIDEBOX2"), true);
    Refresh();
  } else if (control->id >= kBuildTextId && control->id < kBuildTextId + kBuildNewRows) {
    const Control* picture = Id(f, control->id + (kBuildPictureId - kBuildTextId));
    if (!picture) return;
    const auto type = static_cast<int32_t>(kFirstFacilityClass + picture->userWord);
    // The pop-up stands over the map the player is about to click.
    CloseAllPopups(g_ui, 0);
    PopPopupsTo(g_ui, 0);
    BeginMapPlacement(type);
  } else if (control == facilList) {
    SetHidden(Tag(f, "HIDEBOX1"), item == 0);
    SetHidden(Tag(f, "HIDEBOX2"), true);
  } else if (control != rawList && control != useList) {
    uint32_t cell = kNoCellIndex;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      cell = UnitCellIndex(g_world, SelectedFacility(facilList));
    }
    if (cell == kNoCellIndex) return;
    OnFacilityActionCommand(f, control, item, cell, nullptr, nullptr, nullptr, nullptr);
    Refresh();
  }
}

void IndustryPopup::OnActivate(Control* control, int32_t item) {
  if (!control) return;
  if (control == facilList && IsFacilityRow(item)) {
    uint32_t hex = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const UnitRecord* u = FindUnitById(g_world, static_cast<uint32_t>(item));
      if (!u || !IsUnitLive(*u)) return;
      hex = PackHex(u->x, u->y);
    }
    GotoHexPacked(hex);
    CentreMapOnHex(g_mapView, hex);
    CloseAllPopups(g_ui, 0);
  } else if ((control == rawList || control == useList) && item >= 1 && item <= kProductCount) {
    // Rows carry the product + 1: nothing past the last product reopens.
    Reopen(item - 1);
  }
}

void IndustryPopup::OnControlChange(Control* control, int32_t item) {
  if (!control || control != facilList) return;
  uint32_t cell = kNoCellIndex;
  if (IsFacilityRow(item)) {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = FindUnitById(g_world, static_cast<uint32_t>(item));
    cell = u && IsUnitLive(*u) ? UnitCellIndex(g_world, u) : kNoCellIndex;
  }
  UpdateFacilityActionButtons(currentForm, cell);
}
