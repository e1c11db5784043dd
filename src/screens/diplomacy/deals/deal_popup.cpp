#include "screens/diplomacy/deals/deal_popup.h"

#include <string>

#include "app/number_text.h"
#include "records/player_relations.h"
#include "screens/diplomacy/deals/deal_offer.h"
#include "screens/common/region_row.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/mail_ui_link.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/player_names.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr int32_t kApproachIds = 101;  // 101..107 the seven approaches; 108, 109 take the same path
constexpr int32_t kApproachIdSpan = 9;
constexpr int32_t kRelationEnemy = 3;

DealPopup& ThePopup() { return g_screens.dealPopup; }

int32_t OtherPlayer() {
  const intptr_t id = ThePopup().id;
  return id >= 0 && id < kMaxPlayers ? static_cast<int32_t>(id) : 0;
}

bool HumanLed(int32_t player) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return g_world.players[player].kind == kKindHuman;
}

// One side of the pop-up: `self` seen against `other`.
void FillSide(Control* form, int side, int32_t self, int32_t other) {
  const char* suffix = side == 0 ? "1" : "2";
  const auto tag = [&](const char* stem) { return Tag(form, (std::string(stem) + suffix).c_str()); };
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord& record = g_world.players[self];
  SetControlText(tag("REGION"), RegionDisplayName(g_world, self));
  FillRegionRow(tag("FLAG"), "", self);
  SetControlText(tag("LEADER"), GetPlayerDisplayName(g_world, record));
  SetControlText(tag("GOVTYPE"), TextListText(kListGovtype, record.govtype));
  IconCellRect(kLeaderPortraits + record.avatar, tag("LEADPIC"), nullptr);
  const int32_t relation = RelationClass(record, other);
  if (Control* stance = tag("STANCE")) {
    SetControlText(stance, TextListText(kListDiprel, relation));
    if (relation == kRelationEnemy)
      stance->state |= kStateSelected;
    else
      stance->state &= ~kStateSelected;
  }
}

void SelectOnly(Control* form, int32_t firstId, int32_t count, int32_t chosen) {
  for (int32_t i = 0; i < count; ++i)
    if (Control* c = form ? FormFindControlById(form, firstId + i) : nullptr) {
      if (firstId + i == chosen)
        c->state |= kStateSelected;
      else
        c->state &= ~kStateSelected;
    }
}

}  // namespace

// The pop-up.

void DealPopup::BindControls() {
  editorHost = Tag(currentForm, "SUBPARENT2");
  pendingHost = Tag(currentForm, "SUBPARENT10");
}

void DealPopup::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t other = OtherPlayer();
  if (PrepareDealOffer(g_world, offer, other)) ++offerSerial;
  ScreenSet& s = g_screens;
  s.pendingDeals.Show(id, pendingHost);
  s.dealEditor.Show(id, editorHost);
  const int32_t local = LocalPlayerIndex(g_world);
  if (local < 0) return;
  FillSide(currentForm, 0, local, other);
  FillSide(currentForm, 1, other, local);
  Control* approachHost = s.dealEditor.approachHost;
  if (HumanLed(other))
    s.dealApproachPanel->Show(offer->kind, approachHost);
  else
    s.dealApproachChooser->Show(offer->kind, approachHost);
}

void DealPopup::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (const PlayerRecord* local = LocalPlayer(g_world))
    SetControlNumberText(0, 0, "", 1, "", 0, local->gdp, Tag(currentForm, "GDP1"));
  SetControlNumberText(0, 0, "", 1, "", 0, g_world.players[OtherPlayer()].gdp, Tag(currentForm, "GDP2"));
}

void DealPopup::OnCommand(Control* control, int32_t) {
  if (Is(control, "CLOSEBUT")) Close();
}

// The deals already running.

void PendingDealsPanel::BindControls() {
  received = MakeListBox("DIPLIST5", 0, currentForm, kListIndicators, this);
  given = MakeListBox("DIPLIST6", 0, currentForm, kListIndicators, this);
  cancelHost = Tag(currentForm, "SUBPARENT11");
}

void PendingDealsPanel::OnOpen() {
  for (ListBoxControl* list : {received, given})
    if (list) {
      ListDeselectAll(list);
      ListResetScroll(list);
    }
  g_screens.pendingDealCancel->Show(kKeepScreenId, cancelHost);
  SetHidden(cancelHost, true);
}

void PendingDealsPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t local = LocalPlayerIndex(g_world), other = OtherPlayer();
  if (local < 0) return;
  FillPendingDeals(g_world, received, local, other, receivedRows);
  FillPendingDeals(g_world, given, other, local, givenRows);
}

void PendingDealsPanel::OnControlChange(Control* control, int32_t) {
  ListBoxControl* partner = control == received ? given : control == given ? received : nullptr;
  auto* list = static_cast<ListBoxControl*>(control);
  if (partner && list->selectedId != 0) ListDeselectAll(partner);
  SetHidden(cancelHost, !((received && received->selectedId) || (given && given->selectedId)));
}

void PendingDealsPanel::OnActivate(Control* control, int32_t) {
  if (control == received || control == given) g_screens.pendingDealCancel->OnCommand(nullptr, 0);
}

namespace {

class PendingDealCancel : public Screen {
 public:
  PendingDealCancel() : Screen("POPUP_DIPLOMACY_SS2a", FormLookups{.tags = kPendingCancelTags, .ids = {}}) {}
  void OnCommand(Control* control, int32_t) override {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (control && !Is(control, "CANBUT")) return;
    PendingDealsPanel& panel = g_screens.pendingDeals;
    if (DipOffer* offer = ThePopup().offer.get())
      CancelPendingDeal(g_world, *offer, SelectedPendingDeal(panel.received, panel.receivedRows),
                        SelectedPendingDeal(panel.given, panel.givenRows));
    g_screens.dealEditor.Refresh();
  }
};

}  // namespace

std::unique_ptr<Screen> MakePendingDealCancel() { return std::make_unique<PendingDealCancel>(); }

// The approach.

namespace {

class DealApproachChooser : public Screen {
 public:
  DealApproachChooser() : Screen("POPUP_DIPLOMACY_SS3", FormLookups{.tags = kApproachChooserTags, .ids = kApproachChooserIds}) {}
  void OnOpen() override {
    SetControlText(Tag(currentForm, "APPROACH"), TextListText(kListEmoticons, static_cast<int32_t>(id)));
    SelectOnly(currentForm, kApproachIds, kOfferKinds, kApproachIds + static_cast<int32_t>(id));
    SetHidden(Tag(currentForm, "OK"), !HumanLed(OtherPlayer()));
  }
  void BindControls() override {
    for (int32_t i = 0; i < kOfferKinds; ++i)
      if (auto* c = dynamic_cast<StringControl*>(FormFindControlById(currentForm, kApproachIds + i))) {
        // A control's tooltip is its record text.
        const char* name = TextListText(kListEmoticons, i);
        c->recordText = name ? name : "";
      }
  }
  void OnCommand(Control* control, int32_t controlId) override {
    if (controlId >= kApproachIds && controlId < kApproachIds + kApproachIdSpan) {
      const int32_t approach = controlId - kApproachIds;
      if (approach >= kOfferKinds) return;
      if (DipOffer* offer = ThePopup().offer.get()) offer->kind = static_cast<uint8_t>(approach);
      Show(approach, nullptr);
    } else if (Is(control, "OK")) {
      g_screens.dealApproachPanel->Show(id, g_screens.dealEditor.approachHost);
    }
  }
};

class DealApproachPanel : public Screen {
 public:
  DealApproachPanel() : Screen("POPUP_DIPLOMACY_SS4", FormLookups{.tags = kApproachPanelTags, .ids = {}}) {}
  void OnOpen() override {
    SetControlText(Tag(currentForm, "APPROACH"), TextListText(kListEmoticons, static_cast<int32_t>(id)));
    // ALTER shows the approach's picture: frame n of its strip is approach n.
    if (auto* alter = TagAs<BitmapControl>(currentForm, "ALTER"); alter && id >= 0 && id < kOfferKinds) {
      alter->frame = static_cast<uint8_t>(id);
      alter->state |= kStateDirty;
    }
  }
  void BindControls() override { MakeTextBox("TEXTBOX", 0, currentForm); }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "ALTER")) g_screens.dealApproachChooser->Show(id, g_screens.dealEditor.approachHost);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeDealApproachChooser() { return std::make_unique<DealApproachChooser>(); }
std::unique_ptr<Screen> MakeDealApproachPanel() { return std::make_unique<DealApproachPanel>(); }

// Opening offers.

void OpenOfferTextInDealEditor(const char* text, bool swap) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t addressee = OpenOfferText(g_world, ThePopup().offer, text, swap);
  ++ThePopup().offerSerial;
  if (addressee >= 0) ThePopup().Popup(addressee, nullptr);
}

void OpenOfferInDealEditor(uint32_t messageSerial) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t addressee = OpenOfferMail(g_world, ThePopup().offer, messageSerial);
  ++ThePopup().offerSerial;
  if (addressee >= 0) ThePopup().Popup(addressee, nullptr);
}

void InstallDealEditorHooks() { g_mailUi.openOfferInDealEditor = OpenOfferInDealEditor; }
