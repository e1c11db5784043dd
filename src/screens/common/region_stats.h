#pragma once
// A region's statistics as the status department's page and side panels
// and the diplomacy department's region reports show them: the page's and
// the side panels' lines and the figures they add up.
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
