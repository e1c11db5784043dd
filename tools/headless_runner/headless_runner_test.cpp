#include "headless_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "ai/ai_event_answer.h"
#include "ai/ai_field_units.h"
#include "platform/paths.h"
#include "records/unit_record.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "sim/command_post.h"
#include "units/facilities/build_yard.h"
#include "units/class_fields.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/unit_tables.h"
#include "units/facilities/upkeep_fields.h"
#include "units/unit_player_fields.h"
#include "sim/player_messages.h"
#include "sim/simulation_lock.h"
#include "units/ai_event_queue.h"
#include "units/hex_geometry.h"
#include "records/hex_cell.h"
#include "world/list_items.h"
#include "world/text/ui_options.h"
#include "world/day_ledger.h"
#include "world/world.h"
#include "support/temp_dir.h"
#include "platform/fpenv.h"
#include "sim/map_derived_data.h"
#include "world/terrain_file.h"
#include "world/tech_file.h"
#include "world/people_file.h"
#include "world/unit_class_file.h"
#include "world/game_file.h"
#include "world/map_file.h"
#include "world/text/scenario_def.h"
#include "world/scenario_load.h"
#include "world/map_folders.h"
#include "support/private_game_root.h"

namespace {

// What one turn end leaves in the regions' message lists.
struct TurnCount {
  int stored = 0;  // messages in all lists
  int posted = 0;  // messages first seen at this turn end
};

// The oldest a message may be once the turn-end work has run: news lives
// half its priority plus the news days, unkept e-mail the e-mail days; a
// message of neither kind, and kept e-mail, has no limit.
int64_t AgeLimit(const PlayerMessage& m) {
  if (m.flags & kMessageNews) return m.priority / 2 + g_uiOptions.newsdeldays;
  if ((m.flags & kMessageEmail) && !(m.flags & kMessageKept) && g_uiOptions.emaildeldays != 0)
    return g_uiOptions.emaildeldays;
  return INT64_MAX;
}

// The sample world for 64 days with the runner's own turn ends: after each,
// no region (players 1 to 31) holds a message past its age limit, and in the end the lists
// hold no more than the last few weeks brought, far fewer than the game
// posted.
TEST(HeadlessRunner, MessageListsStayWithinTheirDaysOverALongRun) {
  plat::SetDataRoot(PrivateGameRoot());
  constexpr int kDays = 64;
  std::vector<TurnCount> turns;
  int64_t longestLimit = 0;
  uint32_t newestSerial = 0;
  int overAge = 0;

  headless::Options options;
  options.game = "Channel";
  options.days = kDays;
  options.afterTurnEnd = [&](World& world) {
    const int64_t today = world.gameState.currentDay;
    TurnCount count;
    uint32_t newest = newestSerial;
    // The turn end ages out the regions' lists only: player 0's list (the
    // world's own slot) is never aged out.
    for (int p = 1; p < kMaxPlayers; ++p) {
      ListNode& head = world.messageLists[p];
      for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
        const auto& m = *static_cast<PlayerMessage*>(node);
        ++count.stored;
        if (m.serial > newestSerial) ++count.posted;
        newest = std::max(newest, m.serial);
        const int64_t limit = AgeLimit(m);
        if (limit != INT64_MAX) longestLimit = std::max(longestLimit, limit);
        if (today - static_cast<int64_t>(m.day) > limit && ++overAge <= 5)
          ADD_FAILURE() << "day " << today << ": region " << p << " keeps message " << m.typeId << " of day "
                        << m.day << " (flags " << m.flags << ", priority " << int{m.priority} << ")";
      }
    }
    newestSerial = newest;
    turns.push_back(count);
  };

  std::FILE* out = std::fopen("/dev/null", "w");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(headless::Run(options, out, stderr), 0);
  std::fclose(out);

  ASSERT_EQ(turns.size(), static_cast<size_t>(kDays));
  EXPECT_EQ(overAge, 0);
  // Every message stored at the end arrived within the longest limit (plus
  // the day it arrived on).
  ASSERT_GT(longestLimit, 0);
  ASSERT_LT(longestLimit + 1, kDays / 2) << "the run is too short to see the lists level off";
  int lastWeeks = 0, total = 0;
  for (int t = 0; t < kDays; ++t) {
    total += turns[t].posted;
    if (t >= kDays - (longestLimit + 1)) lastWeeks += turns[t].posted;
  }
  EXPECT_LE(turns.back().stored, lastWeeks);
  // The game posts enough that keeping everything would be seen.
  EXPECT_GT(total, 2 * turns.back().stored);
  // Half-way the lists are full already; the second half adds nothing
  // beyond what the same number of days' postings may vary. One day's count
  // swings by half and more, so the second quarter's fullest day is the
  // measure.
  int halfWay = 0;
  for (int t = kDays / 4; t < kDays / 2; ++t) halfWay = std::max(halfWay, turns[t].stored);
  EXPECT_LE(turns.back().stored, halfWay + halfWay / 2);
}

}  // namespace

// What the unit tables hold at one turn end.
struct ForceCount {
  int onOrder = 0;    // live units in table 3
  int available = 0;  // live units in tables 1 and 2
  int training = 0;   // reserve units under a training order
  float experience = 0.0f;  // summed over the reserve
  int notANumber = 0;  // unit and upkeep figures that are NaN
};

ForceCount CountForces(World& world) {
  ForceCount c;
  for (int p = 0; p < kMaxPlayers; ++p) {
    for (int category = 0; category < kUnitCategories; ++category) {
      for (int table = kUnitTableOnMap; table <= kUnitTableOnOrder; ++table) {
        ForEachTableUnit(world.unitTables, table, p, category, [&](UnitRecord& u) {
          if (!IsUnitLive(u)) return;
          for (float v : {u.strength, u.efficiency, u.experience, u.morale, u.training, u.buildWork, u.disruption})
            if (std::isnan(v)) ++c.notANumber;
          if (table == kUnitTableOnOrder) {
            ++c.onOrder;
            return;
          }
          ++c.available;
          if (table == kUnitTableReserve) {
            c.experience += u.experience;
            if (u.orders[kOrderMask] & kMaskTraining) ++c.training;
          }
        });
      }
    }
    const PlayerRecord& r = world.players[p];
    for (size_t at : {upkeepfields::kQualityTarget1, upkeepfields::kQualityTarget2, upkeepfields::kUpkeepTotal,
                      upkeepfields::kMilitaryWeight, upkeepfields::kBuildSpent, upkeepfields::kTrainingSpent})
      if (std::isnan(unitfields::Real(r, at))) ++c.notANumber;
  }
  return c;
}

void Post(CommandLog& log, GameCommand c) { PostCommand(log, std::move(c), true); }

// The budget pages against the treasuries, one turn end after another: each
// region's change since the last turn end is what the pages show for the day
// (their income lines less their expense lines), plus what was booked after
// the day closed. Counts the days a unit purchase was shown, and whether the
// pages' unit purchases were what the build queue paid.
struct BudgetWatch {
  double treasury[kMaxPlayers] = {};
  double afterDay[kMaxPlayers] = {};
  bool seen[kMaxPlayers] = {};
  int onOrder[kMaxPlayers] = {};
  double worstGap = 0.0;  // in units of the treasury's last place
  int checked = 0, purchaseDays = 0, purchaseMismatches = 0, summaryMismatches = 0;

  static double Net(const DayLedger& d) { return d.Income() - d.Expenses(); }
  static int OnOrder(World& world, int p) {
    int n = 0;
    for (int category = 0; category < 4; ++category)
      ForEachTableUnit(world.unitTables, kUnitTableOnOrder, p, category, [&](UnitRecord&) { ++n; });
    return n;
  }
  void Look(World& world) {
    for (int p = 1; p < kMaxPlayers; ++p) {
      const PlayerRecord& r = world.players[p];
      const double running = Net(world.dayLedgers.running[p]);
      const DayLedger* day = LastDayLedger(world, p);
      if (day && seen[p] && TakesPart(r)) {
        double pages = 0.0, summary = 0.0, expenses = 0.0;
        for (const BudgetLine& l : IncomePageLines(*day)) pages += l.perDay;
        for (const BudgetLine& l : ExpensePageLines(*day)) pages -= l.perDay, expenses += l.perDay;
        for (const BudgetLine& l : SummaryPageLines(*day)) summary += l.perDay;
        const double change = static_cast<double>(r.treasury) - treasury[p];
        const double unit = std::ldexp(1.0, std::ilogb(std::max(std::fabs(r.treasury), 1.0f)) - 23);
        worstGap = std::max(worstGap, std::fabs(change - (pages + running - afterDay[p])) / unit);
        ++checked;
        if (std::fabs(summary - expenses) > 1.0) ++summaryMismatches;
        // The build queue's spent total is the sum of the payments its rules
        // make; the treasury, rounding toward zero, loses each payment to its
        // last place or more, so the page may show up to a last place more
        // per unit on order (on order before the day or after it).
        const double bought = ExpensePageLines(*day)[4].perDay;
        const double spent = unitfields::Real(r, upkeepfields::kBuildSpent);
        if (bought > 0.0) ++purchaseDays;
        const int units = OnOrder(world, p) + onOrder[p];
        if (bought < spent || bought > spent + unit * units) ++purchaseMismatches;
      }
      treasury[p] = r.treasury;
      afterDay[p] = running;
      onOrder[p] = OnOrder(world, p);
      seen[p] = true;
    }
  }
};

// What the regions of the sample world order at the first turn end, as a
// player would through the interface: a land unit at each facility that
// builds units. Returns the number of units ordered.
int OrderUnits(World& world) {
  CommandLog* log = CommandLogOf(world);
  if (!log) return 0;
  int ordered = 0;
  int32_t landClass = -1;
  for (size_t c = 1; c < world.unitClasses.size() && landClass < 0; ++c) {
    const UnitClassRecord& k = world.unitClasses[c];
    if (UnitClassOrderable(world, static_cast<int32_t>(c)) && k.kind == 0 && k.typeByte != unitfields::kTypeEightClass &&
        !(k.flags & (kClassFacility | kClassStock)) && k.buildWorkPerPoint > 0.0f)
      landClass = static_cast<int32_t>(c);
  }
  for (size_t i = 0; i < world.cells.size() && landClass >= 0; ++i) {
    const UnitRecord* yard = BuildYardOn(world, world.cells[i]);
    if (!yard || !TakesPart(world.players[yard->owner & 31])) continue;
    GameCommand c = MakeGameCommand(world.gameState, kCmdCreateUnit, yard->owner & 31);
    c.arg24 = unitbytes::UnitPosition(*yard);
    c.arg28 = static_cast<uint32_t>(landClass);
    c.arg32 = std::bit_cast<uint32_t>(1.0f);
    Post(*log, std::move(c));
    ++ordered;
  }
  return ordered;
}

// The first training programme for every unit of the reserve not yet sent
// to one.
void OrderTraining(World& world, std::set<uint32_t>& sent) {
  CommandLog* log = CommandLogOf(world);
  if (!log) return;
  for (int p = 1; p < kMaxPlayers; ++p)
    for (int category = 0; category < 4; ++category)
      ForEachTableUnit(world.unitTables, kUnitTableReserve, p, category, [&](UnitRecord& u) {
        if (!IsUnitLive(u) || (u.unitFlags & kUnitStock) || !sent.insert(u.id).second) return;
        GameCommand level = MakeGameCommand(world.gameState, kCmdUnitSetOrderLevel, p);
        level.arg28 = u.id;
        level.arg32 = 1;
        Post(*log, std::move(level));
        GameCommand mask = MakeGameCommand(world.gameState, kCmdAddOrderFlags, p);
        mask.arg28 = u.id;
        mask.arg36 = kMaskTraining;
        Post(*log, std::move(mask));
      });
}

// Thirty days of the sample world on the real turn thread: the build queue
// finishes units on order into the reserve or onto the map, reserve units
// under a training order gain experience, and no unit or upkeep figure
// becomes NaN.
TEST(HeadlessRunner, ThirtyDaysFinishOrderedUnitsAndTrainTheReserve) {
  plat::SetDataRoot(PrivateGameRoot());
  std::vector<ForceCount> days;
  headless::Options options;
  options.game = "Channel";
  options.days = 30;
  int ordered = 0;
  std::set<uint32_t> sentToTraining;
  BudgetWatch money;
  options.afterTurnEnd = [&](World& world) {
    days.push_back(CountForces(world));
    money.Look(world);
    if (days.size() == 1) ordered = OrderUnits(world);
    OrderTraining(world, sentToTraining);
  };
  std::FILE* out = std::fopen("/dev/null", "w");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(headless::Run(options, out, stderr), 0);
  std::fclose(out);
  ASSERT_EQ(days.size(), 30u);
  ASSERT_GT(ordered, 0);
  int mostOnOrder = 0;
  for (const ForceCount& d : days) mostOnOrder = std::max(mostOnOrder, d.onOrder);
  EXPECT_GT(mostOnOrder, 0);
  EXPECT_LT(days.back().onOrder, mostOnOrder);
  EXPECT_GT(days.back().available, days.front().available);
  int trainingDays = 0;
  for (const ForceCount& d : days) trainingDays += d.training;
  EXPECT_GT(trainingDays, 0);
  EXPECT_GT(days.back().experience, days.front().experience);
  for (const ForceCount& d : days) EXPECT_EQ(d.notANumber, 0);
  // Every region's days: the pages' money is the treasury's, but for the
  // rounding of the one payment that sums the day's budget in three steps.
  EXPECT_GT(money.checked, 29 * 2);
  EXPECT_LE(money.worstGap, 3.0);
  EXPECT_GT(money.purchaseDays, 0);
  EXPECT_EQ(money.purchaseMismatches, 0);
  EXPECT_EQ(money.summaryMismatches, 0);
}

namespace {

// A sample-world infantry unit at full strength and supply qualifies to
// answer an attack on its region's ground three hexes away: the figures the
// computer players weigh a unit by are the ones the unit model keeps (a
// wrong reading of them would leave every computer player idle).
TEST(HeadlessRunner, ASampleInfantryUnitQualifiesToAnswerAnAttackThreeHexesAway) {
  plat::SetDataRoot(PrivateGameRoot());
  headless::Options options;
  options.game = "Channel";
  options.days = 1;
  int checked = 0;
  options.afterTurnEnd = [&checked](World& w) {
    plat::CriticalSectionLock simulation(g_simulationLock);
    const HexMapShape map = MapShape(w);
    for (UnitRecord* u = w.units; u && checked == 0; u = u->next == w.units ? nullptr : u->next) {
      const UnitClassRecord* cls = UnitClassOf(w, *u);
      if (!IsUnitLive(*u) || !cls || std::string(cls->name) != "Infantry" || u->carrier != 0) continue;
      const int owner = u->owner;
      u->strength = cls->strengthPerSize;
      u->ammo = cls->ammoCapacity * u->strength;
      u->fuel = cls->fuelCapacity * u->strength;
      u->disruption = 0.0f;
      u->orders[kOrderFlags] = 0;
      u->orders[kLeaderUnit] = 0;
      const uint32_t here = MakeHexPos(u->x, u->y);
      uint32_t target = 0;
      for (size_t c = 0; c < w.cells.size() && target == 0; ++c) {
        const uint32_t hex = MakeHexPos(static_cast<int32_t>(c % static_cast<size_t>(w.mapWidth)),
                                        static_cast<int32_t>(c / static_cast<size_t>(w.mapWidth)));
        if (CellOwner(w.cells[c].word) == owner && HexRangeDistance(map, here, hex) == 3) target = hex;
      }
      if (target == 0) continue;
      const AiEvent attack{w.gameState.currentTick, target, 0, 2000, 0, 6, nullptr};
      EXPECT_TRUE(IsIdleFieldUnit(w, *u)) << "unit " << u->id;
      float score = -1.0f;
      EXPECT_TRUE(AiUnitQualifies(w, w.players[owner], *u, attack, &score)) << "unit " << u->id;
      EXPECT_GE(score, 0.0f);
      ++checked;
    }
  };
  ASSERT_EQ(headless::Run(options, stdout, stderr), 0);
  EXPECT_EQ(checked, 1) << "the sample world has an infantry unit with its region's ground three hexes away";
}

// The sample world as the map editor holds it: its derived figures give
// every region the hex count and best settlement of the game's first day,
// and saved under "CUSTOM\" with a definition of its own it plays through
// --custom with the same first day.
TEST(HeadlessRunner, TheEditorsFiguresAndACustomCopyMatchTheFirstDay) {
  // Each region's hex count and best settlement's column and row.
  const auto figures = [](World& w, bool derived) {
    std::vector<int32_t> all;
    for (int p = 1; p <= w.gameState.highestPlayer; ++p) {
      const PlayerRecord& r = w.players[p];
      all.insert(all.end(), {derived ? r.hexCount : r.dayHexCount, r.turnBestHex[0], r.turnBestHex[1]});
    }
    return all;
  };
  plat::SetDataRoot(PrivateGameRoot());
  plat::SetGameFloatMode();
  WorldInitLocks(g_world);
  std::string why;
  ASSERT_GE(LoadScenarioDef(g_world, nullptr, "Channel"), 0);
  ASSERT_EQ(LoadScenarioFileSequence(g_world, "Channel", &why), 0) << why;
  RecalcDerivedMapData(g_world);
  const std::vector<int32_t> edited = figures(g_world, true);

  // A data root of the game's folders with a "CUSTOM\" of its own.
  TempDir root;
  for (const auto& entry : std::filesystem::directory_iterator(PrivateGameRoot()))
    if (entry.is_directory() && entry.path().filename() != "CUSTOM")
      std::filesystem::create_directory_symlink(entry.path(), std::filesystem::path(root.path()) / entry.path().filename());
  plat::SetDataRoot(root.path());
  const MapFolderHooks kept = g_mapFolderHooks;
  g_mapFolderHooks.mapEditor = [] { return true; };
  for (auto write : {WriteMapFile, WriteGamFile, WriteUniFile, WritePplFile, WriteTtrFile, WriteTerFile})
    EXPECT_EQ(write(g_world, "CHAN2"), plat::kOk);
  g_mapFolderHooks = kept;
  std::ifstream original(std::string(VD_GAME_DIR) + "/Scenario/Channel.GMC");
  std::string definition, line;
  while (std::getline(original, line)) {
    for (const char* key : {"gamfile:", "ttrfile:", "pplfile:", "unifile:", "terfile:"})
      if (line.rfind(key, 0) == 0) line = std::string(key) + " CHAN2";
    definition += line + "\n";
  }
  root.Write("CUSTOM/CHAN2.GMC", definition);

  std::string parseError;
  headless::Options options;
  const char* argv[] = {"veldrane-headless", "--days", "1", "--custom", "CHAN2"};
  ASSERT_TRUE(headless::ParseOptions(5, const_cast<char**>(argv), options, parseError)) << parseError;
  std::vector<int32_t> played;
  options.afterTurnEnd = [&](World& world) {
    if (played.empty()) played = figures(world, false);
  };
  ASSERT_EQ(headless::Run(options, stdout, stderr), 0);
  EXPECT_FALSE(ReadsCustomFolder()) << "the run leaves the folders as they were";
  EXPECT_GT(edited.size(), 3u);
  EXPECT_EQ(played, edited);
  plat::SetDataRoot(PrivateGameRoot());
}

}  // namespace
