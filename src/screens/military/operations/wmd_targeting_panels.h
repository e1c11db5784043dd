#pragma once
// The military-operations page (OPS1_SS4), docked under the operations
// page: the other regions, and for the one picked its hostility, launch and
// schedule pages; and the pre-targeting family three deep: the capitals of
// the regions at war (OPS1_SS4d), the weapon kind (OPS1_SS4d1), what a kind
// carries (OPS1_SS4d1a), a target's owner (OPS1_SS4d2) and a target row
// (OPS1_SS4dfill). None of them posts; they read the world and open one
// another.
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/screen.h"

class Control;
class ListBoxControl;
struct PlayerRecord;
struct World;

inline constexpr const char* kWmdTargetingTags[] = {"REGIONLIST", "OFFOPS", "INTELBUT", "REVIEW", "PRETARG",
                                                    "CONV",       "CHEM",   "LNUKE",    "HNUKE"};
inline constexpr const char* kWmdTargetListTags[] = {"TARGLIST", "TARGPARENT", "TARGPARENT2", "AUTOTARG"};
inline constexpr const char* kWmdTargetKindTags[] = {"CONVTARG", "CHEMTARG", "LNUKETARG", "HNUKETARG", "UNTARG",
                                                     "AUTOTARG"};
inline constexpr const char* kWmdYieldTags[] = {"YIELD"};
inline constexpr int32_t kWmdYieldIds[] = {665, 666, 667};
inline constexpr const char* kWmdTargetOwnerTags[] = {"YIELD", "OWNER", "RELATION", "CENTRE"};
inline constexpr const char* kWmdTargetInfoTags[] = {"INDPIC", "LANDPIC", "FLAG", "LOCATION"};

// A target row's id is its cell index + 1, so that no row reads 0.
inline int32_t TargetRowId(int32_t cell) { return cell + 1; }
inline int32_t TargetRowCell(intptr_t rowId) { return static_cast<int32_t>(rowId) - 1; }

// The cell of a region's capital (simulation copy), its column wrapped onto
// the map; -1 without a capital or when the row lies off the map.
int32_t CapitalCell(const World& world, const PlayerRecord& region);
// The cells of the capitals the viewer may strike: regions 1 to the highest
// that take part (kinds other than 0 and 5), at war with the viewer, with a
// capital on the map; in region order. The caller holds the lock.
std::vector<int32_t> WmdTargetCells(const World& world, const PlayerRecord& viewer);
// Makes the cell the map's view hex and centres the map on it.
void CentreOnCell(int32_t cell);
// Rebuilds a list of target rows (drawn by the target row form), keeping
// the pick and the scroll position; the list's owner hears it emptied.
void FillTargetRows(ListBoxControl* list, const std::vector<int32_t>& cells);
// A target row's form: the facility standing there (or land), the owner's
// flag and the place. The caller holds the lock.
void FillTargetInfo(Control* form, const World& world, int32_t viewer, int32_t cell);

std::unique_ptr<Screen> MakeWmdTargetingPanel();

class WmdTargetListPanel : public Screen {
 public:
  WmdTargetListPanel() : Screen("OPS1_SS4d", FormLookups{.tags = kWmdTargetListTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  // Picking a target shows its owner; picking none, the weapon kinds.
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* list = nullptr;
  Control* targetParent = nullptr;   // the kind panel's host
  Control* targetParent2 = nullptr;  // the yield or the owner panel's
};

std::unique_ptr<Screen> MakeWmdTargetKindPanel();

// Parameter: the weapon kind, 0 conventional, 1 chemical, 2 light and 3
// heavy nuclear.
std::unique_ptr<Screen> MakeWmdYieldPanel();

// Parameter: the target row's id.
std::unique_ptr<Screen> MakeWmdTargetOwnerPanel();

// Parameter: the target row's id.
std::unique_ptr<Screen> MakeWmdTargetInfoFill();
