#pragma once
// Choosing a minister: the pager of twelve candidates a page, one page per
// political leaning (CABINET), its cells (CABINET_ss1) and a candidate's
// full sheet (CABINETBIO). Appointing posts the department's new seat.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kCabinetPagerTags[] = {"DEPT", "LEFTBUT", "RIGHTBUT", "POLITIC", "CLOSE"};
inline constexpr int32_t kCabinetPagerIds[] = {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112};
inline constexpr const char* kCabinetCellTags[] = {"GRID3"};
inline constexpr int32_t kCabinetCellIds[] = {1, 2, 3, 4, 5, 6, 7, 8};
inline constexpr const char* kCandidateBioTags[] = {
    "PREVBUT",    "NEXTBUT",   "REJECTBUT", "ACCEPTBUT", "CLOSE",  "NAME",  "CABPIC", "POLITIC",
    "EXPERIENCE", "GENIQ",     "POPULARITY", "INITIATIVE", "INTEGRITY", "COMPETENCE", "CHARISMA", "ECIQ",
    "MILIQ",      "DIPIQ",     "PRODIQ",    "DOMIQ",     "AGE",    "BIO"};

inline constexpr int32_t kCabinetCells = 12;
inline constexpr int32_t kFirstCabinetPage = -1;
inline constexpr int32_t kLastCabinetPage = 1;

// The first candidate of a page (-1: 1, 0: 13, 1: 25).
inline int32_t FirstCandidateOfPage(int32_t page) { return 13 + 12 * page; }

class CabinetPager : public Screen {
 public:
  CabinetPager() : Screen("CABINET", FormLookups{.tags = kCabinetPagerTags, .ids = kCabinetPagerIds}) {}
  void OnOpen() override;
  void OnCommand(Control* control, int32_t value) override;

  int32_t page = 0;  // kept between openings
};

class CabinetGridPanel : public Screen {
 public:
  explicit CabinetGridPanel(const char* tag = "CABINET_ss1")
      : Screen(tag, FormLookups{.tags = kCabinetCellTags, .ids = kCabinetCellIds}) {}
  void OnOpen() override;
  void OnCommand(Control* control, int32_t value) override;

  int32_t department = 0;
  int32_t layout = 0;  // 0 general; anything else the military ratings
};

class CandidateBioScreen : public Screen {
 public:
  CandidateBioScreen() : Screen("CABINETBIO", FormLookups{.tags = kCandidateBioTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  int32_t Close(int32_t noReturn = 0) override;
  void OnCommand(Control* control, int32_t value) override;

  int32_t candidate = 0;
  bool viewOnly = false;
  int32_t outcome = -1;  // -1 none, 0 rejected, 1 accepted
  TextBoxControl* bio = nullptr;
};
