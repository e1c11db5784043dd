#include "screens/military/orders/mission_panels.h"

#include "screens/common/frame/side_bars.h"
#include "screens/common/units/order_settings.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/text/text_lists.h"

namespace {

OrderEditState& Edit() { return g_screens.ordersScreen.edit; }
bool Checked(const Screen& s, const char* tag) {
  const Control* c = Tag(s, tag);
  return c && c->Selected();
}
// The form itself when it carries the tag, else the tagged control.
Control* SubParent(const Screen& s, const char* tag) {
  if (!s.currentForm) return nullptr;
  if (ControlTagMatches(s.currentForm->tag, tag)) return s.currentForm;
  return s.currentForm->firstChild ? Tag(s, tag) : nullptr;
}
int32_t SliderValue(const Screen& s, int32_t id) {
  const auto* bar = dynamic_cast<const SlideBarControl*>(FormFindControlById(s.currentForm, id));
  return bar ? SliderGetValueInt(bar) : 0;
}

}  // namespace

void MissionPanel::BindControls() {
  DockInSecondBotbar2(*this);
  subParent = SubParent(*this, "SUBPARENT2");
}

void MissionPanel::OnOpen() {
  LoadDefaultsForParameter(*this);
  const int32_t* f = Edit().commonOrders;
  SetOrderSlider(*this, 116, f[kFieldImportance], 1);
  SetOrderSlider(*this, 117, f[kFieldLossTolerance], 2);
  if (Checked(*this, "ATTACK"))
    g_screens.targetTactic.Show(kKeepScreenId, subParent);
  else if (Checked(*this, "DEFEND"))
    g_screens.orderChoice->Show(kKeepScreenId, subParent);
  OrdersDockStep(g_screens, 3);
}

void MissionPanel::Refresh() {
  SetControlText(Tag(*this, "IMPORTANCE"), TextListEntry(g_textLists, kListOrdimportance, SliderValue(*this, 116)));
  SetControlText(Tag(*this, "LOSSTOL"), TextListEntry(g_textLists, kListOrdlosstol, SliderValue(*this, 117)));
  ShowSettingsPostButtons(*this);
}

void MissionPanel::OnCommand(Control* control, int32_t) {
  if (Is(control, "ATTACK")) {
    g_screens.targetTactic.Show(kKeepScreenId, subParent);
    Refresh();
  } else if (Is(control, "DEFEND")) {
    g_screens.orderChoice->Show(kKeepScreenId, subParent);
    Refresh();
  } else {
    OnSettingsPostButton(*this, control);
  }
}

void MissionPanel::OnControlChange(Control* control, int32_t id) { ForwardOrderControlChange(*this, control, id); }

void TargetTacticPanel::BindControls() {
  hostLink = &g_screens.missionPanel.subParent;
  subParent = SubParent(*this, "SUBPARENT3");
}

void TargetTacticPanel::OnOpen() {
  const int32_t* f = Edit().commonOrders;
  const int32_t target = f[kFieldTarget] < 0 ? 0 : f[kFieldTarget];
  CheckOrderRadio(*this, 101, target);
  CheckOrderRadio(*this, 110, f[kFieldTactic]);
  ObjectiveChoiceBox* boxes[] = {&g_screens.objectiveChoiceA, &g_screens.objectiveChoiceB, &g_screens.objectiveChoiceC};
  const Control* first = FormFindControlById(currentForm, 101);
  const Control* second = FormFindControlById(currentForm, 102);
  const int shown = first && first->Selected() ? 0 : second && second->Selected() ? 1 : 2;
  boxes[shown]->Show(kKeepScreenId, subParent);
}

void TargetTacticPanel::Refresh() {
  const int32_t* f = Edit().commonOrders;
  SetControlText(Tag(*this, "TARGET"), OrderFieldName(kListOrdtarget, f[kFieldTarget]));
  SetControlText(Tag(*this, "OBJECTIVE"), TextListEntry(g_textLists, kListOrdobjective, objective));
  SetControlText(Tag(*this, "TACTIC"), OrderFieldName(kListOrdtactic, f[kFieldTactic]));
}

void TargetTacticPanel::OnCommand(Control*, int32_t id) {
  // A new target kind brings its own objective box.
  if (id >= 101 && id <= 103) Show(kKeepScreenId, nullptr);
}

void TargetTacticPanel::OnControlChange(Control* control, int32_t id) { ForwardOrderControlChange(*this, control, id); }

int32_t ObjectiveOfHeader(int kind, uint32_t header) {
  if (kind == 0) return (header >> 3) & 1u;
  if (kind == 1) return (header & (1u << 5)) ? 4 : (header & (1u << 4)) ? 2 : 3;
  return 5 + static_cast<int32_t>((header >> 6) & 1u);
}

void ObjectiveChoiceBox::BindControls() { hostLink = &g_screens.targetTactic.subParent; }

void ObjectiveChoiceBox::OnOpen() {
  const uint32_t header = Edit().commonHeaderBits;
  if (kind_ == 0) {
    SetCheck(*this, 121, (header & (1u << 3)) != 0);
  } else if (kind_ == 1) {
    SetCheck(*this, 122, (header & (1u << 4)) != 0);
    SetCheck(*this, 124, (header & (1u << 5)) != 0);
  } else {
    SetCheck(*this, 126, (header & (1u << 6)) != 0);
  }
}

void ObjectiveChoiceBox::Refresh() { g_screens.targetTactic.objective = ObjectiveOfHeader(kind_, Edit().commonHeaderBits); }

void ObjectiveChoiceBox::OnControlChange(Control* control, int32_t id) { ForwardOrderControlChange(*this, control, id); }

namespace {

class OrderChoiceBox : public Screen {
 public:
  OrderChoiceBox() : Screen("ORDERS1_ss3a2", FormLookups{.tags = kOrderChoiceTags, .ids = kOrderChoiceIds}) {}
  void BindControls() override { hostLink = &g_screens.missionPanel.subParent; }
  void OnOpen() override {
    CheckOrderRadio(*this, 130, Edit().commonOrders[kFieldPatrol]);
    const bool areaPatrol = (Edit().commonHeaderBits & (1u << 7)) != 0;
    SetCheck(*this, areaPatrol ? 140 : 141, true);
  }
  void Refresh() override {
    const int32_t patrol = Edit().commonOrders[kFieldPatrol];
    SetControlText(Tag(*this, "ORDER1"), OrderFieldName(kListOrdpatrol, patrol));
    SetHidden(Tag(*this, "HIDEBOX"), patrol != 0);
    SetControlText(Tag(*this, "ORDER2"),
                   TextListEntry(g_textLists, kListOrdpattype, (Edit().commonHeaderBits & (1u << 7)) ? 1 : 0));
  }
  void OnControlChange(Control* control, int32_t id) override { ForwardOrderControlChange(*this, control, id); }
};

}  // namespace

std::unique_ptr<Screen> MakeOrderChoiceBox() { return std::make_unique<OrderChoiceBox>(); }
