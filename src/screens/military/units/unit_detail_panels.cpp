#include "screens/military/units/unit_detail_panels.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "app/game_math.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/order_settings.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/military/orders/orders_training.h"
#include "screens/military/production/production_lists.h"
#include "screens/common/units/unit_command_grid.h"
#include "screens/common/units/unit_header.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "units/facilities/military_upkeep.h"
#include "units/hex_state.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "ui/text_box.h"
#include "units/unit_deploy.h"
#include "units/unit_order_issue.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

constexpr uint32_t kCustomOrdersFlag = 0x1000;   // unit flag word 2
constexpr uint32_t kNoticeColour = 0xFF96BEFA;
constexpr int32_t kTrainOrder = 4, kSplitOrder = 43, kStandDownLand = 46, kStandDownOther = 48;
constexpr int32_t kUiTextDeploy = 3, kUiTextStandDown = 4, kUiTextSplit = 7;
constexpr int32_t kProdUnitsGoods = 10;

const char* const kHomeBaseTags[] = {"BASEPIC", "STATUS", "QUEUE", "CAPACITY", "OFFLINE"};
const char* const kEngagementTags[] = {"IMPORTANCE", "LOSSTOL", "INITIATIVE"};
const int32_t kEngagementIds[] = {116, 117, 118, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151};

// The sliders and the order field each sets.
struct SliderField {
  int32_t id, field;
};
constexpr SliderField kSliders[] = {{116, 6}, {117, 8}, {118, 3}};
// The boxes that set or clear one header bit each as they are pressed.
struct HeaderBox {
  int32_t id;
  uint32_t mask;
};
constexpr HeaderBox kHeaderBoxes[] = {{145, 0x200},  {146, 0x800},  {147, 0x400},
                                      {148, 0x1000}, {149, 0x4000}, {150, 0x8000}};

uint32_t IdOf(intptr_t id) { return id > 0 ? static_cast<uint32_t>(id) : 0u; }

bool LiveFacility(const UnitRecord* u) { return u && !(u->unitFlags & kUnitGone) && u->classIndex != 0; }

void PostBits(uint32_t unit, uint32_t mask, uint32_t set) {
  PostArgs(kCmdUnitSetOrdersHeaderBits, OrderBitsArgs{.unit = unit, .bits = mask, .set = set});
}

}  // namespace

void UpdateQueueButtons(Control* form, const UnitRecord& u) {
  const bool queued = (u.ordersShown[kStateFlags] & kStateHeldSlot) != 0;
  const bool held = (u.ordersShown[kStateFlags] & kStatePausedBuild) != 0;
  const bool eligible = LiveFacility(&u) && (u.orders[kPostureBits] & kPostureUnderConstruction) != 0;
  SetHidden(Tag(form, "REQUEBUT"), !(queued && !held && eligible));
  SetHidden(Tag(form, "HOLD"), !(!queued && !held && eligible));
  SetHidden(Tag(form, "UNHOLD"), !(!queued && held && eligible));
  SetHidden(Tag(form, "CANCEL"), !(queued && eligible));
  SetHidden(Tag(form, "REMBUT"), !(!queued && eligible));
}

RecoveryFigures UnitRecoveryFigures(const UnitRecord& u, const UnitClassRecord& cls, const PlayerRecord& owner) {
  const auto s = static_cast<float>(cls.strengthPerSize);
  const float k = cls.kind == 2 || cls.kind == 3 ? 0.5f : 1.0f;
  RecoveryFigures r;
  // What the unit costs its owner each day it stays: the day's upkeep the
  // military day books for it (a share of it a year would read $0 for
  // every unit).
  r.dayCost = UnitDailyUpkeep(owner, u, cls);
  r.recovered = s * cls.weight * k * SafeDivide(u.strength, s) * 0.9f + u.ammo + u.supply + 0.81f;
  r.troops = static_cast<float>(cls.valuePerPoint) * u.strength;
  return r;
}

namespace {

// The pop-up's own areas are where its panels go when no host is named.
void HomeInDetailArea(Screen& s) { s.hostLink = &g_screens.unitDetail.detailHost; }

void FillFigures(Control* form, const UnitRecord& u, bool withRecovered) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitClassRecord* cls = ClassRecordAt(g_world, u.classIndex);
  if (!cls) return;
  const RecoveryFigures r = UnitRecoveryFigures(u, *cls, g_world.players[u.owner & 31]);
  SetControlNumberText(1, 0, "", 1, "", 0, static_cast<double>(CheckedTrunc(r.dayCost)), Tag(form, "DAYCOST"));
  SetControlNumberText(0, 0, "", 1, "", 0, static_cast<double>(CheckedTrunc(r.troops)), Tag(form, "TROOPS"));
  if (withRecovered) {
    const std::string unitText = std::string(" ") + TextListText(kListProdunits, kProdUnitsGoods);
    SetControlNumberText(0, 0, "", 1, unitText.c_str(), 0, static_cast<double>(CheckedTrunc(r.recovered)),
                         Tag(form, "RECOVERED"));
  }
}

class UnitBenefitPanel : public Screen {
 public:
  UnitBenefitPanel() : Screen("POPUP_MILITARY1A1") {}
  void BindControls() override {
    HomeInDetailArea(*this);
    for (int32_t i = 181; i <= 184; ++i) StyleOverlay(Id(currentForm, i));
    for (int32_t i = 151; i <= 160; ++i) StyleOverlay(Id(currentForm, i));
    benefit_ = Tag(currentForm, "BENEFIT") ? MakeTextBox("BENEFIT", 0, currentForm) : nullptr;
    if (benefit_ && benefit_->prototype) benefit_->prototype->fontSlot = 5, benefit_->prototype->textColour = kNoticeColour;
  }
  void OnOpen() override {
    unit = IdOf(id);
    choice = 0;
    ListHolder none{};
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* u = FindUnitById(g_world, unit)) FillBenefitBox(currentForm, u, none);
  }
  void Refresh() override {
    ListHolder none{};
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* u = FindUnitById(g_world, unit)) FillTrainingDetails(currentForm, u, none, choice);
  }
  void OnCommand(Control* control, int32_t controlId) override {
    if (!control) return;
    const int32_t cid = control->id ? control->id : controlId;
    if (Is(control, "BACK")) {
      CloseGridSubPanel(*this, false);
    } else if (Is(control, "OK")) {
      {
        plat::CriticalSectionLock lock(g_simulationLock);
        if (UnitRecord* u = FindUnitById(g_world, unit)) {
          IssueUnitOrder(g_world, *u, kTrainOrder, PackHex(u->x, u->y), nullptr, nullptr, 0, 0, -1);
          PostArgs(kCmdUnitSetOrderLevel, OrderValueArgs{.unit = unit, .value = static_cast<uint32_t>(choice)});
        }
      }
      CloseGridSubPanel(*this, true);
    } else if (cid >= 161 && cid <= 160 + kTrainingProgrammes) {
      SetHidden(Tag(currentForm, "HIDEBOX"), false);
      choice = cid - 160;
      Refresh();
    }
  }
  uint32_t unit = 0;
  int32_t choice = 0;  // 1 to 10, 0 none

 private:
  TextBoxControl* benefit_ = nullptr;
};

class UnitPriorityPanel : public Screen {
 public:
  UnitPriorityPanel() : Screen("POPUP_MILITARY1B") { HomeInDetailArea(*this); }
  void Refresh() override { unit = id > 0 ? static_cast<uint32_t>(id) : 0u; }
  uint32_t unit = 0;
};

}  // namespace

std::unique_ptr<Screen> MakeUnitBenefitPanel() { return std::make_unique<UnitBenefitPanel>(); }

std::unique_ptr<Screen> MakeUnitPriorityPanel() { return std::make_unique<UnitPriorityPanel>(); }
namespace {

class UnitHomeBasePanel : public Screen {
 public:
  UnitHomeBasePanel() : Screen("POPUP_MILITARY1c", FormLookups{.tags = kHomeBaseTags, .ids = {}}) {
    hostLink = &g_screens.unitDetail.commandHost;
  }
  void BindControls() override { basePicture_ = Tag(currentForm, "BASEPIC"); }
  void Refresh() override {
    unit = IdOf(id);
    Control* f = currentForm;
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const UnitRecord* u = FindUnitById(g_world, unit);
    if (!u || !f) return;
    const int32_t cell = HexNeighbourCell(w, u->x, u->y, 6);
    const HexCell* hex = cell >= 0 ? &w.cells[static_cast<size_t>(cell)] : nullptr;
    const HexUnitStack* stack = hex ? LoadHexStack(*hex) : nullptr;
    const UnitRecord* base = stack ? stack->lead : nullptr;
    const bool live = LiveFacility(base);
    const bool ownHex = hex && CellOwner(hex->word) == w.gameState.localPlayer;
    const bool hidden = live && (base->unitFlags & kUnitProvisional) != 0;
    const int32_t baseClass = live && (ownHex || !hidden) ? base->classIndex : 0;
    const bool offline = live && (base->ordersShown[kPostureBits] & kPostureInReserve) != 0;
    Press(Tag(f, "STATUS"), live && !offline);
    SetInt(Tag(f, "QUEUE"), live && !hidden ? base->leadValue : 0);
    const UnitClassRecord* cls = ClassRecordAt(w, baseClass);
    SetInt(Tag(f, "CAPACITY"), cls ? cls->baseSlots : 0);
    SetHidden(Tag(f, "OFFLINE"), !offline);
    if (basePicture_) DrawUnitClassIcon(baseClass, nullptr, cls, basePicture_, true, -1);
    UpdateQueueButtons(f, *u);
  }
  void OnCommand(Control* control, int32_t) override {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (!control) return;
    if (Is(control, "CENTRE")) {
      plat::CriticalSectionLock lock(g_simulationLock);
      GotoMapObject(FindUnitById(g_world, unit));
      return;
    }
    if (Is(control, "BASEDETAILS")) {
      const HexCell* cell = SelectedHexCell();
      if (cell && CellOwner(cell->word) == g_world.gameState.localPlayer) {
        const HexCell* unitCell = nullptr;
        {
          plat::CriticalSectionLock lock(g_simulationLock);
          const UnitRecord* u = FindUnitById(g_world, unit);
          const int32_t index = u ? HexNeighbourCell(g_world, u->x, u->y, 6) : -1;
          unitCell = index >= 0 ? &g_world.cells[static_cast<size_t>(index)] : nullptr;
        }
        if (unitCell) OpenObjectPopup(g_screens, unitCell, 0);
      }
    }
    OnQueueButton(control, unit, currentForm);
  }
  uint32_t unit = 0;

 private:
  Control* basePicture_ = nullptr;
};

class UnitEngagementPanel : public Screen {
 public:
  UnitEngagementPanel() : Screen("POPUP_MILITARY1A4", FormLookups {.tags = kEngagementTags, .ids = kEngagementIds}) {}
  void BindControls() override { HomeInDetailArea(*this); }
  void OnOpen() override {
    unit = IdOf(id);
    Control* f = currentForm;
    uint32_t word = 0, header = 0, flags2 = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const UnitRecord* u = FindUnitById(g_world, unit);
      if (!u) return;
      word = u->ordersShown[kOrdersWord], header = u->ordersShown[kOrdersHeader], flags2 = u->unitFlags2;
    }
    for (const SliderField& s : kSliders) {
      if (auto* bar = dynamic_cast<SlideBarControl*>(Id(f, s.id))) {
        bar->notches = 3;
        SliderSetMaxInt(bar, 3);
        SliderSetValueInt(bar, OrderWordField(word, s.field));
      }
    }
    Press(Id(f, 143), true);
    Press(Id(f, 142), (header & 0x100) != 0);
    Press(Id(f, 144), (header & 0x20) != 0);
    for (const HeaderBox& b : kHeaderBoxes) Press(Id(f, b.id), (header & b.mask) != 0);
    Press(Id(f, 151), (flags2 & kCustomOrdersFlag) != 0);
  }
  void Refresh() override {
    uint32_t word = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const UnitRecord* u = FindUnitById(g_world, unit);
      if (!u) return;
      word = u->ordersShown[kOrdersWord];
    }
    SetControlText(Tag(currentForm, "IMPORTANCE"), TextListText(kListOrdimportance, OrderWordField(word, 6)));
    SetControlText(Tag(currentForm, "LOSSTOL"), TextListText(kListOrdlosstol, OrderWordField(word, 8)));
    SetControlText(Tag(currentForm, "INITIATIVE"), TextListText(kListOrdinitiative, OrderWordField(word, 3)));
  }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "BACK")) CloseGridSubPanel(*this, false);
  }
  void OnControlChange(Control* control, int32_t controlId) override {
    const int32_t cid = control && control->id ? control->id : controlId;
    if (!control || cid == 0 || !unit) return;
    const uint32_t pressed = control->Selected() ? 1u : 0u;
    for (const SliderField& s : kSliders) {
      if (cid != s.id) continue;
      const auto* bar = dynamic_cast<const SlideBarControl*>(control);
      const auto value = static_cast<uint32_t>(bar ? SliderGetValueInt(bar) : 0);
      PostArgs(kCmdUnitSetOrderSetting,
               OrderSettingArgs{.unit = unit, .field = static_cast<uint32_t>(s.field), .value = value});
    }
    if (cid == 142 && pressed) PostBits(unit, 0x100, 1), PostBits(unit, 0x20, 0);
    if (cid == 143 && pressed) PostBits(unit, 0x120, 0);
    if (cid == 144 && pressed) PostBits(unit, 0x20, 1), PostBits(unit, 0x100, 0);
    for (const HeaderBox& b : kHeaderBoxes)
      if (cid == b.id) PostBits(unit, b.mask, pressed);
    if (cid == 151) {
      // Kept on the unit itself: no command carries it.
      plat::CriticalSectionLock lock(g_simulationLock);
      if (UnitRecord* u = FindUnitById(g_world, unit))
        u->unitFlags2 = pressed ? u->unitFlags2 | kCustomOrdersFlag : u->unitFlags2 & ~kCustomOrdersFlag;
    }
    Refresh();
  }
  uint32_t unit = 0;
};

}  // namespace

std::unique_ptr<Screen> MakeUnitHomeBasePanel() { return std::make_unique<UnitHomeBasePanel>(); }
std::unique_ptr<Screen> MakeUnitEngagementPanel() { return std::make_unique<UnitEngagementPanel>(); }

UnitConfirmPanel::UnitConfirmPanel(const char* formName, int32_t textEntry, uint32_t colour)
    : Screen(formName), textEntry_(textEntry), colour_(colour) {}

void UnitConfirmPanel::BindControls() {
  HomeInDetailArea(*this);
  text_ = MakeTextBox("TEXTBOX", 0, currentForm);
  if (text_ && text_->prototype) {
    text_->prototype->fontSlot = 3;
    text_->prototype->textColour = colour_;
  }
}

void UnitConfirmPanel::OnOpen() {
  unit = IdOf(id);
  if (text_) TextBoxSetText(text_, TextListText(kListUitext, textEntry_), 0, 1);
}

void UnitConfirmPanel::OnCommand(Control* control, int32_t) {
  if (Is(control, "BACK")) {
    CloseGridSubPanel(*this, false);
  } else if (Is(control, "OKBUT")) {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      if (UnitRecord* u = FindUnitById(g_world, unit)) Confirm(*u);
    }
    CloseGridSubPanel(*this, true);
  }
}

namespace {

class UnitTextPanel3 : public UnitConfirmPanel {
 public:
  UnitTextPanel3() : UnitConfirmPanel("POPUP_MILITARY1A3", kUiTextSplit, kNoticeColour) {}

 protected:
  void Confirm(UnitRecord& u) override {
    plat::CriticalSectionLock lock(g_simulationLock);
    IssueUnitOrder(g_world, u, kSplitOrder, 0, nullptr, nullptr, 0, 0, -1);
  }
};

class UnitRecoverPanel : public UnitConfirmPanel {
 public:
  UnitRecoverPanel() : UnitConfirmPanel("POPUP_MILITARY1A7", kUiTextStandDown, 0xFFFFFFFF) {}
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* u = FindUnitById(g_world, unit)) FillFigures(currentForm, *u, true);
  }

 protected:
  void Confirm(UnitRecord& u) override {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitClassRecord* cls = ClassRecordAt(g_world, u.classIndex);
    const int32_t order = cls && cls->kind == 0 ? kStandDownLand : kStandDownOther;
    IssueUnitOrder(g_world, u, order, 0, nullptr, nullptr, 0, 0, -1);
  }
};

class UnitTroopsPanel : public UnitConfirmPanel {
 public:
  UnitTroopsPanel() : UnitConfirmPanel("POPUP_MILITARY1A12", kUiTextDeploy, 0xFFFFFFFF) {}
  void Refresh() override {
    unit = IdOf(g_screens.unitDetailPanel.id);
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* u = FindUnitById(g_world, unit)) FillFigures(currentForm, *u, false);
  }

 protected:
  void Confirm(UnitRecord& u) override {
    plat::CriticalSectionLock lock(g_simulationLock);
    PlaceUnitOnMap(g_world, u);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeUnitTextPanel3() { return std::make_unique<UnitTextPanel3>(); }
std::unique_ptr<Screen> MakeUnitRecoverPanel() { return std::make_unique<UnitRecoverPanel>(); }
std::unique_ptr<Screen> MakeUnitTroopsPanel() { return std::make_unique<UnitTroopsPanel>(); }
