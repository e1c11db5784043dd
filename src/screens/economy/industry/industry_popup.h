#pragma once
// The pop-up of one product for the local player (POPUP_INDUSTRY): its
// figures, the facilities that make it, what it is made from and what uses
// it, the facility types that can still be built for it, and the confirmed
// actions on the chosen facility. Opened with the product (0 to 10) as its
// id. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kIndustryPopupTags[] = {
    "FACILLIST", "RAWLIST",  "USELIST",  "INDPIC",  "FLAG",     "ANNDAYBUT", "EFF",     "SUPPLY",   "DEMAND",
    "CAPACITY",  "STOCK",    "SHORTAGE1", "LIMIT",  "NWHAT",    "CCOST",     "UMEASURE", "FACIL",   "NEXTBUT",
    "PREVBUT",   "CLOSE",    "SCRAP",    "DESTROY", "UPGBUT",   "CANCON",    "CANBUT",  "CONFBUT",  "ACTION",
    "HIDEBOX1",  "HIDEBOX2"};
inline constexpr int32_t kIndustryPopupIds[] = {4,   100, 101, 102, 103, 104, 105, 106, 107, 108, 200, 201, 202, 203,
                                                204, 205, 206, 207, 208, 300, 301, 302, 303, 304, 305, 306, 307, 308};

// The confirmed actions: the confirm buttons' numeric ids.
enum IndustryAction : int32_t {
  kIndustryDeactivate = 22,
  kIndustryActivate = 23,
  kIndustryScrap = 24,
  kIndustryDestroy = 25,
  kIndustryUpgrade = 26,
  kIndustryCancelConstruction = 27,
};
inline constexpr int32_t kBuildNewRows = 9;
inline constexpr uint32_t kShortTint = 0xFFC80000;

class IndustryPopup : public Screen {
 public:
  IndustryPopup() : Screen("POPUP_INDUSTRY", FormLookups{.tags = kIndustryPopupTags, .ids = kIndustryPopupIds}) {}
  // The header, flag and picture, the list reset, the "Build New" rows.
  void OnOpen() override;
  // The figures, the facility list, the raw-material and use lists.
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  // A facility row centres the map on it; a product row opens that product.
  void OnActivate(Control* control, int32_t id) override;
  // The action buttons follow the facility row in hand.
  void OnControlChange(Control* control, int32_t id) override;

  int32_t Product() const;
  // Hides the actions, shows the confirm box for the button.
  void ShowConfirm(Control* button);

  ListBoxControl* facilList = nullptr;
  ListBoxControl* rawList = nullptr;
  ListBoxControl* useList = nullptr;
  Control* indPic = nullptr;
  uint32_t indPicFill = 0;  // the picture's own fill, back when a product is not short
  int32_t pendingAction = 0;

 private:
  void Reopen(int32_t product);
  void PostPendingAction();
};
