#include "screens/main/popups/upgrade_popup.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/duration_text.h"
#include "app/number_text.h"
#include "platform/fpenv.h"
#include "platform/threads.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "screens/common/figure_text.h"
#include "screens/common/facilities/site_figures.h"
#include "screens/common/hex_cell_lookup.h"
#include "screens/common/panel_tint.h"
#include "screens/main/map_input/map_placement.h"
#include "screens/common/frame/map_selection.h"
#include "screens/screen_set.h"
#include "sim/daily/product_fields.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "units/facilities/facility_build.h"
#include "world/local_player.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr float kFoundationShare = 0.2f;
constexpr float kUpgradeUpkeepDivisor = 448000.0f;
constexpr float kUpgradeRunningDivisor = 10.0f;
constexpr float kUpgradeDaysInYear = 365.0f;
constexpr int32_t kLevelMax = 255;
constexpr float kLevelPerPercent = 2.5f;

}  // namespace

UpgradeCosts ComputeUpgradeCosts(const World& world, const UnitClassRecord& cls, const HexCell* cell, float s,
                                 float k) {
  UpgradeCosts out;
  const PlayerRecord* localRecord = LocalPlayer(world);
  if (!localRecord) return out;
  const PlayerRecord& local = *localRecord;
  const PlayerRecord& owner = cell ? world.players[CellOwner(cell->word)] : local;
  const float scale = ClassCostScale(world, cls);
  const float w = world.mapHeader.scaleSquared;
  // The upkeep share the day charges the hex's owner (by its GDP a head, as
  // the daily upkeep does) and the running cost at the builder's price
  // level; a type built in no time has no daily share.
  const float perDay = PerBuildDay(cls.price, cls.buildWorkPerPoint);
  const float upkeep = perDay * scale / kUpgradeUpkeepDivisor * (s + 1.0f) * owner.gdpPerCapita;
  const float running =
      (cls.flags & (kClassSettlement | kClassRoad)) ? perDay * scale / kUpgradeRunningDivisor : 0.0f;
  out.mainCost = (running * local.costFactor + upkeep) * k * kUpgradeDaysInYear / ProductPeriodDivisor();
  const float f = scale * cls.price;
  out.foundation = kFoundationShare * f * local.costFactor * k;
  const float priceA = product::Get(local, 9, product::kPrice), priceB = product::Get(local, 10, product::kPrice);
  out.goodsA = priceA * cls.firepower * w * k * s;
  out.goodsB = priceB * cls.resourceB * w * k * s;
  const float t = (priceB * cls.resourceB + priceA * cls.firepower) * w;
  out.cost = ((f + t) * s + kFoundationShare * f) * local.costFactor * k;
  if (cell) {
    float e = EngineerEffort(world, *cell);
    if (e > 1.0f) e = std::sqrt(e);
    out.level = HexLevelByte(world, *cell);
    const float factor = SupplyLevelFactor(out.level, HexSupplierRate(world, *cell));
    out.days = cls.buildWorkPerPoint / (factor * e) * s;
  } else {
    out.days = cls.buildWorkPerPoint * s;
  }
  return out;
}

float StrengthCeiling(const World& world, const UnitClassRecord& cls, int32_t classIndex, const HexCell& cell) {
  const SiteSupply site = HexSiteSupply(world, cell, cls, classIndex, CellOwner(cell.word));
  return site.need > site.supply ? site.supply / site.need : 1.0f;
}

void FillUpgradeCosts(UpgradePopup& popup) {
  Control* f = popup.currentForm;
  if (!f) return;
  UpgradeCosts c;
  uint32_t colour = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const UnitClassRecord* cls = ClassRecordAt(w, popup.classIndex);
    if (!cls) return;
    const HexCell* cell = SelectedCell(w);
    c = ComputeUpgradeCosts(w, *cls, cell, popup.strength, popup.steps);
    colour = g_uiOptions.playercolor[cell ? CellOwner(cell->word) : 0];
  }
  SetAmountText(Tag(popup, "MAINCOST"), c.mainCost, 1, 0);
  SetControlFlag(Tag(popup, "MAINHDR"), kStateSelected, g_uiOptions.dayannual);
  SetAmountText(Tag(popup, "FOUNDATION"), c.foundation, 1, 0);
  SetAmountText(Tag(popup, "ICOST"), c.goodsA, 0, 0);
  SetAmountText(Tag(popup, "MCOST"), c.goodsB, 0, 0);
  SetAmountText(Tag(popup, "COST"), c.cost, 1, 0);
  ControlSetText(Tag(popup, "DAYS"), FormatDuration(c.days).c_str());
  if (SlideBarControl* bar = AsSlideBar(Tag(popup, "SUPSLDR"))) {
    SliderSetMaxInt(bar, kLevelMax);
    SliderSetValueIntNotify(bar, c.level);
    bar->outlines[kLookNormal] = PanelTint(colour);
    char text[kNumberTextSize];
    FormatNumberText(text, 0, 0, "", 0, " %", 0, static_cast<double>(static_cast<float>(c.level) / kLevelPerPercent));
    ControlSetText(bar, text);
  }
  SetPercentText(Tag(popup, "FACTSTR"), popup.strength * 100.0f);
}

void FillFactoryCapacity(UpgradeStrengthPanel& panel, UpgradePopup& popup) {
  float chosen = 1.0f;
  if (SlideBarControl* bar = AsSlideBar(Tag(panel, "ADJSTR"))) chosen = SliderGetValueFloat(bar);
  float s = (panel.ceiling - kSmallestStrength) * chosen + kSmallestStrength;
  float capacity = 0.0f;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const UnitClassRecord* cls = ClassRecordAt(w, popup.classIndex);
    const HexCell* cell = SelectedCell(w);
    if (cls && cell) {
      const SiteSupply site = HexSiteSupply(w, *cell, *cls, popup.classIndex, CellOwner(cell->word));
      if (site.supply < s * site.need) s = site.supply / site.need;
      capacity = SiteOutput(w, *cell, *cls, EffectiveStrength(s), site.need);
    }
  }
  popup.strength = s;
  SetAmountText(Tag(panel, "FACTCAP"), capacity / ProductPeriodDivisor(), 0, 2);
  SetPercentText(Tag(popup, "FACTSTR"), s * 100.0f);
}

void UpgradeStrengthPanel::BindControls() { host = popup_.indParent; }

void UpgradeStrengthPanel::OnOpen() {
  popup_.strength = 1.0f;
  ceiling = 1.0f;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const UnitClassRecord* cls = ClassRecordAt(w, popup_.classIndex);
    if (const HexCell* cell = SelectedCell(w); cls && cell)
      ceiling = StrengthCeiling(w, *cls, popup_.classIndex, *cell);
  }
  const bool choice = ceiling > kLeastChosenStrength;
  SetHidden(Tag(*this, "ADJSTR"), !choice);
  SetHidden(Tag(*this, "ADJNOTE"), !choice);
  SetControlFlag(Tag(*this, "SETSTRHDR"), kStateSelected, !choice);
  if (SlideBarControl* bar = AsSlideBar(Tag(*this, "ADJSTR"))) {
    SliderSetMaxFloat(bar, 1.0f);
    SliderSetValueFloat(bar, 1.0f);
  }
}

void UpgradeStrengthPanel::Refresh() {
  FillFactoryCapacity(*this, popup_);
  SetControlFlag(Tag(*this, "ANNDAYBUT"), kStateSelected, g_uiOptions.dayannual);
}

void UpgradeStrengthPanel::OnControlChange(Control* control, int32_t) {
  if (!control || !ControlTagMatches(control->tag, "ADJSTR")) return;
  FillFactoryCapacity(*this, popup_);
  FillUpgradeCosts(popup_);
}

void UpgradeStaffPanel::BindControls() { host = popup_.indParent; }

void UpgradeStaffPanel::OnOpen() {
  uint8_t capacity = 0, level = 1;
  uint16_t staff = 0;
  bool engineers = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const UnitClassRecord* cls = ClassRecordAt(w, popup_.classIndex);
    if (!cls) return;
    capacity = cls->baseSlots;
    staff = cls->valuePerPoint;
    engineers = (cls->flags & kClassFortifies) != 0;
    if (const HexCell* cell = SelectedCell(w)) level = HexLevelByte(w, *cell);
  }
  char text[16];
  std::snprintf(text, sizeof text, "%d", capacity);
  ControlSetText(Tag(*this, "CAPACITY"), text);
  SetAmountText(Tag(*this, "STAFF"), staff, 0, 0);
  SetHidden(Tag(*this, "ENGINEER"), !(level == 0 && engineers));
}

void UpgradePopup::BindControls() { indParent = FormFindControlByTag(currentForm, "INDPARENT"); }

void UpgradePopup::OnOpen() {
  classIndex = g_mapPlacement.classIndex;
  uint32_t flags = 0;
  std::string name;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitClassRecord* cls = ClassRecordAt(g_world, classIndex)) {
      flags = cls->flags;
      name.assign(cls->name, strnlen(cls->name, sizeof cls->name));
    }
  }
  ControlSetText(Tag(*this, "BUILDWHAT"), ("Build " + name).c_str());
  strength = 1.0f;
  steps = 1.0f;
  SetHidden(indParent, false);
  if (flags & kClassProduction) {
    strengthPanel.Show(kKeepScreenId, indParent);
  } else if (flags & kClassSettlement) {
    staffPanel.Show(kKeepScreenId, indParent);
  } else {
    SetHidden(indParent, true);
  }
  SetControlFlag(Tag(*this, "CONFIRMBUT"), kStateSelected, g_mapPlacement.placementConfirm);
  SetControlFlag(Tag(*this, "REPEATBUT"), kStateSelected, g_mapPlacement.placementRepeat);
  FillUpgradeCosts(*this);
}

int32_t UpgradePopup::Close(int32_t noReturn) {
  const int32_t r = ClosePopupForm(g_ui, currentForm, noReturn, 0);
  if (!g_mapPlacement.placementRepeat) CancelMapPlacement(g_screens);
  return r;
}

void UpgradePopup::OnCommand(Control* control, int32_t) {
  if (!control) return;
  if (ControlTagMatches(control->tag, "CANBUT")) {
    Close(0);
  } else if (ControlTagMatches(control->tag, "OKBUT")) {
    PlaceFacilityAtHex(g_screens, strength);
    Close(0);
  } else if (ControlTagMatches(control->tag, "CONFIRMBUT")) {
    g_mapPlacement.placementConfirm = control->Selected() ? 1 : 0;
    RefreshDockedPanels(g_screens);
  } else if (ControlTagMatches(control->tag, "REPEATBUT")) {
    g_mapPlacement.placementRepeat = control->Selected() ? 1 : 0;
    RefreshDockedPanels(g_screens);
  }
}

void OpenUpgradePopup(UpgradePopup& popup) { popup.Popup(kKeepScreenId, nullptr); }
