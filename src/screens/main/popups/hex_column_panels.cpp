#include "screens/main/popups/hex_column_panels.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/fpenv.h"
#include "platform/threads.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/common/facilities/site_figures.h"
#include "screens/common/facilities/facility_status.h"
#include "screens/common/units/class_icon.h"
#include "screens/main/panels/hex_info_panel.h"
#include "screens/main/popups/hex_column_figures.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/screen_set.h"
#include "sim/daily/product_fields.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "world/local_player.h"
#include "units/facilities/facility_build.h"
#include "world/hex_extra.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr size_t kLabelNameMax = 47;
// The industry panel's children that describe an own industry (1 to 6): an
// upgradable industry shows the first, a research centre the third, any
// other the second and the fourth to sixth with the class's picture in the
// fourth.
constexpr int32_t kUpgradableRow = 1;
constexpr int32_t kResearchRow = 3;
constexpr int32_t kOtherRows[] = {2, 4, 5, 6};
constexpr int32_t kIconRow = 4;
constexpr int32_t kFaintRow = 2;
constexpr uint8_t kResearchCentreKind = 1;
constexpr uint32_t kFaintAlpha = 75;
// The owner's output factors per product start here in its effect table.
constexpr int kProductEffectEntry = 72;

std::string ClassName(const UnitClassRecord* cls) {
  return cls ? std::string(cls->name, strnlen(cls->name, sizeof cls->name)) : std::string();
}

std::string LabelName(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  if (!stack || !stack->extra || !stack->extra->text) return {};
  return std::string(stack->extra->text, strnlen(stack->extra->text, kLabelNameMax));
}

// The share of building and output the hex's supply and loyalty carry.
float HexWorkFactor(const World& world, const HexCell& cell) {
  return SupplyLevelFactor(HexLevelByte(world, cell), HexWorkLoyalty(world, cell));
}

// A column panel draws its hex's cell under the simulation lock; without a
// form, or with its hex off the map, it draws nothing.
template <class Body>
void RefreshFromCell(const Screen& panel, Body&& body) {
  if (!panel.currentForm) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  if (const HexCell* cell = HexCellOf(g_world, panel.id)) body(g_world, *cell);
}

}  // namespace

void HexInfoMainPanel::Refresh() {
  RefreshFromCell(*this, [this](const World& w, const HexCell& cell) { DrawBars(w, cell); });
}

void HexInfoMainPanel::DrawBars(const World& w, const HexCell& cell) {
  Control* f = currentForm;
  const HexYield yield = HexResourceYield(w, cell);
  for (int k = 0; k < kHexResourceBars; ++k) {
    SlideBarControl* bar = AsSlideBar(FormFindControlById(f, kHexInfoMainIds[k]));
    if (!bar) continue;
    // The two columns face each other: the selected hex's bars run from the
    // right.
    const uint32_t flagsBefore = bar->flags;
    const uint16_t markBefore = bar->rawMarker;
    bar->flags = mode ? bar->flags | kSlideReversed : bar->flags & ~kSlideReversed;
    SliderSetMaxFloat(bar, 1.0f);
    SliderSetValueFloatNotify(bar, yield.shown[k]);
    bar->rawMarker = static_cast<uint16_t>(SliderPositionOfFloat(bar, yield.mark[k]));
    // Refreshed four times a second: drawn again only when the hex's
    // figures moved (a new position draws itself).
    if (bar->flags != flagsBefore || bar->rawMarker != markBefore) bar->Invalidate();
  }
}

void HexIndustryStatusPanel::Refresh() {
  RefreshFromCell(*this, [this](const World& w, const HexCell& cell) { Draw(w, cell); });
}

void HexIndustryStatusPanel::Draw(const World& w, const HexCell& cell) {
  const UnitRecord* known = ShownUnit(w, cell);
  const UnitClassRecord* cls = KnownClass(w, cell);
  DrawUnitClassIcon(known ? known->classIndex : 0, nullptr, cls, Tag(*this, "INDBMP"), true, -1);
  const UnitRecord* present = PresentUnit(cell);
  SetHidden(Tag(*this, "OFFLINE"), !(present && !FacilityOnLine(*present)));
  const bool own = CellOwner(cell.word) == w.gameState.localPlayer;
  SetHidden(Tag(*this, "HIDEPAR"), !(own && cls && HasIndustryQueue(*cls)));
  const UnitRecord* open = OpenUnit(cell);
  char text[16];
  plat::FormatText(text, sizeof text, "%d", open ? int{open->leadValue} : 0);
  ControlSetText(Tag(*this, "QUEUE"), text);
  plat::FormatText(text, sizeof text, "%d", cls ? int{cls->baseSlots} : 0);
  ControlSetText(Tag(*this, "CAPACITY"), text);
}

void HexIndustryShares::Refresh() {
  RefreshFromCell(*this, [this](const World& w, const HexCell& cell) { Draw(w, cell); });
}

void HexIndustryShares::Draw(const World& w, const HexCell& cell) {
  const UnitRecord* known = ShownUnit(w, cell);
  const UnitClassRecord* cls = KnownClass(w, cell);
  const UnitRecord* present = PresentUnit(cell);
  const int owner = CellOwner(cell.word);

  const float s = present ? std::min(present->strength, 1.0f) : 0.0f;
  float demand = 0.0f, supply = 0.0f;
  if (cls) {
    const SiteSupply site = HexSiteSupply(w, cell, *cls, known ? known->classIndex : 0, owner);
    demand = site.need;
    supply = site.supply;
  }
  // What the ground cannot feed holds the facility back.
  float e = s;
  if (supply < demand * s && demand * s > 0.0f) e = s * supply / (demand * s);
  float value = HexWorkFactor(w, cell) * EffectiveStrength(e) * demand;
  const int p = cls ? MainProduct(*cls) : -1;
  if (p >= 0) {
    const PlayerRecord& region = w.players[owner];
    value = value * product::Get(region, p, product::kProductivity) * w.techEffects[owner][kProductEffectEntry + p];
  }
  // The local region's own output of the product is the yardstick; a region
  // that makes none of it gives no share.
  const float reference = LocalOutput(w, std::max(p, 0));
  Control* percent = Tag(*this, "PERCENT");
  if (reference != 0.0f) {
    char text[32];
    plat::FormatText(text, sizeof text, "%3.0f %%", static_cast<double>(value / reference * 100.0f));
    ControlSetText(percent, text);
  } else {
    ControlSetText(percent, "-");
  }
  SetControlFlag(Tag(*this, "ADTEXT"), kStateSelected, !(present && FacilityOnLine(*present)));
}

void HexIndustryDays::Refresh() {
  RefreshFromCell(*this, [this](const World& w, const HexCell& cell) { Draw(w, cell); });
}

void HexIndustryDays::Draw(const World& w, const HexCell& cell) {
  const UnitRecord* present = PresentUnit(cell);
  const float factor = HexWorkFactor(w, cell);
  Control* daysText = Tag(*this, "DAYS");
  // Without supply or loyalty to carry it the work never ends.
  if (present && !(factor > 0.0f)) {
    ControlSetText(daysText, "-");
    return;
  }
  const float days = present ? present->buildWork / factor : 0.0f;
  float shown = days + 0.99f;
  if (!(shown > -2.0e9f)) shown = 0.0f;  // also a work figure that is no number
  shown = std::min(shown, 2.0e9f);
  char text[16];
  plat::FormatText(text, sizeof text, "%d", static_cast<int>(shown));
  ControlSetText(daysText, text);
}

void HexIndustryPanel::BindControls() {
  upgradeHost = Tag(*this, "UPGPAR");
  shareHost = Tag(*this, "HIDEPERC");
  if (Control* faint = FormFindControlById(currentForm, kFaintRow)) {
    faint->fills[kLookNormal] = WithAlpha(faint->fills[kLookNormal], kFaintAlpha);
    faint->fills[kLookSelected] = WithAlpha(faint->fills[kLookSelected], 0);
    faint->fills[kLookFocused] = WithAlpha(faint->fills[kLookFocused], 0);
  }
}

void HexIndustryPanel::Refresh() {
  RefreshFromCell(*this, [this](const World& w, const HexCell& cell) { Draw(w, cell); });
}

void HexIndustryPanel::Draw(const World& w, const HexCell& cell) {
  Control* f = currentForm;
  const UnitRecord* known = ShownUnit(w, cell);
  const int32_t classIndex = known ? known->classIndex : 0;
  static const UnitClassRecord kNoClass{};
  const UnitClassRecord* knownClass = KnownClass(w, cell);
  const UnitClassRecord& k = knownClass ? *knownClass : kNoClass;
  const bool own = CellOwner(cell.word) == w.gameState.localPlayer;
  const bool settlement = (k.flags & kClassSettlementPopulation) != 0;

  ControlSetText(Tag(*this, "UPGRADE"), (settlement ? LabelName(cell) : ClassName(knownClass)).c_str());

  const bool industry = own && IsIndustrialHex(w, cell);
  const bool cursorColumn = host && ControlTagMatches(host->tag, "CPAR3");
  SetHidden(Tag(*this, "HIDEINFO"), !(industry && cursorColumn));
  for (int32_t row = 1; row <= 6; ++row) SetHidden(FormFindControlById(f, row), true);
  if (industry && !cursorColumn) {
    const UnitRecord* lead = PresentUnit(cell);
    const UnitClassRecord* leadClass = lead ? HexClassOf(w, lead->classIndex) : nullptr;
    if (leadClass && IsUpgradableIndustry(*leadClass)) {
      SetHidden(FormFindControlById(f, kUpgradableRow), false);
    } else if (k.baseKind == kResearchCentreKind) {
      SetHidden(FormFindControlById(f, kResearchRow), false);
    } else {
      for (int32_t row : kOtherRows) SetHidden(FormFindControlById(f, row), false);
      DrawUnitClassIcon(classIndex, nullptr, knownClass, FormFindControlById(f, kIconRow), true, -1);
    }
  }

  if (!(k.flags & kClassProduction)) {
    SetHidden(shareHost, true);
    status.Show(id, upgradeHost);
  } else {
    SetHidden(shareHost, !own);
    if (known && FacilityUnderConstruction(*known)) {
      days.Show(id, shareHost);
    } else {
      shares.Show(id, shareHost);
    }
    graph.Show(GraphProduct(k), upgradeHost);
    SetHidden(graph.currentForm, !own);
  }

  int32_t note = settlement ? -1 : FacilityStatus(w, static_cast<uint32_t>(id));
  if (HexLevelByte(w, cell) == 0) note = kFacilityBuildingNoSupply;
  ControlSetText(Tag(*this, "NOTE"), note < 0 ? "" : TextListEntry(g_textLists, kListUgstatus, note));
}

void HexIndustryPanel::OnCommand(Control* control, int32_t) {
  if (!control || !ControlTagMatches(control->tag, "FACTORYBUT")) return;
  const HexCell* cell = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    cell = HexCellOf(g_world, id);
  }
  if (cell) OpenObjectPopup(g_screens, cell, 0);
}
