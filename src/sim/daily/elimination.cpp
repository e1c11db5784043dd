#include "sim/daily/elimination.h"

#include "sim/daily/unit_handover.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "net/command_network.h"
#include "net/net_session.h"
#include "net/text_message.h"
#include "sim/daily/unit_handover.h"
#include "units/hex_state.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/policy_block_fields.h"
#include "sim/relations.h"
#include "sim/sim_ui_link.h"
#include "app/window_messages.h"
#include "units/hex_capture.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "world/hex_extra.h"
#include "records/le_bytes.h"
#include "world/player_names.h"
#include "records/player_record.h"
#include "world/world.h"

namespace {

constexpr int kRelationSlots = 128;

bool Live(const UnitRecord& u) { return !(u.unitFlags & (kUnitGone | kUnitProvisional)) && u.classIndex != 0; }

int32_t CellAt(const World& world, CapitalPosition at) {
  const int32_t w = world.mapWidth, h = world.mapHeight;
  if (at.x < 0 || at.y < 0 || at.x >= w || at.y >= h) return -1;
  const size_t cell = static_cast<size_t>(at.y) * static_cast<size_t>(w) + static_cast<size_t>(at.x);
  return cell < world.cells.size() ? static_cast<int32_t>(cell) : -1;
}

}  // namespace

bool CapitalStands(const World& world, const PlayerRecord& region, CapitalPosition at) {
  if (at == CapitalPosition{}) return false;
  const int32_t cell = CellAt(world, at);
  if (cell < 0) return false;
  const HexCell& hex = world.cells[static_cast<size_t>(cell)];
  // The hex's owner is the record's place in the table: a region drawn in
  // the editor before any region sheet was read has no number of its own.
  if (CellOwner(hex.word) != RegionIndexOf(world, region)) return false;
  const HexUnitStack* stack = LoadHexStack(hex);
  if (!stack || !stack->lead || !Live(*stack->lead)) return false;
  const int32_t c = stack->lead->classIndex;
  return c > 0 && static_cast<size_t>(c) < world.unitClasses.size() && (world.unitClasses[c].flags & kClassSettlementPopulation);
}

void AnnounceRegionGone(World& world, const PlayerRecord& region, const char* format) {
  MessageParams gone;
  gone.p1 = region.number;
  BroadcastPlayerMessage(world, region, kMsgRegionOutNews, kMsgRegionOutNews, kMsgRegionOutNews, kMsgRegionOutNews,
                         nullptr, gone);
  char text[128];
  std::snprintf(text, sizeof text, format, static_cast<int>(region.number), LookupLocalizedName(world, region));
  // In a network game every peer's own simulation reaches this line: sent
  // to the others as well, each would read it once for every peer.
  if (IsNetworkGame(g_commandNet)) {
    QueueTextMessage(g_netSession, world.gameState.localPlayer, kTextToAll, text);
    return;
  }
  TextMessage line;
  TextMessageCtor(line, world.gameState.localPlayer, kTextToAll, text);
  SendTextMessage(line, 1);
  TextMessageDtor(line);
}

void CheckElimination(World& world, PlayerRecord& region, int32_t force, int32_t endReasonLastStanding,
                    int32_t endReasonLocalLost) {
  if (!TakesPart(region) || region.kind == kKindWorld) return;
  const CapitalPosition best{region.turnBestHex[0], region.turnBestHex[1]};
  if (!force) {
    const CapitalPosition capital = CapitalHex(region.simPolicy);
    if (capital == CapitalPosition{}) {
      SetCapitalHex(region.simPolicy, best);
      SetCapitalHex(region.displayPolicy, best);
    } else if (!CapitalStands(world, region, capital)) {
      if (!(world.scenario.head.gameFlags & kGameFlagNoCapitalMove) && !(best == CapitalPosition{})) {
        const int32_t cell = CellAt(world, capital);
        const uint32_t owner = cell >= 0 ? static_cast<uint32_t>(CellOwner(world.cells[static_cast<size_t>(cell)].word)) : 0;
        MessageParams moved;
        moved.p1 = static_cast<uint32_t>(static_cast<uint16_t>(capital.x)) | static_cast<uint32_t>(static_cast<uint16_t>(capital.y)) << 16;
        moved.p2 = static_cast<uint32_t>(static_cast<uint16_t>(best.x)) | static_cast<uint32_t>(static_cast<uint16_t>(best.y)) << 16;
        moved.p3 = owner;
        PostPlayerMessage(world, region, region.number, kMsgCapitalMoved, nullptr, moved);
        MessageParams told;
        told.p1 = moved.p2;
        told.p2 = owner;
        told.p3 = moved.p1;
        BroadcastPlayerMessage(world, region, kMsgCapitalMovedNews, kMsgCapitalMovedNews, kMsgCapitalMovedNews,
                               kMsgCapitalMovedNews, nullptr, told);
        SetCapitalHex(region.simPolicy, best);
        SetCapitalHex(region.displayPolicy, best);
      } else {
        SetCapitalHex(region.simPolicy, CapitalPosition{});
      }
    }
  }

  const float population = region.dayPopulation;
  const bool eliminated = region.dayHexCount <= 0 || !(population >= 1.0f) ||
                          CapitalHex(region.simPolicy) == CapitalPosition{} || force;
  if (!eliminated) return;
  region.kind = kKindOut;
  if (region.dayHexCount != 0) DistributeHexes(world, region.number);
  TransferPlayerUnits(world, region, 0);
  AnnounceRegionGone(world, region, "Player %d (%s) is ELIMINATED.");
  TransferOnElimination(world, region, endReasonLastStanding, endReasonLocalLost);
}

void DistributeHexes(World& world, int player) {
  if (player < 0 || player >= kMaxPlayers) return;
  const int32_t width = world.mapWidth;
  const size_t count = world.cells.size();
  if (width <= 0) return;
  // The day's levels of the hexes: a hex with a level counts as held.
  std::vector<uint8_t> levels(count, 0);
  PlayerRecord& loser = world.players[player];
  for (int phase = 1; phase <= 2; ++phase) {
    for (;;) {
      bool handed = false;
      for (size_t c = 0; c < count; ++c) {
        HexCell& cell = world.cells[c];
        const int owner = CellOwner(cell.word);
        if (owner != player) {
          if (levels[c] == 0) levels[c] = 1;
          continue;
        }
        const int32_t x = static_cast<int32_t>(c % static_cast<size_t>(width));
        const int32_t y = static_cast<int32_t>(c / static_cast<size_t>(width));
        int counts[kMaxPlayers] = {};
        int winner = -1, best = 0;
        for (int d = 0; d < 6; ++d) {
          const int32_t n = HexNeighbourCell(world, x, y, d);
          if (n < 0 || levels[static_cast<size_t>(n)] == 0) continue;
          const int who = CellOwner(world.cells[static_cast<size_t>(n)].word);
          if (who == player || (phase == 1 && who == 0)) continue;
          if (++counts[who] > best) best = counts[who], winner = who;
        }
        // The player the hex is loyal to takes it whenever it borders it.
        const int contender = CellLoyalTo(cell.word);
        if (contender != player && counts[contender] > 0) winner = contender;
        if (winner < 0) continue;
        // The units settle the hex; the hand-out counts it as the winner's.
        CaptureHex(world, cell, winner, 0, 15, 0, 0);
        if (CellOwner(cell.word) == player) cell.word = WithCellOwner(cell.word, winner);
        levels[c] = 0;
        world.players[winner].dayHexCount = world.players[winner].dayHexCount + 1;
        if (loser.dayHexCount > 0) loser.dayHexCount = loser.dayHexCount - 1;
        handed = true;
      }
      if (!handed) break;
    }
  }
}

void TransferOnElimination(World& world, PlayerRecord& region, int32_t endReasonLastStanding,
                           int32_t endReasonLocalLost) {
  const int gone = region.number;
  if (gone < 0 || gone >= kMaxPlayers) return;
  const uint32_t bit = 1u << gone;
  uint32_t alive = 0;
  int aliveCount = 0;
  for (int p = 1; p < kMaxPlayers; ++p) {
    PlayerRecord& other = world.players[p];
    if (p == gone || !TakesPart(other)) continue;
    alive |= 1u << p;
    ++aliveCount;
    for (PlayerPolicyBlock* b : {&other.displayPolicy, &other.simPolicy}) {
      b->friendlyMask &= ~bit;
      b->hostileMask &= ~bit;
    }
    PlayerPolicyBlock& shown = other.displayPolicy;
    for (int k = 0; k < kRelationSlots; ++k) {
      const uint32_t mask = TreatyMask(shown, k);
      if (mask & bit) {
        SetTreatyMask(shown, k, mask & ~bit);
        if (k == 1) shown.friendlyMask &= ~bit;
        if (k == 3) {
          SetPairMask2(shown, PairMask2(shown) & ~bit);
          if (!(shown.friendlyMask & bit)) shown.hostileMask |= bit;
        }
        if (shown.hostileMask == 0 && shown.defcon > 3) shown.defcon = 3;
        SetTreaty(world, other, 0, k, false, gone, true, true);
        ++other.pendingCommands;
      }
      SetTreaty(world, other, 1, k, false, gone, true, true);
    }
  }
  GameState& state = world.gameState;
  if (aliveCount == 1 || region.lossForceEnd != 0) {
    state.endReason = static_cast<uint32_t>(endReasonLastStanding);
    state.winnersMask = alive;
    const int local = state.localPlayer;
    PostTurnEvent(local >= 0 && local < kMaxPlayers && (alive & (1u << local)) ? kTurnCodeGameWon : kTurnCodeGameLost);
  } else if (gone == state.localPlayer) {
    state.endReason = static_cast<uint32_t>(endReasonLocalLost);
    PostTurnEvent(kTurnCodeGameLost);
  }
}

void TopUpKind3Reserve(World& world) {
  const int highest = std::min<int>(world.gameState.highestPlayer, kMaxPlayers - 1);
  for (int p = 1; p <= highest; ++p) {
    PlayerRecord& r = world.players[p];
    if (r.kind == kKindComputer && r.treasury < 2000000000.0f)
      CreditTreasury(world, r, Ledger::kForeignIncome, 500000000.0f);
  }
}
