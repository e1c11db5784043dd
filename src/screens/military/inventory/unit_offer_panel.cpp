#include "screens/military/inventory/unit_offer_panel.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "records/le_bytes.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_selection.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/unit_order_issue.h"
#include "units/unit_player_fields.h"
#include "world/data_tables.h"
#include "world/derived_tables.h"
#include "world/id_lookups.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

constexpr const char* kSaleTags[] = {"COST", "OFFER", "OK", "NOTOK", "SUNITHDR", "MQTY", "HIDEQTY"};
constexpr const char* kScrapTags[] = {"MGOODS", "RECOVERED", "OK", "NOTOK", "SUNITHDR", "MQTY", "HIDEQTY"};
constexpr const char* kScrapForm = "MILITARY1_ss4a3";
// A class whose link word is this is offered at a fifth off its resale.
constexpr uint32_t kNoLink = 0xFFFFFFFFu;
constexpr uint8_t kHalfGoodsSale = 2;
// What a region asks at most for the goods, in its product record; the
// world's price of them, in the world economy block.
constexpr size_t kWorldGoodsPriceAt =
    static_cast<size_t>(unitfields::kSupplyProduct) * kEconomyProductSize + kProductReferencePriceAt;

FormLookups LookupsOf(const char* formName) {
  const bool scrap = formName && std::strcmp(formName, kScrapForm) == 0;
  return scrap ? FormLookups{.tags = kScrapTags, .ids = {}} : FormLookups{.tags = kSaleTags, .ids = {}};
}

float WorldGoodsPrice(const World& w) {
  return kWorldGoodsPriceAt + 4 <= w.worldEconomy.size() ? le::LoadF32(w.worldEconomy.data() + kWorldGoodsPriceAt)
                                                         : 0.0f;
}

OfferInputs InputsOf(const World& w, const UnitRecord& u) {
  OfferInputs in;
  in.strength = u.strength;
  in.saleFlag = u.byte18;
  in.cargoValue = u.ammo;
  in.ownValue = u.supply;
  in.sellerPrice = unitfields::ProductReal(w.players[u.owner & 31], unitfields::kSupplyProduct, kProductPriceLimitAt);
  in.worldPrice = WorldGoodsPrice(w);
  return in;
}

// The units offered: the selected rows of the list, else the one unit.
std::vector<uint32_t> OfferedIds(ListBoxControl* rows, uint32_t unit) {
  std::vector<uint32_t> ids;
  if (!rows) {
    if (unit) ids.push_back(unit);
    return ids;
  }
  for (Control* row = ListNextSelected(rows, nullptr); row; row = ListNextSelected(rows, row))
    if (row->id > 0) ids.push_back(static_cast<uint32_t>(row->id));
  return ids;
}

void SetAmount(Control* c, float value, const char* trailing = "") {
  if (!c) return;
  SetControlNumberText(0, 0, "", 1, trailing, 0, static_cast<double>(value), c);
}

}  // namespace

OfferFigures UnitOfferFigures(const UnitClassRecord& cls, const OfferInputs& in) {
  const float s = in.strength;
  const float h = in.saleFlag == kHalfGoodsSale ? 0.5f : 1.0f;
  const float d = cls.kind == 2 || cls.kind == 3 ? 0.5f : 1.0f;
  const float g = std::min(in.sellerPrice, in.worldPrice);
  const auto group = static_cast<float>(cls.strengthPerSize);
  OfferFigures f;
  f.cost = cls.costPerElement * s + in.sellerPrice * cls.weight * h * s;
  f.resaleBase = (2.0f * static_cast<float>(cls.level) + 20.0f) / 200.0f * cls.costPerElement * s;
  if (cls.availability == kNoLink) f.resaleBase = f.resaleBase * 0.8f;
  // A class without groups has no goods part: group x (n / group) would be
  // 0 x infinity.
  const float goods = group != 0.0f ? group * cls.weight * d * (s / group) * 0.9f : 0.0f;
  f.offer = (goods + in.cargoValue + 0.81f) * g + f.resaleBase;
  f.salvaged = goods + in.cargoValue + in.ownValue + 0.81f;
  return f;
}

UnitOfferPanel::UnitOfferPanel(const char* formName)
    : Screen(formName, LookupsOf(formName)), scrap(formName && std::strcmp(formName, kScrapForm) == 0 ? 1 : 0) {}

void UnitOfferPanel::OnOpen() {
  unit = static_cast<uint32_t>(id);
  // Whole units only: the header always reads as such.
  SetControlFlag(Tag(currentForm, "SUNITHDR"), kStateSelected, 1);
}

void UnitOfferPanel::Refresh() {
  OfferFigures sum;
  offeredCount = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (uint32_t offered : OfferedIds(rowList, unit)) {
      const UnitRecord* u = FindUnitById(g_world, offered);
      const UnitClassRecord* cls = u ? UnitClassOf(g_world, *u) : nullptr;
      if (!cls) continue;
      const OfferFigures f = UnitOfferFigures(*cls, InputsOf(g_world, *u));
      sum.cost += f.cost;
      sum.offer += f.offer;
      sum.salvaged += f.salvaged;
      ++offeredCount;
    }
  }
  for (const char* tag : {"MQTY", "HIDEQTY"}) SetHidden(Tag(currentForm, tag), true);
  if (offeredCount == 0) {
    GiveWay();
    return;
  }
  if (!scrap) {
    SetAmount(Tag(currentForm, "COST"), sum.cost);
    SetAmount(Tag(currentForm, "OFFER"), sum.offer);
    return;
  }
  Control* goods = Tag(currentForm, "MGOODS");
  Control* recovered = Tag(currentForm, "RECOVERED");
  SetHidden(goods, false);
  SetHidden(recovered, false);
  SetControlText(goods, TextListText(g_textLists, kListProducts, unitfields::kSupplyProduct));
  const std::string unitWord = std::string(" ") + TextListText(g_textLists, kListProdunits, unitfields::kSupplyProduct);
  SetAmount(recovered, sum.salvaged, unitWord.c_str());
}

void UnitOfferPanel::OnCommand(Control* control, int32_t) {
  EndTextEdit();
  if (Is(control, "OK")) {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      std::vector<uint32_t> ids = OfferedIds(rowList, unit);
      if (ids.size() <= 1 && unit) ids.assign(1, unit);
      for (uint32_t offered : ids) {
        UnitRecord* u = FindUnitById(g_world, offered);
        if (!u) continue;
        const bool flagged = u->byte18 != 0;
        const int order = scrap ? (flagged ? kScrapOrderFlagged : kScrapOrder) : (flagged ? kSaleOrderFlagged : kSaleOrder);
        IssueUnitOrder(g_world, *u, order, 0, nullptr, nullptr, 0, 0, -1);
      }
    }
    GiveWay();
    RefreshDockedPanels(g_screens, 1);
  } else if (Is(control, "NOTOK")) {
    GiveWay();
  }
}

void UnitOfferPanel::GiveWay() {
  Screen* owner = host ? host->owner : nullptr;
  if (!owner || owner == this) return;
  // The offer leaves the container; the owner's next choice fills it again.
  if (currentForm && currentForm->parent == host) currentForm->Unlink();
  owner->OnOpen();
  owner->Refresh();
}

void UnitOfferConfirm::OnCommand(Control* control, int32_t) {
  if (!Is(control, "OK") && !Is(control, "NOTOK")) return;
  Screen* owner = host ? host->owner : nullptr;
  if (!owner || owner == this) return;
  owner->OnOpen();
  owner->Refresh();
}
