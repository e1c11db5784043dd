#pragma once
// The research lists of the military department, docked in the second
// bottom bar: designs of one domain (MILITARY1_ss3a), technologies of one
// category with the price and time of the selected one (MILITARY1_ss3b),
// and the weapons designs (MILITARY1_ss3c). Beginning research queues the
// whole path, missing prerequisites first. Window thread.
#include <cstdint>
#include <memory>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "screens/common/units/build_lists.h"
#include "ui/screen.h"

inline constexpr const char* kTechListTags[] = {"LIST5", "STATPARENT", "LANDBUT", "AIRBUT", "SEABUT"};
inline constexpr int32_t kTechListIds[] = {720, 721, 722, 730, 731, 732};
inline constexpr const char* kTechDetailTags[] = {"LIST1", "ADD", "HIDEBOXA", "GRIDBAN", "PRICEBUILD", "RESTIME"};
inline constexpr int32_t kTechCategoryIds[] = {11, 12, 13, 14, 15, 16};
inline constexpr const char* kWmdTechListTags[] = {"LIST5", "STATPARENT", "WMDFILTER"};
inline constexpr int32_t kWmdTechListIds[] = {201, 202, 203, 204};

// The first category button of a form.
inline constexpr int32_t kFirstTechCategoryButton = 11;
inline constexpr int32_t kTechCategoryButtons = 6;

// The technology category the form's buttons 11 to 15 choose (the first
// selected gives 1 to 5); 6 when none is.
int32_t CheckedTechCategory(Control* form);
// Gives the category buttons 11 to 16 of the form their category names (as
// text, or as hover text).
void NameCategoryButtons(Control* form, bool hover);
// Selects the control with the id in the form (the form itself, else a
// descendant).
void SelectWithId(Control* form, int32_t id);
// Fills the list with the technologies of the category, in table order:
// with beginnable, only those the local player may begin (within the
// player's level, unknown, not under research). Rows keep their technology
// index as value; the selection and scroll position stay where they were.
void FillTechList(ListBoxControl* list, int32_t category, bool beginnable);

// Begins research of design `cls` for the local player (its missing
// prerequisites first, or the old project taken up again), refreshes the
// page, the research funding page and the bar (the bar before the funding
// page for the weapons page), and adds the news line.
void BeginDesignResearch(int32_t cls, Screen& page, bool weapons);
// Begins research of every selected row's technology (kind 1) or design
// (kind 2) of the list in row order, each with its news line.
void BeginSelectedResearch(ListBoxControl* list, int32_t kind);

// The research time text of a technology's cost at the rate (points a
// day): "UNKNOWN" below 0.01 a day, the flag telling which.
struct ResearchTimeText {
  char text[64] = {};
  bool unknown = true;
};
ResearchTimeText ResearchTime(float cost, float rate);

class TechListPanel : public Screen {
 public:
  TechListPanel() : Screen("MILITARY1_ss3a", FormLookups{.tags = kTechListTags, .ids = kTechListIds}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  BuildListState state;  // category: the domain
  ListBoxControl* list = nullptr;
  Control* statParent = nullptr;
};

class TechDetailPanel : public Screen {
 public:
  TechDetailPanel() : Screen("MILITARY1_ss3b", FormLookups{.tags = kTechDetailTags, .ids = kTechCategoryIds}) {}
  void BindControls() override;
  // Opens the dock three deep, as its sibling pages do: without it the page
  // stays hidden below a dock two deep.
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* list = nullptr;
};

std::unique_ptr<Screen> MakeWmdTechListPanel();
