#pragma once
// The local region on the world market (DIPLOMACY1_SS1, opened by the
// department's WMBUT): membership, its cost, the rates, the market's opinion
// and the end date, with the menu of aid and treaty panels. Inside it sit
// the member grid, the leave and join confirmations (which post the
// membership command) and, a level deeper, the treaty panel.
#include <cstdint>
#include <memory>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kDiplomacyAidTags[] = {
    "DIPPARENT2", "HIDEBOX2",  "YESBUT",    "WMCOST",    "WMSUBRATE", "WMINTRATE", "OPINION",  "WMOPINRATE",
    "ENDHIDE",    "ENDDATE",   "MILAIDBUT", "ECONAIDBUT", "RESAIDBUT", "WMVOTEBUT", "TREATYBUT", "BACK"};
inline constexpr const char* kWorldMarketMembersTags[] = {"MEMBERGRID", "NOMEMBER", "MEMBERBUT"};
inline constexpr const char* kWorldMarketLeaveTags[] = {"YESBUT2", "NOBUT2"};
inline constexpr const char* kWorldMarketJoinTags[] = {"JOINFEE", "YESBUT3", "NOBUT3"};
inline constexpr const char* kTreatyDetailsTags[] = {"DIPLIST5", "DIPLIST6", "DETAILS", "HIDEBOX", "CANBUT",
                                                     "SIGNBUT",  "QUESTION", "LOCK2"};
// The end mode of a scenario that ends on a set day.
inline constexpr uint8_t kEndModeDate = 3;

// Membership's yearly cost and the fee for joining, in single precision:
// the better the market's opinion of the region, the less it pays.
float WorldMarketCost(float opinion, float feeBase);
float WorldMarketJoinFee(float opinion, float feeBase);
// The "wmopinion" word of an opinion: eighths held to 0-6; an opinion that
// is no number (a damaged save) reads as the lowest.
int32_t WorldMarketOpinionWord(float opinion);

class DiplomacyAidPanel : public Screen {
 public:
  DiplomacyAidPanel() : Screen("DIPLOMACY1_SS1", FormLookups{.tags = kDiplomacyAidTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

  Control* subPanelHost = nullptr;  // DIPPARENT2, where the inner panels dock
};

std::unique_ptr<Screen> MakeWorldMarketMembersPanel();

std::unique_ptr<Screen> MakeWorldMarketLeavePanel();

std::unique_ptr<Screen> MakeWorldMarketJoinPanel();

// Treaties have no lists to show yet: the panel opens empty and its buttons
// do nothing; only the two lists' selections exclude each other.
std::unique_ptr<Screen> MakeTreatyDetailsPanel();
