#pragma once
// The local region's statistics: the status department's STATS page
// (STATUS1_SS2) and the side panels beside the map while the status
// (STATUS2) or the domestic policy department (DOMPOLICY2) is open. The
// side panels add population, land and the yearly balance to the page's
// lines.
#include <memory>
#include "screens/common/region_stats.h"
#include "ui/screen.h"

// A side panel's refresh: nothing while the side screens are off.
void RefreshRegionSidePanel(const Screen& screen);

class RegionStatsPanel : public Screen {
 public:
  RegionStatsPanel() : Screen("STATUS1_SS2", FormLookups{.tags = kRegionPageTags, .ids = {}}) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
};

class RegionSummarySidePanel : public Screen {
 public:
  RegionSummarySidePanel() : Screen("STATUS2", FormLookups{.tags = kRegionSideTags, .ids = {}}) {}
  int32_t AttachForm(Control* host) override;
  void Refresh() override;
};

std::unique_ptr<Screen> MakePolicyRegionSidePanel();
