#pragma once
// What binds our region and the picked one, docked at the third level: what
// we receive from it and what it receives from us (agreements and running
// payments or deliveries), the description of the agreement picked, and the
// end of one of our agreements after a confirmation.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "screens/diplomacy/deals/pending_deals.h"
#include "ui/screen.h"

inline constexpr const char* kAgreementsTags[] = {"REGNAME", "DIPLIST5", "DIPLIST6", "DETAILS", "DELAGREE",
                                                  "HIDECONFIRM", "HIDEBOX", "OKBUT", "CANBUT"};

class AgreementsPanel : public Screen {
 public:
  AgreementsPanel() : Screen("DIPLOMACY1_SS2c", FormLookups{.tags = kAgreementsTags, .ids = {}}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  // A pick in one list clears the other's.
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* received = nullptr;  // DIPLIST5: what we receive from the region
  ListBoxControl* given = nullptr;     // DIPLIST6: what the region receives from us
  TextBoxControl* details = nullptr;   // DETAILS
  PendingDealRows receivedRows;
  PendingDealRows givenRows;
};
