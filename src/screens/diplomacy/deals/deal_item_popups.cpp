#include "screens/diplomacy/deals/deal_item_popups.h"

#include <algorithm>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <string>

#include "app/number_text.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/units/strength_rows.h"
#include "screens/screen_set.h"
#include "sim/daily/product_fields.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "units/class_fields.h"
#include "units/unit_texts.h"
#include "world/text/ui_options.h"
#include "world/local_player.h"
#include "world/id_lookups.h"
#include "world/text/rule_tables.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int32_t kFrequencyIds = 200;  // 200..204

bool Editing(const Control* c) { return c && (c->state & kStateEditing) != 0; }

void SetNumberText(Control* c, int32_t currency, float value) { SetControlNumberText(currency, 0, "", 0, "", 0, value, c); }

int32_t TypedInt(Control* c) {
  auto* s = dynamic_cast<StringControl*>(c);
  return s ? s->GetInt() : 0;
}

void RefreshWithEditor(Screen& panel) {
  panel.Refresh();
  g_screens.dealEditor.Refresh();
}

int32_t RoundedCap(float strength) {
  const float r = std::isfinite(strength) ? std::round(strength) : 1.0f;
  return static_cast<int32_t>(std::clamp(r, 1.0f, static_cast<float>(kDealQuantityCap)));
}

}  // namespace

int32_t PaymentCountAfter(int32_t count, int32_t step) {
  if (step < 0) return std::max(count - 1, kFewestInstalments);
  return std::min(count + 1, kMostPayments);
}

float EqualPayment(float balance, int32_t count) { return balance / static_cast<float>(std::max(count, 1)); }

int32_t DealQuantityStep(int32_t quantity, int32_t step, float strength) {
  if (step < 0) return std::max(quantity - 1, 1);
  return std::min(quantity + 1, RoundedCap(strength));
}

int32_t DealQuantityTyped(int32_t typed, float strength) { return std::clamp(typed, 1, RoundedCap(strength)); }

DealItem* ResolveDealItem(const DealItemPlace& place) {
  DealEditor& editor = g_screens.dealEditor;
  const int side = place.side == 0 ? 0 : 1;
  if (!place.inGroup) return DealTemplate(editor.templates[side], place.kind, place.item);
  DipOffer* offer = g_screens.dealPopup.offer.get();
  if (!offer) return nullptr;
  std::vector<DealItem>& items = (side == 0 ? offer->offered : offer->requested).dealItems;
  return place.item < items.size() ? &items[place.item] : nullptr;
}

// An agreement.

void DealItemInfo::Refresh() {
  const TreatyTypeEntry* type = TreatyType(g_ruleTables.rTreatyTypes, static_cast<int>(id));
  SetControlText(Tag(currentForm, "NAME"), type && type->name ? type->name.get() : "");
  SetControlText(Tag(currentForm, "INFOTEXT"), type && type->description ? type->description.get() : "");
}

// A payment or a delivery of goods.

void DealAmountPicker::OnOpen() {
  const DealItem* item = ResolveDealItem(place);
  if (!item) return;
  const bool goods = item->goods();
  SetHidden(Tag(currentForm, "HIDE1"), !goods);
  SetHidden(Tag(currentForm, "EQUAL"), goods);
  SetHidden(Tag(currentForm, "GRIDEQUAL1"), true);
  for (int32_t f = 0; f < kDealFrequencies; ++f)
    if (Control* c = FormFindControlById(currentForm, kFrequencyIds + f)) {
      if (f == item->frequency)
        c->state |= kStateSelected;
      else
        c->state &= ~kStateSelected;
    }
  SetHidden(Tag(currentForm, "HIDE2"), item->frequency == 0);
}

void DealAmountPicker::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  DealItem* item = ResolveDealItem(place);
  if (!item || !currentForm || player < 0 || player >= kMaxPlayers) return;
  const bool goods = item->goods();
  const PlayerRecord* local = LocalPlayer(g_world);
  if (!local) return;
  const bool mine = player == LocalPlayerIndex(g_world);
  float cash = 0.0f, stock = 0.0f, top = 0.0f, price = 0.0f;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord& r = g_world.players[player];
    cash = r.treasury;
    if (goods) {
      const int p = item->product;
      price = product::Get(*local, p, product::kPrice);
      // What the giver holds; another region is asked for no more than it
      // could spare of its output, and never for more than it holds, which
      // the answer would refuse.
      stock = std::max(product::Get(r, p, product::kStock), 0.0f);
      top = mine ? stock : std::min(stock, product::Get(r, p, product::kOutput) / (item->frequency == 0 ? 2.0f : 6.0f));
    } else {
      top = std::max(cash, 0.0f);
    }
  }
  // An amount above what the side can give comes down to it: the bound on
  // goods shrinks when the frequency changes, and a payment kept from talks
  // with a richer region may be more than this one has.
  if (item->amount > top) item->amount = std::max(top, 0.0f);
  if (auto* slider = dynamic_cast<SlideBarControl*>(Tag(currentForm, "AMNTSLDR"))) {
    SliderSetMaxFloat(slider, top);
    SliderSetValueFloat(slider, item->amount);
  }
  const DealEditor& editor = g_screens.dealEditor;
  if (!goods) {
    SetNumberText(Tag(currentForm, "AMOUNT"), 1, item->amount);
    SetHidden(Tag(currentForm, "AMOUNTVAL"), true);
    balance = mine ? editor.requestedValue - editor.offeredValue : editor.offeredValue - editor.requestedValue;
    const bool even = balance <= editor.offeredValue / 1000.0f;
    SetHidden(Tag(currentForm, "EQUAL"), even);
    SetHidden(Tag(currentForm, "GRIDEQUAL1"), even || cash > EqualPayment(balance, item->paymentCount));
    SetNumberText(Tag(currentForm, "STOCK"), 1, cash);
    if (Control* c = Tag(currentForm, "STOCK")) c->state = cash < 0.0f ? (c->state | kStateSelected) : (c->state & ~kStateSelected);
  } else {
    SetNumberText(Tag(currentForm, "AMOUNT"), 0, item->amount);
    SetHidden(Tag(currentForm, "AMOUNTVAL"), false);
    SetNumberText(Tag(currentForm, "AMOUNTVAL"), 1, price * item->amount);
    SetNumberText(Tag(currentForm, "STOCK"), 0, std::max(top, 0.0f));
  }
  SetControlText(Tag(currentForm, "FREQUENCY"), TextListText(kListPayfrequency, item->frequency));
  const bool continuous = item->paymentCount == 0;
  if (Control* c = Tag(currentForm, "CHECKBOX"))
    c->state = continuous ? (c->state | kStateSelected) : (c->state & ~kStateSelected);
  SetHidden(Tag(currentForm, "PAYMENTS"), continuous);
  SetHidden(Tag(currentForm, "CONTINUOUS"), !continuous);
  if (Control* number = Tag(currentForm, "NUMBER"); number && !Editing(number)) SetInt(number, item->paymentCount);
}

void DealAmountPicker::Changed() {
  Refresh();
  g_screens.dealEditor.Refresh();
}

void DealAmountPicker::OnCommand(Control* control, int32_t controlId) {
  DealItem* item = ResolveDealItem(place);
  if (!item || !control) return;
  if (Is(control, "MINUSBUT") || Is(control, "PLUSBUT")) {
    item->paymentCount = static_cast<int16_t>(PaymentCountAfter(item->paymentCount, Is(control, "MINUSBUT") ? -1 : 1));
  } else if (controlId >= kFrequencyIds && controlId < kFrequencyIds + kDealFrequencies) {
    item->frequency = static_cast<uint8_t>(controlId - kFrequencyIds);
    item->paymentCount = static_cast<int16_t>(DefaultPaymentCount(item->frequency));
  } else if (Is(control, "CHECKBOX")) {
    if (control->state & kStateSelected) {
      item->paymentCount = 0;
    } else if (item->paymentCount == 0) {
      item->paymentCount = static_cast<int16_t>(DefaultPaymentCount(item->frequency));
      if (Control* c = FormFindControlById(currentForm, kFrequencyIds)) c->state |= kStateSelected;
    }
  } else if (Is(control, "EQUAL")) {
    item->amount = EqualPayment(balance, item->paymentCount);
    if (auto* slider = dynamic_cast<SlideBarControl*>(Tag(currentForm, "AMNTSLDR")))
      SliderSetValueFloat(slider, item->amount);
    return;
  } else {
    return;
  }
  Changed();
}

void DealAmountPicker::OnControlChange(Control* control, int32_t) {
  DealItem* item = ResolveDealItem(place);
  auto* slider = dynamic_cast<SlideBarControl*>(control);
  if (!item || !slider || !Is(control, "AMNTSLDR")) return;
  item->amount = SliderGetValueFloat(slider);
  Changed();
}

void DealAmountPicker::OnEndEdit(Control* control, int32_t) {
  DealItem* item = ResolveDealItem(place);
  if (!item || !Is(control, "NUMBER")) return;
  const int32_t typed = TypedInt(control);
  if (typed == item->paymentCount) return;
  item->paymentCount = static_cast<int16_t>(std::clamp(typed, 1, kMostPayments));
  Changed();
}

// A unit, a stock of missiles or a design.

OfferUnit* DealUnitPicker::Entry() {
  DipOffer* offer = g_screens.dealPopup.offer.get();
  if (!offer || unitId == 0) return nullptr;
  for (OfferUnit& u : (side == 0 ? offer->offered : offer->requested).units)
    if (u.unitId == unitId) return &u;
  return nullptr;
}

float DealUnitPicker::Strength() const {
  plat::CriticalSectionLock lock(g_simulationLock);
  WorldLockGuard hold(g_world, kLockUnits);
  const UnitRecord* unit = FindUnitById(g_world, unitId);
  return unit ? unit->strength : 1.0f;
}

void DealUnitPicker::Store(int32_t q) {
  quantity = DealQuantityTyped(q, Strength());
  if (OfferUnit* entry = Entry()) entry->quantity = static_cast<uint8_t>(quantity);
  if (Control* m = Tag(currentForm, "MQTY"); m && !Editing(m)) SetInt(m, quantity);
}

void DealUnitPicker::BindControls() {
  if (Control* all = Tag(currentForm, "ALLPACK")) all->state |= kStateSelected;
}

void DealUnitPicker::OnOpen() {
  int32_t classIndex = static_cast<int32_t>(id);
  float strength = 0.0f, fullStrength = 0.0f, value = 0.0f, size = 1.0f;
  bool missile = false, mine = false, held = false, placed = false;
  std::string place;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    WorldLockGuard hold(g_world, kLockUnits);
    float ownerFactor = 0.0f;
    if (const UnitRecord* unit = unitId ? FindUnitById(g_world, unitId) : nullptr) {
      classIndex = unit->classIndex;
      strength = unit->strength;
      fullStrength = unit->targetStrength;
      mine = unit->owner == LocalPlayerIndex(g_world);
      held = unit->byte18 == 2;
      placed = unit->x != 0 || unit->y != 0;
      if (placed) place = HexPositionText(g_world, unitbytes::UnitPosition(*unit));
      ownerFactor = unit->owner < kMaxPlayers ? g_world.players[unit->owner].costFactor : 0.0f;
    }
    const UnitClassRecord* c = ClassRecordAt(g_world, classIndex);
    missile = c && (c->flags & kClassStock);
    SetControlText(Tag(currentForm, "NAME"), c ? std::string(c->name, strnlen(c->name, sizeof c->name)).c_str() : "");
    if (c) {
      size = static_cast<float>(c->strengthPerSize);
      const float targetSize = c->targetSize, cost = c->valuePerPoint, upkeep = c->costPerElement;
      const float f = (c->kind == 2 || c->kind == 3) ? 0.5f : 1.0f;
      const PlayerRecord* local = LocalPlayer(g_world);
      const float localFactor = local ? local->costFactor : 0.0f;
      const float q = unitId && missile && mine ? static_cast<float>(quantity) : 1.0f;
      if (unitId == 0 || (missile && mine))
        value = targetSize * cost * q + (targetSize * upkeep * q * f + 0.9f) * localFactor + 0.9f;
      else
        value = cost * strength + ownerFactor * upkeep * (held ? 0.5f : 1.0f) * strength;
    }
  }
  // The class's sheet, as the build lists show it.
  if (Control* parent = Tag(currentForm, "STATPARENT"); parent && classIndex > 0)
    g_screens.unitPicturePanels[kDealClassSheet + static_cast<size_t>(side ? 1 : 0)].Show(classIndex, parent);
  SetNumberText(Tag(currentForm, "UCOST"), 1, value);
  Control* location = Tag(currentForm, "LOCATION");
  SetHidden(location, unitId == 0 || !placed);
  SetControlText(location, place.c_str());
  const bool unit = unitId != 0;
  SetHidden(Tag(currentForm, "HIDESTR"), !unit || (missile && mine));
  ShowStrength(strength, fullStrength, size);
  if (!unit || !missile || !mine) {
    SetHidden(Tag(currentForm, "QTYHIDE"), true);
    return;
  }
  const OfferUnit* entry = Entry();
  quantity = entry ? entry->quantity : quantity;
  const bool all = (Tag(currentForm, "ALLPACK") && (Tag(currentForm, "ALLPACK")->state & kStateSelected));
  if (all) Store(RoundedCap(strength));
  else Store(quantity);
  SetHidden(Tag(currentForm, "QTYHIDE"), all);
}

// The strength as a bar over the class size times the full strength, or as
// its figure: a share for one-point classes, a count for the others.
void DealUnitPicker::ShowStrength(float strength, float fullStrength, float size) {
  Control* text = Id(currentForm, kStrengthText);
  if (size == 1.0f) SetFormatted(text, "%d %%", static_cast<int32_t>(std::lround(strength * 100.0f)));
  else SetFormatted(text, "%d", static_cast<int32_t>(std::lround(strength)));
  if (auto* bar = dynamic_cast<SlideBarControl*>(Id(currentForm, kStrengthBar))) {
    SliderSetMaxFloat(bar, size * fullStrength);
    SliderSetValueFloat(bar, strength);
  }
  ApplySpecView(Id(currentForm, kStrengthBar), text, Id(currentForm, kStrengthHint));
}

void DealUnitPicker::Refresh() {
  // The class sheet's own switch flips the same bars-or-figures flag.
  ApplySpecView(Id(currentForm, kStrengthBar), Id(currentForm, kStrengthText), Id(currentForm, kStrengthHint));
  if (unitId == 0) return;
  const int32_t most = RoundedCap(Strength());
  if (quantity > most) Store(most);
}

void DealUnitPicker::OnCommand(Control* control, int32_t) {
  if (!control) return;
  if (Is(control, "MINUSBUT") || Is(control, "PLUSBUT")) {
    Store(DealQuantityStep(quantity, Is(control, "MINUSBUT") ? -1 : 1, Strength()));
    RefreshWithEditor(*this);
  } else if (Is(control, "LOCATION")) {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* unit = FindUnitById(g_world, unitId)) GotoMapObject(unit);
  } else if (Is(control, "INSPECT")) {
    Inspect();
  } else if (control->id >= kFirstViewSwitch && control->id <= kLastViewSwitch) {
    g_uiOptions.buishowspecsliders = g_uiOptions.buishowspecsliders ? 0 : 1;
    ApplySpecView(Id(currentForm, kStrengthBar), Id(currentForm, kStrengthText), Id(currentForm, kStrengthHint));
    RequestFullRefresh(g_ui);
  } else if (Is(control, "ALLPACK")) {
    if (!(control->state & kStateSelected)) Store(1);
    OnOpen();
  }
}

// A design opens in its build pop-up, a unit in its detail pop-up; missiles
// in theirs.
void DealUnitPicker::Inspect() {
  bool missile = false;
  int32_t classIndex = static_cast<int32_t>(id);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    WorldLockGuard hold(g_world, kLockUnits);
    const UnitRecord* unit = unitId ? FindUnitById(g_world, unitId) : nullptr;
    if (unitId && !unit) return;
    if (unit) classIndex = unit->classIndex;
    const UnitClassRecord* c = ClassRecordAt(g_world, classIndex);
    if (!c) return;
    missile = (c->flags & kClassStock) != 0;
  }
  ScreenSet& s = g_screens;
  if (unitId == 0) (missile ? static_cast<Screen&>(s.missileStockView) : s.unitBuild).Popup(classIndex, nullptr);
  else (missile ? static_cast<Screen&>(s.missileDesignView) : s.unitDetail).Popup(static_cast<intptr_t>(unitId), nullptr);
}

void DealUnitPicker::OnEndEdit(Control* control, int32_t) {
  if (!Is(control, "MQTY")) return;
  Store(TypedInt(control));
  if (Control* m = Tag(currentForm, "MQTY")) SetNumberText(m, 0, static_cast<float>(quantity));
  RefreshWithEditor(*this);
}

// A technology.

void DealDiscoveryInfo::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const bool known = id > 0 && static_cast<size_t>(id) < w.techs.size();
  const TechRecord* tech = known ? &w.techs[static_cast<size_t>(id)] : nullptr;
  SetControlText(Tag(currentForm, "NAME"), tech ? tech->name.c_str() : "");
  SetControlText(Tag(currentForm, "DESC"), tech ? tech->text.c_str() : "");
  SetNumberText(Tag(currentForm, "UCOST"), 1, tech ? tech->value32 : 0.0f);
  // The technology's category row: the class rows take a category negated.
  if (Control* parent = Tag(currentForm, "CLASSPAR"); parent && tech)
    g_screens.militaryClass[kDealCategoryRow + static_cast<size_t>(side ? 1 : 0)].Show(-static_cast<intptr_t>(tech->category), parent);
}

void DealDiscoveryInfo::OnCommand(Control* control, int32_t) {
  if (Is(control, "INSPECT") && id > 0) g_screens.techPopup.Popup(id, nullptr);
}

void ShowDealItemPopup(int32_t kind, int32_t side, int32_t listIndex, uint32_t item, int32_t player) {
  ScreenSet& s = g_screens;
  side = side == 0 ? 0 : 1;
  Control* host = s.dealEditor.itemHosts[side];
  switch (kind) {
    case kDealAgreement: s.dealItemInfo[side].Show(item, host); break;
    case kDealPayment:
    case kDealGoods: {
      DealAmountPicker& picker = s.dealAmountPicker[side];
      picker.player = player;
      picker.place = DealItemPlace{side, listIndex == 1 || listIndex == 2, kind, item};
      picker.Show(0, host);
      break;
    }
    case kDealReserveUnit:
    case kDealMissiles:
    case kDealDesign: {
      DealUnitPicker& picker = s.dealUnitPicker[side];
      const uint32_t unit = kind == kDealDesign ? 0 : item;
      if (picker.unitId != unit || picker.side != side) picker.quantity = 1;
      picker.side = side;
      picker.unitId = unit;
      picker.Show(kind == kDealDesign ? item : 0, host);
      break;
    }
    case kDealDiscovery:
      s.dealDiscoveryInfo[side].side = side;
      s.dealDiscoveryInfo[side].Show(item, host);
      break;
    case kDealLandTag:
      if (item >= 1) s.dealAreaPicker[side].Show(item - 1, host);
      break;
    default: break;
  }
}
