#include "screens/military/units/unit_detail_popup.h"

#include <cstdio>
#include <string>

#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/unit_tab_figures.h"
#include "screens/military/orders/orders_training.h"
#include "screens/military/production/production_lists.h"
#include "screens/common/units/unit_header.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/text/rule_tables.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/unit_create.h"
#include "world/unit_groups.h"
#include "world/world.h"

namespace {

constexpr int32_t kGroupButtons = 240, kMarkerIds = 191, kTrainingIds = 170;
// The name field takes clicks into it only while a rename is under way.
constexpr uint32_t kNameEditable = 0x8;
constexpr int32_t kLockSound = 9;
constexpr uint32_t kContinuousBuild = 0x8000000u;

bool InGame() { return g_ui.mode == kUiInGame; }

// A unit still in the ring; one removed from it is gone for the pop-up.

ListItem28* GroupItem(const ListHolder& group, const UnitRecord& u) {
  for (ListItem28* i = FirstInHolder(group); i; i = NextInHolder(group, i))
    if (i->object == &u || static_cast<uint32_t>(i->callerWord) == u.id) return i;
  return nullptr;
}

// What the mode table chooses from, read under the lock in one go.
struct OpenState {
  bool present = false;
  bool foreignOrGone = false;  // in a game: another player's, or removed
  bool building = false;       // an own unit under construction
  int32_t classIndex = 0;
  std::string name;
  bool member[kUnitGroupsPerPlayer] = {};
};

OpenState ReadOpenState(uint32_t unitId) {
  OpenState s;
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = FindUnitById(g_world, unitId);
  if (!u) return s;
  s.present = true;
  s.classIndex = u->classIndex;
  const bool gone = (u->unitFlags & kUnitGone) != 0;
  s.foreignOrGone = InGame() && (gone || u->owner != g_world.gameState.localPlayer);
  s.building = u->classIndex != 0 && (u->orders[kPostureBits] & kPostureUnderConstruction) != 0;
  s.name = UnitDisplayName(g_world, *u, false);
  if (const int32_t local = LocalPlayerIndex(g_world); local >= 0) {
    WorldLockGuard groups(g_world, kLockRecurring);
    for (int32_t g = 0; g < kUnitGroupsPerPlayer; ++g)
      s.member[g] = GroupItem(g_world.unitGroups.groups[local][g], *u) != nullptr;
  }
  return s;
}

// Warheads aboard a unit not itself carried, whole points of each.
struct Warheads {
  int32_t nuclear = 0;
  int32_t chemical = 0;
};

Warheads CarriedWarheads(const UnitRecord& u) {
  plat::CriticalSectionLock lock(g_simulationLock);
  Warheads w;
  if (u.carrier != 0) return w;
  int32_t guard = 0;
  for (const UnitRecord* c = FindUnitById(g_world, u.cargoNext); c && guard < kCargoChainLimit; c = FindUnitById(g_world, c->cargoNext), ++guard) {
    const UnitClassRecord* cls = ClassRecordAt(g_world, c->classIndex);
    if (!cls || !(c->unitFlags & kUnitStock) || !(c->strength >= 1.0f)) continue;
    const int32_t points = WholeFigure(c->strength);
    if (cls->flags & kClassSpecialWeapons) {
      w.nuclear += points;
    } else if (cls->flags & kClassSpecialImmune) {
      w.chemical += points;
    }
  }
  return w;
}

}  // namespace

void UnitDetailPopup::BindControls() {
  Control* f = currentForm;
  infoHost = Tag(f, "SUBPARENT2");
  statsHost = Tag(f, "SUBPARENT3");
  detailHost = Tag(f, "SUBPARENT4");
  strengthHost = Tag(f, "SUBPARENT5");
  commandHost = Tag(f, "SUBPARENT6");
  extraHost = Tag(f, "PAR3C");
  BindUnitPictureAndStepping(f);
  // No game text names the markers: they go without text.
  for (int32_t i = 0; i < 8; ++i) SetControlText(Id(f, kMarkerIds + i), "");
  MarkScreenFlag1(*this);
}

void UnitDetailPopup::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Control* f = currentForm;
  ScreenSet& s = g_screens;
  ShowTag(f, "RENUNITBUT", true);
  if (parameterList) parameterList->current = id;
  unit = id > 0 ? static_cast<uint32_t>(id) : 0;
  const OpenState st = ReadOpenState(unit);
  if (!st.present) {
    // Refresh finds it gone too and closes the pop-up.
    classIndex = 0;
    return;
  }
  classIndex = st.classIndex;
  const auto unitParam = static_cast<intptr_t>(unit);
  for (const char* tag : {"SUBPARENT6", "SUBPARENT5", "SUBPARENT4"}) ShowTag(f, tag, true);
  ShowTag(f, "DESTROYED", false);
  ShowTag(f, "GROUPHIDE", false);
  if (!InGame()) {
    s.unitCommands.Show(unitParam, commandHost);
    SetHidden(commandHost, true);
    s.unitAttributesPanel.Show(unitParam, detailHost);
    s.unitDetailPanel.Show(unitParam, infoHost);
    ShowTag(f, "RENUNITBUT", true), ShowTag(f, "TECHBUT", true);
    ShowTag(f, "UINFOBUT", false), ShowTag(f, "LOCK", false);
  } else if (st.foreignOrGone) {
    s.unitPriority->Show(unitParam, commandHost);
    s.unitClassSheet.Show(classIndex, infoHost);
    for (const char* tag : {"RENUNITBUT", "UINFOBUT", "TECHBUT", "LOCK", "SUBPARENT4"}) ShowTag(f, tag, false);
  } else {
    if (st.building) {
      s.unitHomeBase->Show(unitParam, commandHost);
    } else {
      s.unitCommands.Show(unitParam, commandHost);
      // Without a local player there are no groups to show.
      ShowTag(f, "GROUPHIDE", LocalPlayerIndex(g_world) >= 0);
    }
    s.unitDetailPanel.Show(unitParam, infoHost);
    ShowTag(f, "RENUNITBUT", true), ShowTag(f, "TECHBUT", true), ShowTag(f, "LOCK", true);
    ShowTag(f, "UINFOBUT", false);
  }
  s.unitClassStats.Show(unitParam, statsHost);
  s.unitStrength.Show(unitParam, strengthHost);
  s.unitExtraFill.Show(classIndex, extraHost);
  if (Control* name = Tag(f, "UNITNAME")) {
    name->flags &= ~kNameEditable;
    SetControlText(name, st.name.c_str());
  }
  for (int32_t g = 0; g < kUnitGroupsPerPlayer; ++g) Press(Id(f, kGroupButtons + g), st.member[g]);
}

void UnitDetailPopup::Refresh() {
  Control* f = currentForm;
  if (!unit || !f) return;
  bool building = false, own = false, gone = false, located = false, locked = false;
  uint32_t options = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = FindUnitById(g_world, unit);
    const UnitClassRecord* cls = u ? ClassRecordAt(g_world, u->classIndex) : nullptr;
    if (!u) {
      // Removed from the ring: there is nothing left to show.
      unit = 0;
      Close(0);
      return;
    }
    if (cls) FillUnitHeader(f, u, *cls, nullptr);
    building = (u->ordersShown[kPostureBits] & kPostureUnderConstruction) != 0;
    own = LocalPlayerIndex(g_world) >= 0 && u->owner == g_world.gameState.localPlayer;
    gone = (u->unitFlags & kUnitGone) != 0;
    located = u->x != 0 || u->y != 0;
    locked = (u->ordersShown[kPostureBits] & kPostureNoAutoDeploy) != 0;
    options = u->ordersShown[kStateFlags];
    // The records keep no commissioning day.
    ShowTag(f, "HIDECOMM", false);
    SetFormatted(Tag(f, "UKILLS"), "%d", u->kills);
    // Nor a marker set.
    for (int32_t i = 0; i < 8; ++i) SetHidden(Id(f, kMarkerIds + i), true);
    for (int32_t l = 1; l <= 4; ++l) SetHidden(Id(f, kTrainingIds + l), true);
    if (const int32_t level = TrainingState(*u); level > 0) {
      Control* marker = Id(f, kTrainingIds + level);
      SetHidden(marker, false);
      SetControlText(marker, RuleTablesOf(g_world).trainingTypes.entries[level].name.c_str());
    }
    SetControlText(Tag(f, "UNITCLASS"), cls ? cls->name : "");
    const Warheads w = CarriedWarheads(*u);
    ShowTag(f, "NUKE", w.nuclear != 0);
    ShowTag(f, "CHEM", w.chemical != 0);
  }
  ScreenSet& s = g_screens;
  if (!building) {
    s.unitStrength.Show(static_cast<intptr_t>(unit), strengthHost);
    if (own) ShowTag(f, "SUBPARENT4", true);
  } else {
    s.unitProgress->Show(static_cast<intptr_t>(unit), strengthHost);
    ShowTag(f, "SUBPARENT4", false);
  }
  UpdateNextPrevButtons(parameterList, f);
  const bool filter = InGame() && building;
  ShowTag(f, "BUILDFILTER", filter);
  if (filter) {
    Press(Tag(f, "AUTOBUT"), (options & kStateDeployRefused) != 0);
    Press(Tag(f, "CONTBUT"), (options & kContinuousBuild) != 0);
  }
  // Outside a game the command grid stays attached but out of sight.
  if (InGame()) ShowTag(f, "SUBPARENT6", true);
  ShowTag(f, "CENTRE", located);
  Press(Tag(f, "LOCK"), locked);
  if (gone) {
    for (const char* tag : {"SUBPARENT6", "SUBPARENT5", "SUBPARENT4"}) ShowTag(f, tag, false);
    ShowTag(f, "DESTROYED", true);
  }
}

int32_t UnitDetailPopup::Close(int32_t noReturn) {
  const int32_t result = Screen::Close(noReturn);
  if (auto* picture = dynamic_cast<BitmapControl*>(Tag(currentForm, "UNITPIC")))
    picture->frame = static_cast<uint8_t>(kUnitPictureRestingFrame);
  Control* host = DockHost(g_screens, kDockLevelThird);
  if (host && !host->Hidden() && host->firstChild && host->firstChild->owner)
    host->firstChild->owner->Show(kKeepScreenId, nullptr);
  return result;
}

void UnitDetailPopup::OnCommand(Control* control, int32_t controlId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!control) return;
  Control* f = currentForm;
  ScreenSet& s = g_screens;
  const uint32_t on = control->Selected() ? 1u : 0u;
  if (Is(control, "CLOSEBUT")) {
    Close(0);
  } else if (Is(control, "NEXTBUT") || Is(control, "PREVBUT")) {
    SelectListItem(*this, Is(control, "NEXTBUT") ? 1 : -1);
  } else if (Is(control, "TECHBUT")) {
    s.unitClassSheet.Show(classIndex, infoHost);
    ShowTag(f, "UINFOBUT", true), ShowTag(f, "TECHBUT", false);
  } else if (Is(control, "UINFOBUT")) {
    s.unitDetailPanel.Show(static_cast<intptr_t>(unit), infoHost);
    ShowTag(f, "UINFOBUT", false), ShowTag(f, "TECHBUT", true);
  } else if (!unit) {
    return;
  } else if (Is(control, "AUTOBUT")) {
    PostArgs(kCmdUnitSetStateBits, OrderBitsArgs{.unit = unit, .bits = kStateDeployRefused, .set = on});
  } else if (Is(control, "CONTBUT")) {
    PostArgs(kCmdUnitSetStateBits, OrderBitsArgs{.unit = unit, .bits = kContinuousBuild, .set = on});
  } else if (Is(control, "LOCK")) {
    PlayPopupSound(kLockSound);
    PostArgs(kCmdUnitSetNoAutoDeploy, OrderValueArgs{.unit = unit, .value = on});
  } else if (Is(control, "RENUNITBUT")) {
    if (Control* name = Tag(f, "UNITNAME")) {
      name->flags |= kNameEditable;
      TextEditSetActive(name);
    }
    ShowTag(f, "RENUNITBUT", false);
  } else if (Is(control, "UNITORDER")) {
    const uint32_t shown = unit;
    CloseAllPopups(g_ui, 0);
    OrderUnitOnMap(s, static_cast<int32_t>(shown));
  } else if (Is(control, "CENTRE")) {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = FindUnitById(g_world, unit);
    if (u && (u->x != 0 || u->y != 0)) GotoMapObject(u);
  } else {
    const int32_t cid = control->id ? control->id : controlId;
    const int32_t local = LocalPlayerIndex(g_world);
    // Without a local player there is no group list to change.
    if (cid < kGroupButtons || cid >= kGroupButtons + kUnitGroupsPerPlayer || local < 0) return;
    plat::CriticalSectionLock sim(g_simulationLock);
    WorldLockGuard lock(g_world, kLockRecurring);
    UnitRecord* u = FindUnitById(g_world, unit);
    if (!u) return;
    ListHolder& group = g_world.unitGroups.groups[local][cid - kGroupButtons];
    ListItem28* item = GroupItem(group, *u);
    if (on && !item) NewListItem28(u, false, static_cast<intptr_t>(u->id), group);
    if (!on && item) ListHolderRemove(group, item);
  }
}

void UnitDetailPopup::OnEndEdit(Control* control, int32_t) {
  if (!Is(control, "UNITNAME")) return;
  control->flags &= ~kNameEditable;
  auto* field = dynamic_cast<TextControl*>(control);
  const std::string text = field ? field->sourceText : std::string();
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    // An empty text gives the unit back its generated name.
    if (UnitRecord* u = FindUnitById(g_world, unit)) SetUnitCustomName(g_world, *u, text.empty() ? nullptr : text.c_str());
  }
  ShowTag(currentForm, "RENUNITBUT", true);
}
