#pragma once
// The unit tool's lists of classes: the land, air and sea classes by type
// (MAPEDITORB_SS6a) and the stock classes by platform (MAPEDITORB_SS6d),
// each filtered by the tool panel's check boxes. Picking a row makes its
// class the tool's current class. Classes are held by index. Window thread;
// walks of the world hold the simulation lock.
#include <cstdint>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// The type filter buttons: a button's id less this is the class type.
inline constexpr int32_t kTypeFilterFirst = 100;
inline constexpr int32_t kTypeFilterLast = 121;
inline constexpr int32_t kTypeButtonsEnd = 123;
// The stock list's platform buttons.
inline constexpr int32_t kPlatformButtonFirst = 201;
inline constexpr int32_t kPlatformButtonLast = 204;
// The class type of stock classes (missiles and other stored weapons).
inline constexpr int32_t kStockClassType = 8;

inline constexpr const char* kEquipmentListTags[] = {"LIST5"};
inline constexpr int32_t kEquipmentListIds[] = {100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111,
                                                112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123};
inline constexpr const char* kStockClassListTags[] = {"LIST5", "PLATFORM", "WMDFILTER"};
inline constexpr int32_t kStockClassListIds[] = {201, 202, 203, 204};

// The tool panel's filters, read from its check boxes at every refresh.
struct ClassListFilterState {
  int32_t levelCap = 256;
  int32_t region = -1;
  int32_t designState = 2;  // any
  bool checkSuccessor = false;
};
ClassListFilterState ReadClassListFilters();

// Fills the list with the classes, keeps the selected row and the scroll,
// then selects `preferred` when listed, and the first row when none is
// selected. The selected class, 0 for an empty list.
int32_t FillClassList(ListBoxControl* list, const std::vector<int32_t>& classes, int32_t preferred);

// The screen's id is the tool page: 0 land, 1 air, 2 sea.
class EditorEquipmentListPanel : public Screen {
 public:
  EditorEquipmentListPanel()
      : Screen("MAPEDITORB_SS6a", FormLookups{.tags = kEquipmentListTags, .ids = kEquipmentListIds}) {}
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t row) override;

  int32_t Page() const;

  ListBoxControl* list = nullptr;  // LIST5
  int32_t typeFilter[3] = {-1, -1, -1};
  int32_t rememberedClass[3] = {};
  int32_t currentFilter = -1;
};

// The screen's id is 0 on tool page 3 (one platform category), 1 on page 4
// (every platform).
class EditorStockClassListPanel : public Screen {
 public:
  EditorStockClassListPanel()
      : Screen("MAPEDITORB_SS6d", FormLookups{.tags = kStockClassListTags, .ids = kStockClassListIds}) {}
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t row) override;

  ListBoxControl* list = nullptr;  // LIST5
  int32_t platformCategory = 0;
  bool weaponsShown = false;       // WMDFILTER
  Screen* stockUnits = nullptr;    // refreshed when the class changes
};
