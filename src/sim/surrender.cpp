#include "sim/availability.h"
#include "sim/daily/elimination.h"
#include "sim/daily/unit_handover.h"
#include "world/relation_fields.h"
#include "sim/relations.h"
#include "units/hex_capture.h"
#include "units/hex_owner.h"
#include "records/unit_record.h"
#include "world/unit_tables.h"
#include "world/data_tables.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "world/region_figures.h"
#include "world/world.h"

namespace {

uint32_t Bit(int p) { return 1u << static_cast<unsigned>(p); }

// Bits 0-1 of the cell word: the hex's supply state of the day.
constexpr uint32_t kCellSupplyState = 3u;
constexpr uint32_t kSupplyStateCut = 2u;

// The elimination's end reasons: the last region standing, the local
// region lost.
constexpr int32_t kEndLastStanding = 2;
constexpr int32_t kEndLocalLost = 96;

// A handed-over unit goes to the heir with its stock (not the elimination's
// mode, which destroys stock).
constexpr int32_t kHandOverToHeir = 1;

constexpr int kSurrenderTreaties = 4;  // the reciprocal words of 13, 14, 15 and surrender

void BecomeFriends(PlayerRecord& a, int b) {
  a.simPolicy.hostileMask &= ~Bit(b);
  a.simPolicy.friendlyMask |= Bit(b);
  for (int word = 0; word < kSurrenderTreaties; ++word)
    SetReciprocalMask(a.simPolicy, word, ReciprocalMask(a.simPolicy, word) | Bit(b));
}

void MergeHoldings(World& world, PlayerRecord& from, PlayerRecord& to, bool research) {
  BookCredit(world, to, Ledger::kForeignIncome, from.treasury);
  BookCharge(world, from, Ledger::kForeignExpense, from.treasury);
  to.treasury += from.treasury;
  from.treasury = 0.0f;
  const float debt = LoadRegionFloat(from, kRegionNationalDebtBase);
  StoreRegionFloat(to, kRegionNationalDebtBase, LoadRegionFloat(to, kRegionNationalDebtBase) + debt);
  StoreRegionFloat(from, kRegionNationalDebtBase, 0.0f);
  const float reserve = LoadRegionFloat(from, kRegionPopReserve);
  StoreRegionFloat(to, kRegionPopReserve, LoadRegionFloat(to, kRegionPopReserve) + reserve);
  StoreRegionFloat(from, kRegionPopReserve, 0.0f);
  for (int p = 0; p < kProductCount; ++p) {
    uint8_t* a = from.products[p].bytes + kProductStockAt;
    uint8_t* b = to.products[p].bytes + kProductStockAt;
    le::StoreF32(b, le::LoadF32(b) + le::LoadF32(a));
    le::StoreF32(a, 0.0f);
  }
  if (!research) return;
  const int loser = from.number, winner = to.number;
  if (const PlayerTechState* row = TechRow(world, loser)) {
    const int count = world.gameState.techCount;
    for (int t = 0; t < count && static_cast<size_t>(t) < world.techs.size(); ++t)
      if (row[t].known != 0) GrantTechRecursive(world, winner, t);
  }
  const uint8_t* designs = DesignRow(world, loser);
  const int width = world.gameState.designRowBytes;
  for (int c = 0; designs && c < width && static_cast<size_t>(c) < world.unitClasses.size(); ++c)
    if (designs[c] & 1u) SetDesignAvailable(world, 1, winner, c, true);
}

// The hand-over walks the unit tables, which a game files only when it logs
// on; a region that surrenders before that (a scenario's start presets) has
// its units filed here first, as the log-on would file them, so that none
// stays behind with a region that is gone.
void FileUnfiledUnits(World& world, int player) {
  UnitRecord* head = world.units;
  if (!head) return;
  UnitRecord* unit = head;
  do {
    UnitRecord& u = *unit;
    unit = unit->next;
    if (u.owner != player || u.tableEntry || (u.unitFlags & (kUnitGone | kUnitProvisional | kUnitFacility)) ||
        u.classIndex == 0)
      continue;
    int table = kUnitTableOnMap;
    if (InReserve(u))
      table = (u.orders[kPostureBits] & kPostureUnderConstruction) ? kUnitTableOnOrder : kUnitTableReserve;
    AppendUnitPtr(world, table, player, UnitTableCategory(u), u);
  } while (unit && unit != head);
}

void Announce(World& world, const PlayerRecord& region) {
  AnnounceRegionGone(world, region, "Player %d (%s) has SURRENDERED.");
}

}  // namespace

void PlayerSurrender(World& world, int player, int winner, unsigned options) {
  if (player <= 0 || player >= kMaxPlayers || winner <= 0 || winner >= kMaxPlayers || player == winner) return;
  PlayerRecord& p = world.players[player];
  PlayerRecord& w = world.players[winner];
  if (!TakesPart(p) || !TakesPart(w)) return;
  const bool merger = (options & kSurrenderLoyaltyMerge) != 0;

  BecomeFriends(p, winner);
  BecomeFriends(w, player);

  // Each hex changes hands through the routine that moves it, which also
  // moves both regions' hex counts.
  for (HexCell& cell : world.cells) {
    if (CellOwner(cell.word) != player) continue;
    if (merger) {
      SetHexOwner(world, cell, 1, winner);
    } else {
      CaptureHex(world, cell, winner, 0, 15, 0, 0);
      cell.word = (cell.word & ~kCellSupplyState) | kSupplyStateCut;
    }
  }

  SetTargetHex(p.simPolicy, 0);
  SetSurrenderTarget(p.simPolicy, static_cast<uint8_t>(winner));
  // The winner is the heir the units pass to.
  reinterpret_cast<uint8_t*>(&p)[kRecordSuccessor] = static_cast<uint8_t>(winner);
  p.kind = kKindOut;

  // A merged region's units pass to the winner as well: left behind they
  // would serve a region that is gone.
  FileUnfiledUnits(world, player);
  TransferPlayerUnits(world, p, kHandOverToHeir);
  if (merger)
    MergeHoldings(world, p, w, (options & kSurrenderResearchMerge) != 0);
  else if (options & kSurrenderMessages)
    Announce(world, p);

  if (world.gameState.scenarioWinner == 0) TransferOnElimination(world, p, kEndLastStanding, kEndLocalLost);
  g_relationsChanged.store(true);
}
