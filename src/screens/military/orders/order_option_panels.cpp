#include "screens/military/orders/order_option_panels.h"

#include "screens/common/frame/side_bars.h"
#include "screens/common/units/order_settings.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/text/text_lists.h"

namespace {

OrderEditState& Edit() { return g_screens.ordersScreen.edit; }
bool Bit(uint32_t header, int b) { return (header >> b) & 1u; }

// Rule boxes and the header bit each shows.
struct RuleBox {
  int32_t id;
  int bit;
};
constexpr RuleBox kRuleBoxes[] = {{142, 8}, {144, 5}, {145, 9}, {146, 11}, {147, 10}, {148, 12}, {149, 14}, {150, 15}};

}  // namespace

int32_t ContactOptionOfHeader(uint32_t header) { return Bit(header, 8) ? 0 : Bit(header, 5) ? 2 : 1; }

namespace {

class ContactOptionsPanel : public Screen {
 public:
  ContactOptionsPanel() : Screen("ORDERS1_ss3b", FormLookups{.tags = kContactTags, .ids = kContactIds}) {}
  void BindControls() override { DockInSecondBotbar2(*this); }
  void OnOpen() override {
    LoadDefaultsForParameter(*this);
    const OrderEditState& e = Edit();
    SetCheck(*this, 143, true);
    for (const RuleBox& r : kRuleBoxes) SetCheck(*this, r.id, Bit(e.commonHeaderBits, r.bit));
    SetCheck(*this, 151, e.commonFlag12 == 1);
    SetOrderSlider(*this, 118, e.commonOrders[kFieldInitiative], 0);
    OrdersDockStep(g_screens, 3);
  }
  void Refresh() override {
    const OrderEditState& e = Edit();
    SetControlText(Tag(*this, "CONTACTOP"),
                   TextListEntry(g_textLists, kListOrdcontact, ContactOptionOfHeader(e.commonHeaderBits)));
    SetControlText(Tag(*this, "INITIATIVE"), OrderFieldName(kListOrdinitiative, e.commonOrders[kFieldInitiative]));
    ShowSettingsPostButtons(*this);
  }
  void OnCommand(Control* control, int32_t) override { OnSettingsPostButton(*this, control); }
  void OnControlChange(Control* control, int32_t id) override { ForwardOrderControlChange(*this, control, id); }
};

}  // namespace

std::unique_ptr<Screen> MakeContactOptionsPanel() { return std::make_unique<ContactOptionsPanel>(); }

void MovementOptionsPanel::BindControls() {
  DockInSecondBotbar2(*this);
  calParent = nullptr;
  if (!currentForm) return;
  if (ControlTagMatches(currentForm->tag, "CALPARENT"))
    calParent = currentForm;
  else if (currentForm->firstChild)
    calParent = Tag(*this, "CALPARENT");
}

void MovementOptionsPanel::OnOpen() {
  LoadDefaultsForParameter(*this);
  const OrderEditState& e = Edit();
  CheckOrderRadio(*this, 31, e.commonOrders[kFieldSpeed]);
  CheckOrderRadio(*this, 35, e.commonOrders[kFieldRoute]);
  SetCheck(*this, 41, Bit(e.commonHeaderBits, 0));
  SetCheck(*this, 43, Bit(e.commonHeaderBits, 1));
  OrdersDockStep(g_screens, 3);
}

void MovementOptionsPanel::Refresh() {
  const OrderEditState& e = Edit();
  SetControlText(Tag(*this, "SPEED"), OrderFieldName(kListOrdspeed, e.commonOrders[kFieldSpeed]));
  SetControlText(Tag(*this, "ROUTE"), OrderFieldName(kListOrdroute, e.commonOrders[kFieldRoute]));
  SetControlText(Tag(*this, "TRANSPORTS"), Bit(e.commonHeaderBits, 0) ? "YES" : "NO");
  SetControlFlag(Tag(*this, "FORMATION"), kStateSelected, Bit(e.commonHeaderBits, 1) ? 1 : 0);
  if (schedule && calParent) schedule->Show(0, calParent);
  ShowSettingsPostButtons(*this);
}

void MovementOptionsPanel::OnCommand(Control* control, int32_t) {
  if (Is(control, "SCHEDBUT")) return;
  if (Is(control, "FYES")) {
    SetHidden(Tag(*this, "FORMPARENT"), !control->Selected());
    return;
  }
  OnSettingsPostButton(*this, control);
}

void MovementOptionsPanel::OnControlChange(Control* control, int32_t id) {
  ForwardOrderControlChange(*this, control, id);
}
