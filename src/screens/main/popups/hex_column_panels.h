#pragma once
// The panels that describe one hex in a column of the hex information
// pop-up (MAP2) and of the hex comparison panel (MAP1_ss5a): the plain hex
// panel (MAP2_ss1) with its resource bars, and the industry panel (MAP2_ss2)
// with its status, share and days sub-panels and its product's graph for a
// hex that carries a known facility. Each is shown with the cell index as
// its id, in its column's container; it keeps the cell as that index.
// Interface thread; refreshes hold the simulation lock.
#include <cstdint>

#include "screens/common/product_graph.h"
#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr int32_t kHexResourceBars = 8;  // products 0 to 7
inline constexpr int32_t kHexInfoMainIds[] = {1, 2, 3, 4, 5, 6, 7, 8};

// The plain hex panel: per product, what the ground around the hex yields
// (its bar) and what the hex yields itself (the bar's second mark).
class HexInfoMainPanel : public Screen {
 public:
  HexInfoMainPanel() : Screen("MAP2_ss1", FormLookups{.tags = {}, .ids = kHexInfoMainIds}) {}
  void Refresh() override;
  int32_t mode = 0;  // 1: the selected hex's column, whose bars run the other way

 private:
  void DrawBars(const World& w, const HexCell& cell);
};

inline constexpr const char* kHexIndustryStatusTags[] = {"INDBMP", "OFFLINE", "HIDEPAR", "QUEUE", "CAPACITY"};

// The facility's picture, whether it is off line, and for a base its queue
// and capacity (MAP2_ss2a).
class HexIndustryStatusPanel : public Screen {
 public:
  HexIndustryStatusPanel() : Screen("MAP2_ss2a", FormLookups{.tags = kHexIndustryStatusTags, .ids = {}}) {}
  void Refresh() override;

 private:
  void Draw(const World& w, const HexCell& cell);
};

inline constexpr const char* kHexIndustrySharesTags[] = {"PERCENT", "ADTEXT"};

// What the facility yields of its main product, as a share of what the
// local region makes of it (MAP2_ss2b).
class HexIndustryShares : public Screen {
 public:
  HexIndustryShares() : Screen("MAP2_ss2b", FormLookups{.tags = kHexIndustrySharesTags, .ids = {}}) {}
  void Refresh() override;

 private:
  void Draw(const World& w, const HexCell& cell);
};

inline constexpr const char* kHexIndustryDaysTags[] = {"DAYS"};

// The days left until the facility is built (MAP2_ss2c).
class HexIndustryDays : public Screen {
 public:
  HexIndustryDays() : Screen("MAP2_ss2c", FormLookups{.tags = kHexIndustryDaysTags, .ids = {}}) {}
  void Refresh() override;

 private:
  void Draw(const World& w, const HexCell& cell);
};

inline constexpr const char* kHexIndustryTags[] = {"UPGRADE", "NOTE", "UPGPAR", "HIDEPERC", "HIDEINFO", "FACTORYBUT"};
inline constexpr int32_t kHexIndustryIds[] = {1, 2, 3, 4, 5, 6};

// The industry panel of a hex with a known facility: its name and state,
// and below it the status sub-panel, or for a production facility its
// product's graph with the share or, while it is built, the days left.
class HexIndustryPanel : public Screen {
 public:
  HexIndustryPanel() : Screen("MAP2_ss2", FormLookups{.tags = kHexIndustryTags, .ids = kHexIndustryIds}) {}
  // Binds the two containers; control 2's frame shows faintly.
  void BindControls() override;
  void Refresh() override;
  // FACTORYBUT opens the pop-up of the hex's facility.
  void OnCommand(Control* control, int32_t id) override;

  HexIndustryStatusPanel status;
  HexIndustryShares shares;
  HexIndustryDays days;
  ProductGraphPanel graph;
  Control* upgradeHost = nullptr;  // UPGPAR
  Control* shareHost = nullptr;    // HIDEPERC

 private:
  void Draw(const World& w, const HexCell& cell);
};
