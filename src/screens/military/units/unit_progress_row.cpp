#include "screens/military/units/unit_progress_row.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/units/orders_summary.h"
#include "screens/common/units/unit_header.h"
#include "screens/common/units/unit_tab_figures.h"
#include "screens/military/units/unit_performance.h"
#include "screens/common/units/unit_sheets.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "units/unit_queries.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/unit_create.h"
#include "world/world.h"

namespace {

constexpr uint32_t kNameGrey = 0xFFC8C8C8u;
constexpr uint32_t kNameYellow = 0xFFFFFF64u;
constexpr int32_t kPlainIndent = 20, kMarkedIndent = 35;
// Where an icon-wide class badge ends (CLASSPAR); CLASSPAR2 of a missile row.
constexpr int32_t kBadgeRight = 18, kMissileBadgeRight = 32;
constexpr int kCargoIcon = 0, kMissileIcon = 1, kResearchIcon = 2, kLandedIcon = 3;
// The room the longest class names need ("Transport Helos"); a row with
// less past its badges (the combat odds' lists, the silo panel's) shows the
// name from the row's left end, its mark before it, and no badges or
// picture.
constexpr int32_t kNameRoom = 96;
constexpr int32_t kNarrowMarkLeft = 2, kNarrowNameLeft = 2, kNarrowMarkedNameLeft = 17;
// The band under the name the build bar takes, and in a narrow row the
// strength bar.
constexpr int32_t kBarBandTop = 12, kBarBandBottom = 17;

void SetLeft(Control* c, int32_t left) {
  if (c) c->rect.left = left;
}
void SetRight(Control* c, int32_t right) {
  if (c) c->rect.right = right;
}

// What the carried units other than missiles weigh with their loads, and
// the missiles they make.
struct Aboard {
  float missiles = 0.0f, cargo = 0.0f;
};
Aboard AboardOf(const World& world, const UnitRecord& unit) {
  Aboard a;
  int guard = 0;
  for (uint32_t next = unit.cargoNext; next != 0 && guard < kCargoChainLimit; ++guard) {
    const UnitRecord* u = FindUnitById(world, next);
    if (!u) break;
    next = u->cargoNext;
    const UnitClassRecord* k = ClassRecordAt(world, u->classIndex);
    if (!k) continue;
    a.missiles += static_cast<float>(k->slotSize) * u->strength;
    if (!(u->strength > 0.0f)) continue;
    if (!(u->unitFlags & kUnitStock))
      a.cargo += k->weight * u->strength + UnitLoadTotal(world, *u, true, true, true) + u->ammo;
  }
  return a;
}

uint32_t NameColour(const UnitRecord& unit, bool building) {
  const OrderBlock& shown = unit.ordersShown;
  if (shown[kStateFlags] & (1u << 30)) return kNameGrey;
  if (building) return kNameYellow;
  if (shown[kStateFlags] & (1u << 26)) return kNameGrey;
  return shown[kOrderFlags] == 0 && shown[kOrderMask] == 0 ? kNameYellow : kNameGrey;
}

// The build bar: the days gone of the whole build time, as the bar's value
// or, with the option's second style, as its second value.
void ShowBuildBar(SlideBarControl* bar, const BuildProgress& p) {
  SetHidden(bar, false);
  if (!bar) return;
  SliderSetMaxFloat(bar, p.total);
  const bool second = g_uiOptions.buiprogbarstyle != 0;
  SliderSetValueFloatNotify(bar, second ? 0.0f : p.elapsed);
  SliderSetValueIntRaw(bar, second ? SliderPositionOfFloat(bar, p.elapsed) : 0);
}

}  // namespace

CargoMark CargoMarkOf(const World& world, const UnitRecord& unit) {
  const Aboard aboard = AboardOf(world, unit);
  if (aboard.missiles > 0.0f) return CargoMark::kMissiles;
  if (unit.carrier == 0 && unit.cargoNext != 0 && aboard.cargo > 0.0f) return CargoMark::kCargo;
  return CargoMark::kNone;
}

uint32_t ReadinessColour(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  float r = (1.1f - unit.disruption) * unit.morale * unit.efficiency * 1.5f;
  const float ammoRoom = AmmunitionRoomOf(world, unit, cls).capacity;
  if (unit.ammo < ammoRoom / 5.0f) r *= unit.ammo / (ammoRoom / 5.0f);
  const float fuelRoom = cls.fuelCapacity * unit.strength / 5.0f;
  if (unit.fuel < fuelRoom) r *= unit.fuel / fuelRoom;
  // A negative or unknown readiness is none at all: the channels stay bytes.
  r = r > 0.0f ? std::min(r, 1.0f) : 0.0f;
  const auto channel = [](float v) { return static_cast<uint32_t>(std::lround(v * 255.0f)); };
  return 0xFF000000u | channel(1.0f - r) << 16 | channel(r) << 8;
}

void UnitProgressRow::BindControls() {
  c_.Bind(currentForm);
  if (c_.strengthBar) strengthRect_ = c_.strengthBar->rect;
  if (c_.icons[0]) iconLeft_ = c_.icons[0]->rect.left;
  if (c_.progressBar) progressLeft_ = c_.progressBar->rect.left;
}

void UnitProgressRow::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* unit = id > 0 ? FindUnitById(g_world, static_cast<uint32_t>(id)) : nullptr;
  const UnitClassRecord* cls = unit ? ClassRecordAt(g_world, unit->classIndex) : nullptr;
  if (!cls) return;
  if (unit->unitFlags & kUnitStock) {
    SetHidden(Tag(currentForm, "CLASSPAR"), true);
  } else {
    FillUnitClassHeader(currentForm, *cls, classRow, nullptr);
  }
  SetControlText(c_.nameText, UnitDisplayName(g_world, *unit, true).c_str());
}

void UnitProgressRow::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* unit = id > 0 ? FindUnitById(g_world, static_cast<uint32_t>(id)) : nullptr;
  const UnitClassRecord* cls = unit ? ClassRecordAt(g_world, unit->classIndex) : nullptr;
  if (!cls || !currentForm) return;
  const bool building = UnitUnderConstruction(*unit);
  if (auto* name = dynamic_cast<StringControl*>(c_.nameText)) name->textColour = NameColour(*unit, building);
  const int32_t overhang = BadgeOverhang(currentForm, "CLASSPAR", kBadgeRight);
  if (building) {
    ShowBuildBar(c_.progressBar, UnitBuildProgress(*cls, unit->targetStrength, unit->buildWork));
    SetLeft(c_.nameText, kPlainIndent + overhang);
    for (Control* icon : c_.icons) SetHidden(icon, true);
    SetHidden(c_.strengthBar, true);
    return;
  }
  SetHidden(c_.progressBar, true);
  SetHidden(c_.icons[kResearchIcon], true);
  SetHidden(c_.strengthBar, false);
  if (c_.strengthBar) {
    c_.strengthBar->fills[kLookNormal] = ReadinessColour(g_world, *unit, *cls);
    SliderSetMaxFloat(c_.strengthBar, static_cast<float>(cls->strengthPerSize) * unit->targetStrength);
    SliderSetValueFloatNotify(c_.strengthBar, unit->strength);
  }
  SetRight(c_.nameText, currentForm->rect.right - 24);
  // The records keep no landed mark: the landed icon stays hidden.
  const CargoMark mark = CargoMarkOf(g_world, *unit);
  const int shown = mark == CargoMark::kMissiles ? kMissileIcon : (mark == CargoMark::kCargo ? kCargoIcon : -1);
  for (int i : {kCargoIcon, kMissileIcon, kLandedIcon}) SetHidden(c_.icons[i], i != shown);
  SetLeft(c_.nameText, (shown < 0 ? kPlainIndent : kMarkedIndent) + overhang);
}

void UnitProgressRow::OnHostNotify(int32_t code, int32_t width) {
  if (code != 99 || !currentForm) return;
  currentForm->rect.right = width;
  SetRight(c_.nameText, width);
  SetLeft(c_.progressBar, progressLeft_);
  SetRight(c_.progressBar, width - 4);
  if (c_.strengthBar) c_.strengthBar->rect = {width - 22, strengthRect_.top, width - 2, strengthRect_.bottom};
  for (Control* icon : c_.icons)
    if (icon) RectMoveTo(&icon->rect, iconLeft_, icon->rect.top);
  if (!c_.nameText || width - Width(c_.strengthBar) - 4 - c_.nameText->rect.left >= kNameRoom) return;
  SetHidden(Tag(currentForm, "CLASSPAR"), true);
  bool marked = false;
  for (Control* icon : c_.icons) {
    if (!icon) continue;
    RectMoveTo(&icon->rect, kNarrowMarkLeft, icon->rect.top);
    marked = marked || !icon->Hidden();
  }
  const int32_t left = marked ? kNarrowMarkedNameLeft : kNarrowNameLeft;
  c_.nameText->rect.left = left;
  SetRight(c_.nameText, width - 2);
  SetLeft(c_.progressBar, left);
  if (c_.strengthBar) c_.strengthBar->rect = {left, kBarBandTop, width - 4, kBarBandBottom};
}

namespace {

constexpr int32_t kMissileIndent = 32, kTargetIndent = 47;
// The frame the rows show a class picture in, turned but not turning.
constexpr int32_t kRowPictureFrame = 9;

// A stock is drawn grey once its orders are spent or it has none to wait
// for, yellow while it waits on orders.
uint32_t MissileNameColour(const UnitRecord& unit) {
  const OrderBlock& shown = unit.ordersShown;
  if (shown[kStateFlags] & (1u << 30)) return kNameGrey;
  return shown[kOrderFlags] == 0 ? kNameYellow : kNameGrey;
}

}  // namespace

void MissileProgressRow::BindControls() {
  Control* f = currentForm;
  nameText_ = f ? FormFindControlById(f, 2) : nullptr;
  progressBar_ = dynamic_cast<SlideBarControl*>(Tag(f, "PROGBAR"));
  targetIcon_ = Tag(f, "TARGICON");
  picture_ = Tag(f, "UNITPIC");
  if (targetIcon_) targetIconLeft_ = targetIcon_->rect.left;
  if (progressBar_) progressLeft_ = progressBar_->rect.left;
}

void MissileProgressRow::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* unit = id > 0 ? FindUnitById(g_world, static_cast<uint32_t>(id)) : nullptr;
  const UnitClassRecord* cls = unit ? ClassRecordAt(g_world, unit->classIndex) : nullptr;
  if (cls) FillUnitClassHeader(currentForm, *cls, classRow, carrierRow);
  const bool pictured = cls && g_uiOptions.bshowequipulistob != 0;
  if (pictured) DrawUnitPicture(currentForm, *cls, nullptr, kRowPictureFrame, 0);
  SetHidden(picture_, !pictured);
}

void MissileProgressRow::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* unit = id > 0 ? FindUnitById(g_world, static_cast<uint32_t>(id)) : nullptr;
  const UnitClassRecord* cls = unit ? ClassRecordAt(g_world, unit->classIndex) : nullptr;
  if (!cls || !currentForm) return;
  const std::string name = UnitDisplayName(g_world, *unit, true);
  const std::string count = std::to_string(WholeFigure(std::round(unit->strength))) + "x " + name;
  SetControlText(nameText_, count.c_str());
  const int32_t overhang = BadgeOverhang(currentForm, "CLASSPAR2", kMissileBadgeRight);
  if (auto* text = dynamic_cast<StringControl*>(nameText_)) text->textColour = MissileNameColour(*unit);
  if (UnitUnderConstruction(*unit)) {
    ShowBuildBar(progressBar_, UnitBuildProgress(*cls, unit->targetStrength, unit->buildWork));
    SetHidden(targetIcon_, true);
    SetLeft(nameText_, kMissileIndent + overhang);
    return;
  }
  SetHidden(progressBar_, true);
  const bool aimed = unit->ordersShown[kFireHex] != 0;
  SetHidden(targetIcon_, !aimed);
  SetLeft(nameText_, (aimed ? kTargetIndent : kMissileIndent) + overhang);
}

void MissileProgressRow::OnHostNotify(int32_t code, int32_t width) {
  if (code != 99 || !currentForm) return;
  currentForm->rect.right = width;
  if (targetIcon_) RectMoveTo(&targetIcon_->rect, targetIconLeft_, targetIcon_->rect.top);
  SetLeft(progressBar_, progressLeft_);
  int32_t picture = picture_ && !picture_->Hidden() ? Width(picture_) : 0;
  const bool narrow = nameText_ && width - picture - nameText_->rect.left < kNameRoom;
  if (narrow) {
    for (const char* badge : {"CLASSPAR", "CLASSPAR2"}) SetHidden(Tag(currentForm, badge), true);
    SetHidden(picture_, true);
    picture = 0;
    const bool marked = targetIcon_ && !targetIcon_->Hidden();
    if (targetIcon_) RectMoveTo(&targetIcon_->rect, kNarrowMarkLeft, targetIcon_->rect.top);
    nameText_->rect.left = marked ? kNarrowMarkedNameLeft : kNarrowNameLeft;
    SetLeft(progressBar_, nameText_->rect.left);
  }
  if (picture) RectMoveTo(&picture_->rect, width - picture, picture_->rect.top);
  SetRight(nameText_, width - picture - (narrow ? 2 : 0));
  SetRight(progressBar_, width - 4 - picture);
}
