#include "screens/common/units/order_settings.h"

#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/policy_command_args.h"
#include "sim/unit_order_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "world/local_player.h"
#include "units/class_fields.h"
#include "world/text/ui_options.h"
#include "world/world.h"

int32_t g_pendingOrder = 1;

namespace {

// Radio groups that set one field: the value is the id minus the first id.
struct FieldGroup {
  int32_t firstId;
  int32_t count;
  int field;
};
constexpr FieldGroup kFieldGroups[] = {
    {31, 4, kFieldSpeed},  {35, 4, kFieldRoute},  {46, 4, kFieldFormation},
    {101, 3, kFieldTarget}, {110, 4, kFieldTactic}, {130, 4, kFieldPatrol},
};

struct SliderField {
  int32_t id;
  int field;
};
constexpr SliderField kSliderFields[] = {{116, kFieldImportance}, {117, kFieldLossTolerance}, {118, kFieldInitiative}};

// What a header control does. A following control copies its check into
// the bits; the others set and clear their bits only when checked. The
// marked bits count as changed either way. Bit 5 belongs to two three-way
// choices: its own option clears the partner in the edited header but marks
// bit 5 alone, so each unit keeps its partner bit.
struct HeaderControl {
  int32_t id;
  uint32_t set;
  uint32_t clear;
  uint32_t marks;
  bool follows;
  int32_t dependent;  // shown while checked, 0 none
};
constexpr uint32_t Bit(int b) { return 1u << b; }
constexpr HeaderControl kHeaderControls[] = {
    {41, Bit(0), 0, Bit(0), true, 0},
    {43, Bit(1), 0, Bit(1), true, 45},
    {108, Bit(2), 0, Bit(2), true, 109},
    {120, 0, Bit(3), Bit(3), false, 0},
    {121, Bit(3), 0, Bit(3), false, 0},
    {122, Bit(4), Bit(5), Bit(4) | Bit(5), false, 0},
    {123, 0, Bit(4) | Bit(5), Bit(4) | Bit(5), false, 0},
    {124, Bit(5), Bit(4), Bit(5), false, 0},
    {125, 0, Bit(6), Bit(6), false, 0},
    {126, Bit(6), 0, Bit(6), false, 0},
    {140, Bit(7), 0, Bit(7), false, 0},
    {141, 0, Bit(7), Bit(7), false, 0},
    {142, Bit(8), Bit(5), Bit(8) | Bit(5), false, 0},
    {143, 0, Bit(8) | Bit(5), Bit(8) | Bit(5), false, 0},
    {144, Bit(5), Bit(8), Bit(5), false, 0},
    {145, Bit(9), 0, Bit(9), true, 0},
    {147, Bit(10), 0, Bit(10), true, 0},
    {146, Bit(11), 0, Bit(11), true, 0},
    {148, Bit(12), 0, Bit(12), true, 0},
    {149, Bit(14), 0, Bit(14), true, 0},
    {150, Bit(15), 0, Bit(15), true, 0},
};
constexpr int32_t kCustomOrdersControl = 151;

// Takes the unit's value into a gathered one.
void Merge(int32_t& common, int32_t value) {
  if (common == kOrderNone)
    common = value;
  else if (common != value)
    common = kOrderMixed;
}

}  // namespace

uint32_t PackOrderSettings(const OrderEditState& state) {
  uint32_t word = 0;
  for (int i = 0; i < kOrderFields; ++i) {
    word &= ~(3u << (2 * i));
    word |= (static_cast<uint32_t>(state.commonOrders[i]) & 3u) << (2 * i);
  }
  return word;
}

void GatherSelectionOrders(OrderEditState& state, std::span<UnitRecord* const> units) {
  const int32_t targetUnit = state.targetUnit;
  state = OrderEditState{};
  state.targetUnit = targetUnit;
  for (const UnitRecord* unit : units) {
    const OrderBlock& o = unit->ordersShown;
    Merge(state.commonOrder, static_cast<int32_t>(o[kOrderId]));
    Merge(state.commonType, unit->unitType);
    Merge(state.commonClass, unit->classIndex);
    Merge(state.commonFlag12, (unit->unitFlags2 & kUnit2CustomOrders) ? 1 : 0);
    Merge(state.commonOrder7, static_cast<int32_t>(o[kFireUnit]));
    Merge(state.commonOrder8, static_cast<int32_t>(o[kLeaderUnit]));
    for (int i = 0; i < kOrderFields; ++i) Merge(state.commonOrders[i], OrderWordField(o[kOrdersWord], i));
    // Only units in training bring a programme; once one is held, any unit
    // without that programme mixes it.
    const bool training = (o[kOrderMask] & kMaskTraining) != 0;
    if (state.commonTraining == kOrderNone) {
      if (training) state.commonTraining = unitbytes::OrderLevel(o);
    } else if (!training || state.commonTraining != unitbytes::OrderLevel(o)) {
      state.commonTraining = kOrderMixed;
    }
    state.commonHeaderBits &= o[kOrdersHeader];
  }
  state.settingsChanged = 0;
  state.changedHeaderMask = 0;
}

void UnpackOrderSettings(OrderEditState& state, const World& world) {
  const PlayerRecord* player = LocalPlayer(world);
  // Without a local region there are no standing orders to show.
  const uint32_t word = player ? player->displayPolicy.defsetadvorders[1] : 0;
  for (int i = 0; i < kOrderFields; ++i) state.commonOrders[i] = OrderWordField(word, i);
  state.commonHeaderBits = player ? player->displayPolicy.defsetadvorders[0] : 0;
  state.commonFlag12 = kOrderNone;
  state.settingsChanged = 0;
  state.changedHeaderMask = 0;
}

void PostDefaultOrderSettings(OrderEditState& state) {
  PostArgs(kCmdDefSetAdvOrders, SettingPairArgs{.first = static_cast<uint32_t>(state.commonHeaderBits | kOrderHeaderPosted),
                                                .second = PackOrderSettings(state)});
  state.settingsChanged = 0;
  state.changedHeaderMask = 0;
}

void PostUnitOrderSettings(const OrderEditState& state, World& world) {
  const uint32_t header = state.commonHeaderBits | kOrderHeaderPosted;
  const uint32_t word = PackOrderSettings(state);
  UnitRecord* first = world.units;
  if (!first) return;
  UnitRecord* unit = first;
  do {
    if (IsUnitLive(*unit) && unit->owner == world.gameState.localPlayer &&
        !(unit->unitFlags2 & kUnit2CustomOrders)) {
      if (unit->ordersShown[kOrdersHeader] != header)
        PostArgs(kCmdUnitSetOrdersHeader, OrderValueArgs{.unit = unit->id, .value = header});
      if (unit->ordersShown[kOrdersWord] != word)
        PostArgs(kCmdUnitSetOrdersWord, OrderValueArgs{.unit = unit->id, .value = word});
    }
    unit = unit->next;
  } while (unit && unit != first);
}

void ApplyOrderSettingsToUnit(const OrderEditState& state, UnitRecord& unit) {
  if (!state.settingsChanged) return;
  const OrderBlock& o = unit.ordersShown;
  if (state.changedHeaderMask != 0) {
    const uint32_t mask = state.changedHeaderMask;
    const uint32_t header = ((o[kOrdersHeader] & ~mask) | (state.commonHeaderBits & mask)) | kOrderHeaderPosted;
    if (header != o[kOrdersHeader]) PostArgs(kCmdUnitSetOrdersHeader, OrderValueArgs{.unit = unit.id, .value = header});
  }
  for (int i = 0; i < kOrderFields; ++i) {
    const int32_t value = state.commonOrders[i];
    if (value >= 0 && value != OrderWordField(o[kOrdersWord], i))
      PostArgs(kCmdUnitSetOrderSetting, OrderSettingArgs{.unit = unit.id,
                                                         .field = static_cast<uint32_t>(i),
                                                         .value = static_cast<uint32_t>(value)});
  }
  if (state.commonFlag12 >= 0) {
    if (state.commonFlag12)
      unit.unitFlags2 |= kUnit2CustomOrders;
    else
      unit.unitFlags2 &= ~kUnit2CustomOrders;
  }
}

void ApplyOrderControl(OrderEditState& state, Control* control, int32_t id, Control* form) {
  const bool checked = control && (control->state & kStateSelected);
  state.settingsChanged = 1;
  bool done = false;
  for (const FieldGroup& g : kFieldGroups)
    if (id >= g.firstId && id < g.firstId + g.count) {
      state.commonOrders[g.field] = checked ? id - g.firstId : kOrderMixed;
      done = true;
    }
  for (const SliderField& s : kSliderFields)
    if (!done && id == s.id) {
      if (auto* slider = dynamic_cast<SlideBarControl*>(form ? FormFindControlById(form, id) : nullptr))
        state.commonOrders[s.field] = SliderGetValueInt(slider);
      done = true;
    }
  for (const HeaderControl& h : kHeaderControls)
    if (!done && id == h.id) {
      if (h.follows)
        state.commonHeaderBits = checked ? state.commonHeaderBits | h.set : state.commonHeaderBits & ~h.set;
      else if (checked)
        state.commonHeaderBits = (state.commonHeaderBits | h.set) & ~h.clear;
      state.changedHeaderMask |= h.marks;
      if (h.dependent && form) SetHidden(FormFindControlById(form, h.dependent), !checked);
      done = true;
    }
  if (!done && id == kCustomOrdersControl) state.commonFlag12 = checked ? 1 : 0;
  if (form && form->owner) form->owner->Refresh();
  RequestFullRefresh(g_ui);
}

void ForwardOrderControlChange(Screen& screen, Control* control, int32_t id) {
  if (id == 0) return;
  ApplyOrderControl(g_screens.ordersScreen.edit, control, id, screen.currentForm);
}
