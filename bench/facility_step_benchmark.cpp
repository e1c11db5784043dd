// How long one game day of facility steps takes: the benchmark world (240 x
// 120, 32 players, about 10,000 units) is loaded through the headless
// runner; after its first turn every region goes to war with every other,
// 1,000 of its facilities are given guns, and 1,440 minutes of the
// scheduler's facility walk are timed on their own.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <vector>

#include "headless_runner.h"
#include "platform/paths.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "sim/simulation_lock.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "world/hex_stack_chains.h"
#include "world/unit_create.h"
#include "units/step/unit_side_steps.h"
#include "world/unit_tables.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

constexpr int kArmed = 1000;
constexpr int kMinutesADay = 1440;

struct DayFigures {
  bool ran = false;
  int armed = 0;
  int facilities = 0;
  int units = 0;
  long steps = 0;
  int targets = 0;
  int destroyed = 0;
  int shots = 0;
  double seconds = 0;
};

// A gun emplacement made from the class of a facility already on the map.
int AddBatteryClass(World& w, const UnitClassRecord& from) {
  size_t slot = 1;
  while (slot < w.unitClasses.size() && w.unitClasses[slot].name[0] != '\0') ++slot;
  if (slot >= 4000) return -1;
  if (slot >= w.unitClasses.size()) w.unitClasses.resize(slot + 1);
  UnitClassRecord& c = w.unitClasses[slot];
  c = from;
  std::snprintf(c.name, sizeof c.name, "%s", "Bench battery");
  c.flags = kClassFacility;
  c.ammoCapacity = 10.0f;
  c.ammoPerShot = 0.01f;
  c.reloadFactor = 5;  // scans every third step
  for (int type = 0; type < 7; ++type) c.attackValues[type] = 12;
  for (uint8_t& d : c.defenceValues) d = 12;
  // A long gun (400 and beyond are never shortened): about 20 hexes on the
  // benchmark world, so that most batteries have enemies in reach.
  const float reach = std::max(400.0f, 10.0f * static_cast<float>(w.mapHeader.hexScale));
  for (float& r : c.weaponRanges) r = reach;
  c.sweepMode = 2;      // sweeps back and forth
  c.spotValue = 120;    // and spots with its own radar
  c.sightDistance = reach;
  c.sweepLower = 0;
  c.sweepUpper = 23;
  return static_cast<int>(slot);
}

void Measure(World& w, DayFigures& f) {
  plat::CriticalSectionLock simulation(g_simulationLock);
  uint32_t taking = 0;
  for (int p = 1; p < kMaxPlayers; ++p)
    if (TakesPart(w.players[p])) taking |= 1u << p;
  for (int p = 1; p < kMaxPlayers; ++p) {
    w.players[p].simPolicy.hostileMask = taking & ~(1u << p);
    w.players[p].simPolicy.friendlyMask = 0;
  }
  std::vector<UnitRecord*> facilities;
  for (int p = 0; p < kMaxPlayers; ++p) {
    for (int c = 0; c < 4; ++c)
      if (const UnitTableArray* a = w.unitTables.Slot(kUnitTableOnMap, p, c))
        for (int32_t i = 1; i < a->Count(); ++i) f.units += a->At(i).unit ? 1 : 0;
    if (const UnitTableArray* a = w.unitTables.Slot(kUnitTableOnMap, p, kUnitCategoryFacility))
      for (int32_t i = 1; i < a->Count(); ++i)
        if (UnitRecord* u = a->At(i).unit; u && IsUnitLive(*u)) facilities.push_back(u);
  }
  f.facilities = static_cast<int>(facilities.size());
  if (facilities.empty()) return;
  const int battery = AddBatteryClass(w, w.unitClasses[static_cast<size_t>(facilities.front()->classIndex)]);
  if (battery < 0) return;
  // Spread over the map: every k-th facility in table order.
  const size_t stride = std::max<size_t>(1, facilities.size() / kArmed);
  for (size_t i = 0; i < facilities.size() && f.armed < kArmed; i += stride) {
    UnitRecord& u = *facilities[i];
    u.classIndex = static_cast<int16_t>(battery);
    if (u.strength < 1.0f) u.strength = 1.0f;
    u.ammo = 10.0f * u.strength;
    // Switched on, in both copies: a facility out of service does not step.
    u.orders[kPostureBits] &= ~(kPostureInReserve | kPostureUnderConstruction);
    u.ordersShown[kPostureBits] &= ~(kPostureInReserve | kPostureUnderConstruction);
    ++f.armed;
  }
  // Too few on the map: more are built on owned hexes without one, spread
  // over the map.
  uint32_t nextId = 0x7F000000u;
  const int32_t width = w.mapHeader.width;
  for (size_t c = 0; c < w.cells.size() && f.armed < kArmed; c += 23) {
    HexCell& cell = w.cells[c];
    const int owner = CellOwner(cell.word);
    if (owner == 0 || c == 0) continue;
    if (HexUnitStack* s = LoadHexStack(cell); s && s->lead) continue;
    const auto x = static_cast<int16_t>(static_cast<int32_t>(c) % width);
    const auto y = static_cast<int16_t>(static_cast<int32_t>(c) / width);
    const uint32_t at =
        static_cast<uint32_t>(static_cast<uint16_t>(x)) | static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16;
    UnitRecord* u = CreateUnit(w, w.players[owner], ++nextId, battery, 1.0f, at, 0, 0);
    if (!u) continue;
    u->unitFlags &= ~kUnitProvisional;
    u->orders[kPostureBits] = u->ordersShown[kPostureBits] = 0;
    u->buildWork = 0.0f;
    u->ammo = 10.0f;
    u->efficiency = u->morale = 0.8f;
    GetStackDataLocked(w, cell)->lead = u;
    AppendUnitPtr(w, kUnitTableOnMap, owner, UnitTableCategory(*u), *u);
    ++f.armed;
    ++f.facilities;
  }
  int goneBefore = 0;
  for (UnitRecord* u = w.units; u;) {
    goneBefore += (u->unitFlags & kUnitGone) ? 1 : 0;
    u = u->next;
    if (u == w.units) break;
  }

  const auto start = std::chrono::steady_clock::now();
  for (int minute = 0; minute < kMinutesADay; ++minute) {
    const int first = (kMinutesADay - minute) % kMaxPlayers;
    for (int k = 0; k < kMaxPlayers; ++k) {
      const int p = (first + k) % kMaxPlayers;
      const UnitTableArray* a = w.unitTables.Slot(kUnitTableOnMap, p, kUnitCategoryFacility);
      if (!a) continue;
      const int32_t count = a->Count();
      for (int32_t i = 1; i < count; ++i) {
        UnitTableArray* slot = w.unitTables.Slot(kUnitTableOnMap, p, kUnitCategoryFacility);
        if (i >= slot->Count()) break;
        UnitTableEntry& e = slot->At(i);
        if (!e.unit) continue;
        if (e.countdown > 0) {
          e.countdown -= 1;
          if (e.minutesSince < 255) e.minutesSince += 1;
          continue;
        }
        RunFacilityStep(w, *e.unit, e.minutesSince + 1);
        ++f.steps;
      }
    }
  }
  f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int goneAfter = 0;
  for (UnitRecord* u = w.units; u;) {
    goneAfter += (u->unitFlags & kUnitGone) ? 1 : 0;
    if ((u->unitFlags & kUnitFacility) && u->orders[kFireUnit] != 0) ++f.targets;
    u = u->next;
    if (u == w.units) break;
  }
  f.destroyed = goneAfter - goneBefore;
  for (UnitRecord* u : facilities)
    if (u->classIndex == battery) f.shots += u->orders[kOrderFlags] & kOrderEngaged ? 1 : 0;
  f.ran = true;
}

void BM_FacilityStepsOneDay(benchmark::State& state) {
  DayFigures figures;
  for (auto _ : state) {
    plat::SetDataRoot(VD_BENCH_WORLD_ROOT);
    headless::Options options;
    options.days = 1;
    options.game = "Channel";
    bool measured = false;
    options.afterTurnEnd = [&](World& w) {
      if (measured) return;
      measured = true;
      Measure(w, figures);
    };
    std::FILE* sink = std::fopen("/dev/null", "w");
    const int code = headless::Run(options, sink ? sink : stdout, sink ? sink : stderr);
    if (sink) std::fclose(sink);
    if (code != 0 || !figures.ran) {
      state.SkipWithError("the benchmark world did not load or no facility could be armed");
      return;
    }
  }
  state.counters["day_s"] = figures.seconds;
  state.counters["steps"] = static_cast<double>(figures.steps);
  state.counters["armed"] = figures.armed;
  std::printf(
      "facility steps: %d facilities (%d armed) among %d units at war; one game day: %ld steps in %.3f s "
      "(%.2f us a step); %d facilities hold a target, %d fired in their last step, %d units destroyed\n",
      figures.facilities, figures.armed, figures.units, figures.steps, figures.seconds,
      figures.steps ? figures.seconds * 1e6 / static_cast<double>(figures.steps) : 0.0, figures.targets,
      figures.shots, figures.destroyed);
}
BENCHMARK(BM_FacilityStepsOneDay)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
