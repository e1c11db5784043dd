#include "screens/diplomacy/reports/standings_text.h"

#include <algorithm>

#include "platform/fpenv.h"
#include "records/player_kinds.h"
#include "sim/region_names.h"
#include "world/world.h"

namespace {

bool Ranked(const PlayerRecord& r) { return r.kind != kKindEmpty && r.kind != kKindOut; }

}  // namespace

std::string BuildStandingsText(const World& world) {
  std::string out;
  const int32_t highest = std::min<int32_t>(world.gameState.highestPlayer, kMaxPlayers - 1);
  for (int32_t rank = 1; rank <= highest; ++rank) {
    for (int32_t p = 1; p <= highest; ++p) {
      if (!Ranked(world.players[p]) || world.stats.rank[p] != rank) continue;
      char line[160];
      const int n = plat::FormatText(line, sizeof line, "%d : %3.1f%% - %s %s\n", rank,
                                     static_cast<double>(world.stats.share[p] * 100.0f),
                                     RegionDisplayName(world, p), p == world.gameState.localPlayer ? " <<<<<" : "");
      const size_t length = std::min<size_t>(static_cast<size_t>(std::max(n, 0)), sizeof line - 1);
      if (out.size() + length <= kStandingsTextCap) out.append(line, length);
      break;
    }
  }
  out.append("\n\n");
  if (out.size() > kStandingsTextCap) out.resize(kStandingsTextCap);
  return out;
}
