#include "screens/diplomacy/mail/offer_mail_view.h"

#include <algorithm>
#include <string>

#include "app/list_node.h"
#include "records/unit_flags.h"
#include "screens/diplomacy/mail/mail_popup.h"
#include "screens/diplomacy/mail/mail_window.h"
#include "screens/common/region_row.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/screen_set.h"
#include "sim/mail_replies.h"
#include "sim/mail_ui_link.h"
#include "sim/player_messages.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "ui/text_box.h"
#include "world/id_lookups.h"
#include "world/list_items.h"
#include "world/text/message_types.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr uint8_t kOfferAttachment = 20;
constexpr int kAnswerLabels = 60;
constexpr uint8_t kParamPlayer = 1;
constexpr uint8_t kParamRegion = 36;
constexpr int32_t kFirstRegionFrame = 210;
constexpr int32_t kFirstRegionLabel = 310;
constexpr int kRegionLabels = 2;
constexpr uint32_t kCoverColour = 0xFF007D00;
constexpr uint8_t kCoverAlpha = 140;

// What the view shows of the message, copied under the mail lock.
struct OfferCopy {
  bool found = false;
  uint32_t typeId = 0;
  int32_t sender = 0;
  uint32_t params[4] = {};
  std::string body, attachment;
};

OfferCopy CopyMessage(World& world, uint32_t serial) {
  OfferCopy c;
  WorldLockGuard hold(world, kLockMail);
  const PlayerMessage* m = FindPlayerMessage(world, world.gameState.localPlayer, serial);
  if (!m) return c;
  c.found = true;
  c.typeId = m->typeId;
  c.sender = m->sender;
  for (int i = 0; i < 4; ++i) c.params[i] = m->params[i];
  c.body = m->texts[1] ? m->texts[1] : "";
  c.attachment = m->texts[2] ? m->texts[2] : "";
  return c;
}

void AddOnce(std::vector<intptr_t>& list, intptr_t item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}

void OpenWithList(Screen& screen, const std::vector<intptr_t>& items) {
  if (items.empty()) return;
  ScreenParameterList list;
  list.entries = items;
  screen.Popup(items.front(), &list);
}

}  // namespace

void OfferMailView::BindControls() {
  box = MakeTextBox("MESSAGE", 0, form);
  if (box) box->flags &= ~kCtlCaptureOnly;
  for (int32_t button : {kOfferViewUnits, kOfferStepLandTag, kOfferViewDiscovery, kOfferViewDesigns, kOfferViewMissiles, kOfferViewMissileDesigns}) {
    Control* cover = Id(form, button + kOfferCoverOffset);
    if (!cover) continue;
    cover->fills[0] = kCoverColour;
    cover->fills[1] = cover->fills[0];
    for (uint32_t& fill : cover->fills) SetAlpha(fill, kCoverAlpha);
    cover->flags |= kCtlShowFocus;
  }
}

void OfferMailView::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Open(g_world, static_cast<uint32_t>(id));
}

void OfferMailView::Open(World& world, uint32_t messageSerial) {
  serial = messageSerial;
  const OfferCopy m = CopyMessage(world, serial);
  if (box) TextBoxSetText(box, m.body.substr(0, kMailBodyLimit).c_str(), static_cast<uint32_t>(kMailBodyLimit + 1), 1);
  const MessageTypeRecord* type = m.found ? MessageType(m.typeId) : nullptr;
  Control* f = currentForm;
  for (int k = 0; k < kOfferAnswers; ++k) {
    const uint8_t code = type ? type->replyCodes[k] : 0;
    answers[k] = code;
    Control* label = Id(f, kOfferFirstAnswerLabel + k);
    Control* button = Id(f, kOfferFirstAnswerButton + k);
    SetHidden(label, code == 0);
    SetHidden(button, code == 0);
    if (code == 0) continue;
    SetControlText(label, code < kAnswerLabels ? TextListText(kListEmailresponses, code) : "");
    SetControlText(button, type->replyTexts[k].c_str());
  }
  if (Control* hide = f ? FormFindControlByTag(f, "DIPHIDE") : nullptr) SetHidden(hide, true);

  if (type && type->attachmentKind == kOfferAttachment) {
    offer = DipOffer{};
    units.clear();
    missiles.clear();
    designs.clear();
    missileDesigns.clear();
    ParseDipOffer(world, m.attachment.c_str(), offer, false, true);
    hasOffer = true;
    for (const OfferUnit& u : offer.offered.units) {
      const UnitRecord* unit = FindUnitById(world, u.unitId);
      const bool stock = unit && (unit->unitFlags & kUnitStock);
      AddOnce(stock ? missiles : units, static_cast<intptr_t>(u.unitId));
    }
    for (const int32_t design : offer.offered.designs) {
      const UnitClassRecord* c = ClassRecordAt(world, design);
      AddOnce(c && (c->flags & kClassStock) ? missileDesigns : designs, design);
    }
    if (Control* hide = f ? FormFindControlByTag(f, "DIPHIDE") : nullptr) SetHidden(hide, false);
    SetHidden(Id(f, kOfferViewUnits + kOfferCoverOffset), units.empty());
    SetHidden(Id(f, kOfferViewMissiles + kOfferCoverOffset), missiles.empty());
    SetHidden(Id(f, kOfferViewDiscovery + kOfferCoverOffset), offer.offered.discoveries.empty());
    SetHidden(Id(f, kOfferViewDesigns + kOfferCoverOffset), designs.empty());
    SetHidden(Id(f, kOfferViewMissileDesigns + kOfferCoverOffset), missileDesigns.empty());
    SetHidden(Id(f, kOfferStepLandTag + kOfferCoverOffset), offer.offered.areaMask == 0);
    tagStep = -1;
    if (Control* emoticon = g_screens.emailPopup.emoticon) {
      SetHidden(emoticon, false);
      if (auto* bitmap = dynamic_cast<BitmapControl*>(emoticon)) bitmap->frame = offer.kind;
      else SetControlText(emoticon, TextListText(kListEmoticons, offer.kind));
      ControlSetText(emoticon, TextListText(kListEmoticons, offer.kind));
    }
  } else {
    hasOffer = false;
  }

  int n = 0;
  for (int i = 0; type && i < 4 && n < kRegionLabels; ++i) {
    const uint8_t kind = type->paramKinds[i];
    const int32_t player = static_cast<int32_t>(m.params[i]);
    if ((kind != kParamPlayer && kind != kParamRegion) || player == m.sender) continue;
    if (Control* label = Id(f, kFirstRegionLabel + n)) FillRegionRow(label, "", player);
    SetHidden(Id(f, kFirstRegionFrame + n), false);
    SetHidden(Id(f, kFirstRegionLabel + n), false);
    ++n;
  }
  // The labels stand beside their frames, not in them: a message naming
  // fewer regions than the last one shown must not keep the last one's names.
  for (; n < kRegionLabels; ++n) {
    SetHidden(Id(f, kFirstRegionFrame + n), true);
    SetControlText(Id(f, kFirstRegionLabel + n), "");
    SetHidden(Id(f, kFirstRegionLabel + n), true);
  }
}

void OfferMailView::Answer(World& world, int k) {
  if (k < 0 || k >= kOfferAnswers || answers[k] == 0) return;
  const uint32_t answered = serial;
  CloseAllPopups(g_ui, 0);
  if (HandleMailReply(world, answered, answers[k]) != 0)
    DeleteMailLocked(world, g_screens.mailList, g_screens.mailWindow, answered);
  g_screens.emailPopup.Forget();
  serial = 0;
}

int32_t OfferMailView::StepLandTag() {
  const uint32_t mask = hasOffer ? offer.offered.areaMask : 0;
  for (int tries = 0; tries < kAreaTags; ++tries) {
    tagStep = (tagStep + 1) % kAreaTags;
    if (!(mask & (1u << tagStep))) continue;
    const std::vector<uint32_t>& hexes = offer.offered.areas[static_cast<size_t>(tagStep)];
    if (!hexes.empty() && hexes.front() != 0) {
      if (g_mailUi.centreMapOnHex) {
        g_mailUi.centreMapOnHex(hexes.front());
      } else {
        GotoHexPacked(hexes.front());
        CentreMapOnHex(g_mapView, hexes.front());
      }
    }
    return tagStep;
  }
  return -1;
}

void OfferMailView::OnCommand(Control* control, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t button = control ? control->id : 0;
  if (button >= kOfferFirstAnswerButton && button < kOfferFirstAnswerButton + kOfferAnswers) {
    Answer(g_world, button - kOfferFirstAnswerButton);
  } else if (button == kOfferViewUnits) {
    OpenWithList(g_screens.unitDetail, units);
  } else if (button == kOfferViewDesigns) {
    OpenWithList(g_screens.unitBuild, designs);
  } else if (button == kOfferViewMissiles) {
    OpenWithList(g_screens.missileDesignView, missiles);
  } else if (button == kOfferViewMissileDesigns) {
    OpenWithList(g_screens.missileStockView, missileDesigns);
  } else if (button == kOfferViewDiscovery) {
    if (hasOffer && !offer.offered.discoveries.empty()) g_screens.techPopup.Popup(offer.offered.discoveries.front(), nullptr);
  } else if (button == kOfferStepLandTag) {
    StepLandTag();
  }
}
