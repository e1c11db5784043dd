#pragma once
// The negotiation pop-up (POPUP_DIPLOMACY): the local region and another
// side by side, the deals already running between them, the approach of the
// offer and the deal editor. Its id is the other player's number. The pop-up
// owns the offer under construction, which survives closing and reopening
// for the same player. Window thread.
#include <cstdint>
#include <memory>

#include "screens/common/screen_types_fwd.h"
#include "screens/diplomacy/deals/deal_items.h"
#include "screens/diplomacy/deals/pending_deals.h"
#include "sim/dip_offer.h"
#include "ui/screen.h"

inline constexpr const char* kDealPopupTags[] = {"SUBPARENT2", "SUBPARENT10", "REGION1", "REGION2", "FLAG1",
                                                 "FLAG2",      "LEADER1",     "LEADER2", "GOVTYPE1", "GOVTYPE2",
                                                 "STANCE1",    "STANCE2",     "GDP1",    "GDP2",     "CLOSEBUT",
                                                 "LEADPIC1",   "LEADPIC2"};
inline constexpr const char* kDealEditorTags[] = {
    "DIPLIST1", "DIPLIST2", "DIPLIST3",  "DIPLIST4",  "SUBPARENT1", "SUBPARENT2A", "SUBPARENT2B", "CALPARENT",
    "OFFERBUT", "REQBUT",   "DEL1BUT",   "DEL2BUT",   "DELALL1BUT", "DELALL2BUT",  "NONE2",       "NONE3",
    "HIDENONE2", "HIDENONE3", "SUBMITBUT", "GRIDWAR1", "GRIDWAR2",  "GRIDTREAT1",  "GRIDTREAT2",  "SELITEM",
    "SELITEM2", "OPINION",  "VALUE1",    "VALUE2"};
inline constexpr int32_t kDealEditorIds[] = {11, 12, 13, 14, 15, 16, 17, 18, 111, 112, 113, 114, 115, 116, 117, 118};
inline constexpr const char* kPendingDealsTags[] = {"DIPLIST5", "DIPLIST6", "SUBPARENT11"};
inline constexpr const char* kPendingCancelTags[] = {"CANBUT"};
inline constexpr const char* kApproachChooserTags[] = {"APPROACH", "OK"};
inline constexpr int32_t kApproachChooserIds[] = {101, 102, 103, 104, 105, 106, 107};
inline constexpr const char* kApproachPanelTags[] = {"APPROACH", "ALTER", "TEXTBOX"};

class DealEditor : public Screen {
 public:
  DealEditor() : Screen("POPUP_DIPLOMACY_SS1", FormLookups{.tags = kDealEditorTags, .ids = kDealEditorIds}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  int32_t offeredKind = kDealAgreement;
  int32_t requestedKind = kDealAgreement;
  float offeredValue = 0.0f;
  float requestedValue = 0.0f;
  ListBoxControl* lists[4] = {};  // DIPLIST1 .. DIPLIST4
  DealRows rows[4];
  Control* approachHost = nullptr;  // SUBPARENT1
  Control* itemHosts[2] = {};       // SUBPARENT2A, SUBPARENT2B
  Control* calendarHost = nullptr;  // CALPARENT
  DealTemplates templates[2];       // offered side, requested side
  uint32_t boxesOffer = 0;          // the offer serial the "nothing" boxes were ticked for

 private:
  void AddSelected(int side);
  void RemoveSelected(int list, bool all);
};

std::unique_ptr<Screen> MakePendingDealCancel();

class PendingDealsPanel : public Screen {
 public:
  PendingDealsPanel() : Screen("POPUP_DIPLOMACY_SS2", FormLookups{.tags = kPendingDealsTags, .ids = {}}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* received = nullptr;  // DIPLIST5: what the local player receives
  ListBoxControl* given = nullptr;     // DIPLIST6: what it gives
  PendingDealRows receivedRows;
  PendingDealRows givenRows;
  Control* cancelHost = nullptr;  // SUBPARENT11
};

std::unique_ptr<Screen> MakeDealApproachChooser();

std::unique_ptr<Screen> MakeDealApproachPanel();

class DealPopup : public Screen {
 public:
  DealPopup() : Screen("POPUP_DIPLOMACY", FormLookups{.tags = kDealPopupTags, .ids = {}}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;

  std::unique_ptr<DipOffer> offer;  // the offer under construction
  uint32_t offerSerial = 1;         // counts the offers made, so a kept one is told from a new one
  Control* editorHost = nullptr;    // SUBPARENT2
  Control* pendingHost = nullptr;   // SUBPARENT10
};

// Opens the pop-up on the offer of the local player's mail, swapped to be
// answered (installed as the mail replies' call).
void OpenOfferInDealEditor(uint32_t messageSerial);
// Opens the pop-up on an offer text (the department's templates, not swapped).
void OpenOfferTextInDealEditor(const char* text, bool swap);
void InstallDealEditorHooks();
