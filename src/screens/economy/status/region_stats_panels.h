#pragma once
// The local region's statistics: the status department's STATS page
// (STATUS1_SS2) and the side panels beside the map while the status
// (STATUS2) or the domestic policy department (DOMPOLICY2) is open. The
// side panels add population, land and the yearly balance to the page's
// lines.
#include <cstdint>
#include <optional>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

struct PlayerPolicyBlock;

inline constexpr const char* kRegionPageTags[] = {"REGGOVT", "REGIONNAME", "REGGDP", "INFLRATE", "TAXRATE",
                                                  "UNEMPRATE", "REGINTRATE", "WMINTRATE", "WMSUBRATE",
                                                  "IMMIGRATNUM", "EMIGRATNUM", "BIRTHSNUM", "DEATHSNUM", "LITRATE",
                                                  "TOURRATE", "DOMAPRRATE", "MILAPRRATE", "AVGAGE", "LIFEEXP",
                                                  "AVGCHILDREN"};
inline constexpr const char* kRegionSideTags[] = {"REGGOVT", "REGIONNAME", "REGPOP", "REGLAND", "REGGDP", "INFLRATE",
                                                  "TAXRATE", "UNEMPRATE", "REGINTRATE", "WMINTRATE", "SURPDEF",
                                                  "WMSUBRATE", "IMMIGRATNUM", "EMIGRATNUM", "BIRTHSNUM", "DEATHSNUM",
                                                  "LITRATE", "TOURRATE", "DOMAPRRATE", "MILAPRRATE", "AVGAGE",
                                                  "LIFEEXP", "AVGCHILDREN"};

// The overall tax rate the region's rates add up to (the immigration fee
// takes no part).
float OverallTaxRate(const PlayerPolicyBlock& block);
// The region's land: its hexes times the area of one, in 64 bits (a large
// map's land does not fit 32).
int64_t RegionLand(const World& world, const PlayerRecord& region);
// The yearly balance the side panels show: what the last whole day moved
// through the region's treasury, counted for a year; none before a day has
// passed since the game began or was loaded.
std::optional<double> AnnualBalance(const World& world, int32_t player);

// The lines of the page, or of a side panel (with population, land and the
// balance), into the screen's form; of the player, or of the local region
// when the player is below 0.
void FillRegionStats(const Screen& screen, bool sidePanel, int32_t player = -1);
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

class PolicyRegionSidePanel : public Screen {
 public:
  PolicyRegionSidePanel() : Screen("DOMPOLICY2", FormLookups{.tags = kRegionSideTags, .ids = {}}) {}
  int32_t AttachForm(Control* host) override;
  // The region's totals are recomputed first.
  void OnOpen() override;
  void Refresh() override;
};
