#include "screens/main/panels/settlement_pages.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "app/duration_text.h"
#include "app/number_text.h"
#include "platform/threads.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/figure_text.h"
#include "screens/common/facilities/site_figures.h"
#include "screens/common/frame/map_selection.h"
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
#include "ui/screen_manager.h"
#include "units/class_fields.h"
#include "units/facilities/facility_build.h"
#include "units/hex_owner.h"
#include "world/hex_extra.h"
#include "world/local_player.h"
#include "world/record_helpers.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr size_t kLabelNameMax = 47;
constexpr int32_t kNoRowsId = 40;
constexpr int32_t kFirstProductRowId = 21;
constexpr float kLeastCancelStrength = 0.1f;
// The classes whose output a region factor scales, and where the factors sit.
constexpr int32_t kOwnerScaledFirst = 4024;
constexpr int32_t kOwnerScaledLast = 4047;
constexpr int kOwnerScaleEntry = 36;

float OwnerClassFactor(const World& world, int owner, int32_t classIndex) {
  if (classIndex < kOwnerScaledFirst || classIndex > kOwnerScaledLast) return 1.0f;
  return world.techEffects[owner & 31][kOwnerScaleEntry + (classIndex - kOwnerScaledFirst)];
}

// Re-opens the page's host and the docked panels below the main one.
void ReopenHost(Screen* host) {
  if (host) {
    host->OnOpen();
    host->Refresh();
  }
  RefreshDockedPanels(g_screens, 0);
}

std::string ProductText(TextListId list, int p) {
  const char* t = TextListEntry(g_textLists, list, p);
  return t ? t : "";
}

}  // namespace

SettlementView ViewSelectedHex(const World& world) {
  SettlementView v;
  const HexPosition& hex = world.gameState.currentHex;
  if ((hex.x == 0 && hex.y == 0) || hex.cellIndex >= world.cells.size()) return v;
  v.cell = &world.cells[hex.cellIndex];
  v.packed = static_cast<uint16_t>(hex.x) | static_cast<uint32_t>(static_cast<uint16_t>(hex.y)) << 16;
  v.ownHex = CellOwner(v.cell->word) == world.gameState.localPlayer;
  v.lead = GetActiveObject(v.cell, false);
  if (!v.lead) return v;
  const OrderBlock& o = v.lead->ordersShown;
  v.underConstruction = (o[kPostureBits] & kPostureUnderConstruction) && (o[kStateFlags] & kStateHeldSlot);
  v.repairOrdered = (o[kStateFlags] & kStatePausedBuild) != 0;
  if (v.ownHex || !(v.lead->unitFlags & kUnitProvisional)) {
    v.classIndex = v.lead->classIndex;
    v.cls = ClassRecordAt(world, v.classIndex);
  }
  return v;
}

float SettlementPopulation(const World& world, const HexCell& cell) { return HexPeopleWeight(world, cell); }

int32_t SettlementStatus(const World& world, const SettlementView& view) {
  if (view.cell && HexLevelByte(world, *view.cell) == 0) return 6;
  if (!view.lead) return 1;
  const OrderBlock& o = view.lead->ordersShown;
  if (!(o[kPostureBits] & kPostureInReserve)) return 0;
  if (o[kStateFlags] & kStateModeC) return 3;
  if (view.underConstruction && view.repairOrdered) return 5;
  if (view.underConstruction) return 2;
  return 1;
}

void SettlementUpgradePage::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const SettlementView v = ViewSelectedHex(g_world);
  std::string text;
  if (v.cls && (v.cls->flags & kClassSettlementPopulation)) {
    const HexUnitStack* stack = LoadHexStack(*v.cell);
    if (stack && stack->extra && stack->extra->text)
      text.assign(stack->extra->text, strnlen(stack->extra->text, kLabelNameMax));
  } else if (v.cls) {
    text.assign(v.cls->name, strnlen(v.cls->name, sizeof v.cls->name));
  }
  ControlSetText(Tag(*this, "UPGRADE"), text.c_str());
}

void SettlementPopulationPage::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const SettlementView v = ViewSelectedHex(g_world);
  SetAmountText(Tag(*this, "POPULATION"), v.cell ? SettlementPopulation(g_world, *v.cell) : 0.0f, 0, 0);
}

void SettlementConstructionPage::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const SettlementView v = ViewSelectedHex(w);
  SetPercentText(Tag(*this, "CONSTRUCT"), v.lead ? v.lead->strength * 100.0f : 0.0f);
  float days = 0.0f;
  if (v.lead && v.cell)
    days = v.lead->buildWork / SupplyLevelFactor(HexLevelByte(w, *v.cell), HexSupplierRate(w, *v.cell));
  ControlSetText(Tag(*this, "DAYS"), v.lead ? FormatDuration(days).c_str() : "0 Days");
  float perDay = 0.0f;
  if (v.cls)
    perDay = PerBuildDay(v.cls->price, v.cls->buildWorkPerPoint) * LocalCostFactor(w) *
             ClassCostScale(w, *v.cls);
  SetAmountText(Tag(*this, "CONSTRUCT3"), perDay, 1, 0);
}

void SettlementConditionPage::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const SettlementView v = ViewSelectedHex(g_world);
  SetPercentText(Tag(*this, "CONDITION"), v.lead ? std::min(v.lead->strength, 1.0f) * 100.0f : 0.0f);
}

void FacilityOutputPage::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const SettlementView v = ViewSelectedHex(w);
  const float strength = v.lead ? v.lead->strength : 0.0f;
  SetPercentText(Tag(*this, "CONDITION"), std::min(strength, 1.0f) * 100.0f);
  SetControlFlag(Tag(*this, "DYTOGGLE"), kStateSelected, g_uiOptions.dayannual);
  float output = 0.0f;
  if (v.cls && v.cell) {
    const SiteSupply site = HexSiteSupply(w, *v.cell, *v.cls, v.classIndex, CellOwner(v.cell->word));
    const float eff = std::min(strength, site.need > site.supply ? site.supply / site.need : 1.0f);
    output = SiteOutput(w, *v.cell, *v.cls, EffectiveStrength(eff), site.need);
  }
  SetAmountText(Tag(*this, "CAPACITY"), output / ProductPeriodDivisor(), 0, 2);
  const int p = v.cls ? std::max(MainProduct(*v.cls), 0) : 0;
  const float wanted = LocalOutput(w, p);
  if (wanted != 0.0f) {
    // Like with like: the site's main product as the region counts its own.
    const float provided = v.cls ? SiteMainProductOutput(w, *v.cls, output) : 0.0f;
    SetPercentText(Tag(*this, "PROVIDE"), provided / wanted * 100.0f);
  } else {
    ControlSetText(Tag(*this, "PROVIDE"), "-");
  }
}

void SettlementOutputConfirm::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const SettlementView v = ViewSelectedHex(w);
  float eff = 1.0f;
  if (v.cls && v.cell) {
    const SiteSupply site = HexSiteSupply(w, *v.cell, *v.cls, v.classIndex, CellOwner(v.cell->word));
    if (site.need > site.supply) eff = site.supply / site.need;
  }
  SetPercentText(Tag(*this, "MAXUPCAP"), eff * 100.0f);
}

void SettlementOutputConfirm::OnCommand(Control* control, int32_t) {
  if (!control) return;
  if (ControlTagMatches(control->tag, "OKBUT6A")) {
    uint32_t hex = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      hex = ViewSelectedHex(g_world).packed;
    }
    PostArgs(kCmdSetFacilityOutput, HexOutputArgs{.hex = hex, .level = 1.0f});
    ReopenHost(hostScreen);
  } else if (ControlTagMatches(control->tag, "CANBUT6A")) {
    if (hostScreen) {
      hostScreen->OnOpen();
      hostScreen->Refresh();
    }
  }
}

void SettlementOutputCancel::OnCommand(Control* control, int32_t) {
  if (!control || !ControlTagMatches(control->tag, "CANBUT6B1")) return;
  bool stop = false;
  HexOutputArgs args;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const SettlementView v = ViewSelectedHex(g_world);
    args.hex = v.packed;
    const UnitClassRecord* cls = v.lead ? ClassRecordAt(g_world, v.lead->classIndex) : nullptr;
    stop = cls && (cls->flags & kClassProduction) && v.lead->strength >= kLeastCancelStrength;
    args.level = v.lead ? v.lead->targetStrength : 0.0f;
  }
  if (stop) {
    PostArgs(kCmdHexStack292, HexArgs{.hex = args.hex});
  } else {
    PostArgs(kCmdSetFacilityOutput, args);
  }
  ReopenHost(hostScreen);
}

void SettlementOutputPage::BindControls() {
  rawList = MakeListBox("RAWLIST", 0, currentForm, kListIndicators, this);
}

void SettlementOutputPage::Refresh() {
  std::string name, unit;
  bool building = false, belowFull = false, own = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const SettlementView v = ViewSelectedHex(g_world);
    const int p = v.cls ? std::max(MainProduct(*v.cls), 0) : 0;
    name = ProductText(kListProducts, p);
    unit = "Counted in " + ProductText(kListProdunits, p);
    own = v.ownHex && v.cls && (v.cls->flags & kClassProduction);
    building = v.underConstruction;
    belowFull = v.lead && v.lead->targetStrength < 1.0f;
  }
  ControlSetText(Tag(*this, "OUTPUT"), name.c_str());
  if (rawList) {
    ListClear(rawList, 1);
    ListAddTextItem(rawList, unit.c_str(), kNoRowsId, 0, 0, 0, 0);
    ListLayoutRows(rawList);
  }
  Control* sub = Tag(*this, "SUBPARENT");
  SetHidden(sub, !own || !(building || belowFull));
  if (!own) return;
  if (building && cancel) {
    cancel->Show(kKeepScreenId, sub);
  } else if (belowFull && confirm) {
    confirm->Show(kKeepScreenId, sub);
  }
}

void CityOutputPage::BindControls() {
  cityOutput = MakeListBox("CITYOUTPUT", 0, currentForm, kListIndicators, this);
  rawList = MakeListBox("RAWLIST", 0, currentForm, kListIndicators, this);
}

void CityOutputPage::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const SettlementView v = ViewSelectedHex(w);
  if (cityOutput) {
    ListClear(cityOutput, 1);
    if (v.cell) FillRawMaterialList(w, *v.cell, cityOutput);
    ListLayoutRows(cityOutput);
  }
  if (rawList) {
    ListClear(rawList, 1);
    if (const TerrainRecord* t = v.cell ? TerrainOf(w, *v.cell) : nullptr)
      for (int p = 0; p < kProductCount; ++p)
        if (classfields::TerrainResource(*t, p) > 0.0f)
          ListAddTextItem(rawList, ProductText(kListProducts, p).c_str(), kFirstProductRowId + p, 0, 0, 0, 0);
    if (rawList->rowCount == 0) ListAddTextItem(rawList, "-", kNoRowsId, 0, 0, 0, 0);
    ListLayoutRows(rawList);
  }
}

void FillRawMaterialList(const World& world, const HexCell& cell, ListBoxControl* list) {
  SiteSupply site = HexSiteResources(world, cell);
  const UnitRecord* lead = GetActiveObject(&cell, true);
  const UnitClassRecord* cls = lead ? ClassRecordAt(world, lead->classIndex) : nullptr;
  float weights[kProductCount];
  if (cls && (cls->flags & kClassProduction) && classfields::ProductValues(*cls, weights)) {
    const float share = EffectiveStrength(lead->strength);
    const float factor = OwnerClassFactor(world, CellOwner(cell.word), lead->classIndex);
    for (int p = 0; p < kProductCount; ++p) {
      float take = share * weights[p];
      if (factor != 1.0f) take = take * factor;
      site.used[p] = site.used[p] + take;
    }
  }
  const PlayerRecord* localRecord = LocalPlayer(world);
  if (!localRecord) return;
  const PlayerRecord& local = *localRecord;
  const float supply = SupplyLevelFactor(HexLevelByte(world, cell), HexSupplierRate(world, cell));
  const float* factors = product::Factors(world, local);
  for (int p = 0; p < kProductCount; ++p) {
    const float figure = std::min(site.used[p], site.available[p]);
    if (!(figure > 0.0f)) continue;
    const float value = supply * factors[product::kOutputFactor + p] * product::Get(local, p, product::kProductivity) *
                        product::WorldReal(world, p, product::kWorldPrice) * world.mapHeader.scaleSquared * figure;
    char number[kNumberTextSize];
    FormatNumberText(number, 0, 0, "", 0, "", 0, static_cast<double>(value));
    const std::string row = ProductText(kListProducts, p) + " " + number + " " + ProductText(kListProdunits, p);
    ListAddTextItem(list, row.c_str(), kFirstProductRowId + p, 0, 0, 0, 0);
  }
  if (list->rowCount == 0) ListAddTextItem(list, "-", kNoRowsId, 0, 0, 0, 0);
}
