#pragma once
// Where player messages, mail replies and offers reach the interface: mail
// and news arrivals, the messages the screens show, and the screens that
// replies open. (Sounds and redraws go through the simulation's general link,
// sim/sim_ui_link.h.) The interface installs these calls at start-up; the
// headless runner leaves them empty, so every call is optional. Calls may
// come from the turn thread, the computer players' threads or the main
// thread: the interface hands them to its own thread as it needs to.
//
// Messages are named by their serial (PlayerMessage::serial), never by
// pointer: a message can expire or be deleted between two frames.
#include <cstdint>

struct MailUiLink {
  // An e-mail was filed for the local player: the e-mail screen refreshes
  // its list when it is open, otherwise the command bar marks its e-mail
  // button.
  void (*emailArrived)() = nullptr;
  // A news item was filed for the local player: the side panel refreshes
  // when it shows the news.
  void (*newsArrived)() = nullptr;
  // The serials of the message the news panel shows and of the one the
  // e-mail screen shows (0 for none); expiry spares both, and the one below.
  uint32_t (*shownNewsSerial)() = nullptr;
  uint32_t (*shownEmailSerial)() = nullptr;
  uint32_t (*shownPopupSerial)() = nullptr;  // the message the mail pop-up shows

  // Mail replies.
  void (*openSidePanel)(int32_t panel) = nullptr;
  // Side panel 4 with the region selected in its two lists and its relation control.
  void (*showRegionInDiplomacyPanel)(int32_t region) = nullptr;
  void (*openRegionPopup)(int32_t region) = nullptr;
  // Opens the deal editor on the offer carried by the local player's message.
  void (*openOfferInDealEditor)(uint32_t messageSerial) = nullptr;
  // Makes the hex (column in the low 16 bits, row in the high 16) current
  // and centres the map view on it.
  void (*centreMapOnHex)(uint32_t packedHex) = nullptr;
  void (*goToUnit)(uint32_t unitId) = nullptr;
  // Gives the units at the message's hex the order the message proposes.
  void (*applyOrderAtHex)(uint32_t messageSerial) = nullptr;

  // A received offer marked its land tags on the map: tag `tag` (0 to 3)
  // becomes visible and the tags are shown.
  void (*showAreaTag)(int32_t tag) = nullptr;
  // The tag bits of the map changed: the area figures are counted again.
  void (*recountAreaTags)() = nullptr;
};

extern MailUiLink g_mailUi;
