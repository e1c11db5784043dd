#include <algorithm>
#include <vector>

#include "app/number_text.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/diplomacy/deals/deal_item_popups.h"
#include "screens/diplomacy/deals/deal_offer.h"
#include "screens/diplomacy/deals/deal_popup.h"
#include "screens/screen_set.h"
#include "net/net_session.h"
#include "net/text_message.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

constexpr const char* kListTags[4] = {"DIPLIST1", "DIPLIST2", "DIPLIST3", "DIPLIST4"};
constexpr int32_t kOfferedKindIds = 11;     // 11..19
constexpr int32_t kRequestedKindIds = 111;  // 111..119
constexpr int32_t kKindIdSpan = 9;

bool Checked(Control* c) { return c && (c->state & kStateSelected) != 0; }

DipOffer* Offer() { return g_screens.dealPopup.offer.get(); }

int32_t OtherPlayer() {
  const DipOffer* offer = Offer();
  return offer ? offer->firstPlayer : 0;
}

void RequestRedraw() { g_mapView.redrawPending = 1; }

}  // namespace

void DealEditor::BindControls() {
  for (int i = 0; i < 4; ++i) lists[i] = MakeListBox(kListTags[i], 0, currentForm, kListIndicators, this);
  approachHost = Tag(currentForm, "SUBPARENT1");
  itemHosts[0] = Tag(currentForm, "SUBPARENT2A");
  itemHosts[1] = Tag(currentForm, "SUBPARENT2B");
  calendarHost = Tag(currentForm, "CALPARENT");
  for (DealTemplates& t : templates) FillDealTemplates(t);
  for (const char* grid : {"GRIDWAR1", "GRIDWAR2", "GRIDTREAT1", "GRIDTREAT2"}) StyleOverlay(Tag(currentForm, grid));
}

void DealEditor::OnOpen() {
  for (ListBoxControl* list : lists) {
    if (!list) continue;
    ListDeselectAll(list);
    ListResetScroll(list);
  }
  // An offer kept from the last opening keeps its "nothing" ticks with its
  // items; a new offer starts with both boxes clear.
  const uint32_t serial = g_screens.dealPopup.offerSerial;
  if (boxesOffer == serial) return;
  boxesOffer = serial;
  for (const char* box : {"NONE2", "NONE3"})
    if (Control* c = Tag(currentForm, box)) c->state &= ~kStateSelected;
}

void DealEditor::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  DipOffer* offer = Offer();
  if (!currentForm || !offer) return;
  for (Control* host : itemHosts) SetHidden(host, true);
  World& world = g_world;
  const int32_t other = offer->firstPlayer;
  FillDealCatalogue(world, offeredKind, lists[0], other, 0, offer->offered, rows[0]);
  offeredValue = FillDealGroupList(world, lists[1], offer->offered, rows[1]);
  requestedValue = FillDealGroupList(world, lists[2], offer->requested, rows[2]);
  const bool submit = DealSubmitAvailable(*offer, Checked(Tag(currentForm, "NONE2")), Checked(Tag(currentForm, "NONE3")));
  const struct {
    ListBoxControl* list;
    const char* empty;
    const char* hider;
  } groups[] = {{lists[1], "No Items Offered", "HIDENONE2"}, {lists[2], "No Items Requested", "HIDENONE3"}};
  for (const auto& g : groups) {
    const bool none = !g.list || g.list->rowCount == 0;
    if (none && g.list) {
      if (Control* row = ListAddString(g.list, g.empty, 0, 0, 32, 0, 1)) {
        row->state |= kStateDisabled;
        static_cast<StringControl*>(row)->textColour = kDealCancelColour;
      }
    }
    SetHidden(Tag(currentForm, g.hider), !none);
  }
  FillDealCatalogue(world, requestedKind, lists[3], other, 1, offer->requested, rows[3]);
  SetHidden(Tag(currentForm, "GRIDWAR1"), true);
  SetHidden(Tag(currentForm, "GRIDWAR2"), true);
  SetHidden(Tag(currentForm, "GRIDTREAT1"), false);
  SetHidden(Tag(currentForm, "GRIDTREAT2"), false);
  SetControlText(Tag(currentForm, "SELITEM"), TextListText(kListTradeitems, offeredKind));
  SetControlText(Tag(currentForm, "SELITEM2"), TextListText(kListTradeitems, requestedKind));
  SetControlText(Tag(currentForm, "OPINION"), TextListText(kListCabinetopinion, 0));
  SetControlNumberText(1, 0, "", 1, "", 0, offeredValue, Tag(currentForm, "VALUE1"));
  SetControlNumberText(1, 0, "", 1, "", 0, requestedValue, Tag(currentForm, "VALUE2"));
  SetHidden(Tag(currentForm, "SUBMITBUT"), !submit);
  SetHidden(Tag(currentForm, "DELALL1BUT"), !lists[1] || lists[1]->rowCount == 0);
  SetHidden(Tag(currentForm, "DELALL2BUT"), !lists[2] || lists[2]->rowCount == 0);
  g_screens.diplomacySchedule[0].Show(0, calendarHost);
  KeepDealExpiryAhead(world, *offer);
}

void DealEditor::AddSelected(int side) {
  plat::CriticalSectionLock lock(g_simulationLock);
  DipOffer* offer = Offer();
  ListBoxControl* list = lists[side == 0 ? 0 : 3];
  const DealRow* row = list ? rows[side == 0 ? 0 : 3].Find(list->selectedId) : nullptr;
  const int32_t local = LocalPlayerIndex(g_world), other = OtherPlayer();
  if (!offer || !row || local < 0) return;
  const int32_t giver = side == 0 ? local : other, receiver = side == 0 ? other : local;
  OfferItemGroup& group = side == 0 ? offer->offered : offer->requested;
  AddDealItem(g_world, group, row->kind, row->item, giver, receiver,
              DealTemplate(templates[side], row->kind, row->item));
  // A stock keeps the quantity its panel was showing when it was picked.
  const DealUnitPicker& picker = g_screens.dealUnitPicker[static_cast<size_t>(side)];
  if (row->kind == kDealMissiles && picker.unitId == row->item)
    for (OfferUnit& unit : group.units)
      if (unit.unitId == row->item) unit.quantity = static_cast<uint8_t>(std::clamp(picker.quantity, 1, kDealQuantityCap));
  RequestRedraw();
  Refresh();
}

void DealEditor::RemoveSelected(int index, bool all) {
  plat::CriticalSectionLock lock(g_simulationLock);
  DipOffer* offer = Offer();
  ListBoxControl* list = lists[index];
  if (!offer || !list) return;
  OfferItemGroup& group = index == 1 ? offer->offered : offer->requested;
  std::vector<DealRow> doomed;
  if (all) {
    for (const auto& [rowId, row] : rows[index].rows) doomed.push_back(row);
  } else if (const DealRow* row = rows[index].Find(list->selectedId)) {
    doomed.push_back(*row);
  }
  // Deal items go by position: the later ones first, so the earlier keep theirs.
  std::sort(doomed.begin(), doomed.end(), [](const DealRow& a, const DealRow& b) { return a.item > b.item; });
  for (const DealRow& row : doomed) RemoveDealItem(g_world, group, row.kind, row.item);
  RequestRedraw();
  Refresh();
}

void DealEditor::OnCommand(Control* control, int32_t controlId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!control) return;
  if (controlId >= kOfferedKindIds && controlId < kOfferedKindIds + kKindIdSpan) {
    offeredKind = controlId - kOfferedKindIds;
    Refresh();
  } else if (controlId >= kRequestedKindIds && controlId < kRequestedKindIds + kKindIdSpan) {
    requestedKind = controlId - kRequestedKindIds;
    Refresh();
  } else if (Is(control, "OFFERBUT")) {
    AddSelected(0);
  } else if (Is(control, "REQBUT")) {
    AddSelected(1);
  } else if (Is(control, "DEL1BUT") || Is(control, "DELALL1BUT")) {
    RemoveSelected(1, Is(control, "DELALL1BUT"));
  } else if (Is(control, "DEL2BUT") || Is(control, "DELALL2BUT")) {
    RemoveSelected(2, Is(control, "DELALL2BUT"));
  } else if (Is(control, "NONE2") || Is(control, "NONE3")) {
    Refresh();
  } else if (Is(control, "SUBMITBUT")) {
    // Whether both sides can give what it names is checked when it is
    // accepted, against what they hold then.
    const int32_t to = OtherPlayer();
    SubmitDealOffer(g_world, g_screens.dealPopup.offer);
    g_screens.dealPopup.Close();
    // The pop-up is gone: the notice over the map tells the player the
    // offer went.
    QueueTextMessage2(g_netSession, "Offer sent to %s.", RegionDisplayName(g_world, to));
  }
}

void DealEditor::OnActivate(Control* control, int32_t) {
  if (control == lists[0]) AddSelected(0);
  else if (control == lists[3]) AddSelected(1);
  else if (control == lists[1]) RemoveSelected(1, false);
  else if (control == lists[2]) RemoveSelected(2, false);
}

void DealEditor::OnControlChange(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  for (int i = 0; i < 4; ++i) {
    if (control != lists[i] || !lists[i]) continue;
    const bool selected = lists[i]->selectedId != 0;
    // The other list of the same side lets go of its row.
    ListBoxControl* partner = lists[i ^ 1];
    if (selected && partner) ListDeselectAll(partner);
    const int side = i < 2 ? 0 : 1;
    if (selected) {
      SetHidden(itemHosts[side], false);
      if (const DealRow* row = rows[i].Find(lists[i]->selectedId)) {
        const int32_t kind = i == 0 ? offeredKind : i == 3 ? requestedKind : row->kind;
        ShowDealItemPopup(kind, side, i, row->item, side == 0 ? LocalPlayerIndex(g_world) : OtherPlayer());
      }
    }
    const char* button = i == 0 ? "OFFERBUT" : i == 1 ? "DEL1BUT" : i == 2 ? "DEL2BUT" : "REQBUT";
    SetHidden(Tag(currentForm, button), !selected);
    if (i == 1) SetHidden(Tag(currentForm, "DELALL1BUT"), lists[1]->rowCount == 0);
    if (i == 2) SetHidden(Tag(currentForm, "DELALL2BUT"), lists[2]->rowCount == 0);
  }
}
