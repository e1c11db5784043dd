// The path search against Boost Graph's A* on two seeded 240 x 120 wrapping
// maps: one where every move costs the same, one with terrain. Boost's graph
// is built once with MoveCost as its edge weights and searches with the same
// heuristic, stopping when the goal is examined. Over fixed seeded pairs that
// both searches reach, each run reports the time of one search of each, their
// ratio, and how many pairs the two ways differ in cost.
#include <benchmark/benchmark.h>

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/astar_search.hpp>
#include <chrono>
#include <random>
#include <vector>

#include "units/paths/path_test_world.h"

namespace {

using Graph = boost::adjacency_list<boost::vecS, boost::vecS, boost::directedS, boost::no_property,
                                    boost::property<boost::edge_weight_t, uint32_t>>;
using Vertex = boost::graph_traits<Graph>::vertex_descriptor;

constexpr int kWidth = 240;
constexpr int kHeight = 120;
constexpr int kPairs = 300;

struct FoundGoal {};

class StopAtGoal : public boost::default_astar_visitor {
 public:
  explicit StopAtGoal(Vertex goal) : goal_(goal) {}
  void examine_vertex(Vertex v, const Graph&) const {
    if (v == goal_) throw FoundGoal{};
  }

 private:
  Vertex goal_;
};

class HexHeuristic : public boost::astar_heuristic<Graph, uint32_t> {
 public:
  HexHeuristic(HexMapShape map, uint32_t goal) : map_(map), goal_(goal) {}
  uint32_t operator()(Vertex v) const {
    const auto x = static_cast<int>(v % static_cast<size_t>(map_.width));
    const auto y = static_cast<int>(v / static_cast<size_t>(map_.width));
    return static_cast<uint32_t>(HexDistance(map_, MakeHexPos(x, y), goal_));
  }

 private:
  HexMapShape map_;
  uint32_t goal_;
};

struct Bench {
  explicit Bench(bool terrain) : t(kWidth, kHeight, true), graph(static_cast<size_t>(kWidth) * kHeight) {
    std::mt19937 rng(terrain ? 11 : 7);
    if (terrain) t.LayRoughGround(rng);
    block.ownerMask = 0xFFFFFFFFu;
    block.heuristicWeight = 1;
    const MoveRules rules = t.Rules(block);
    const HexMapShape map = t.map();
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        for (int d = 0; d < 6; ++d) {
          const uint32_t from = MakeHexPos(x, y), to = HexNeighbour(map, from, d);
          if (from == kNoHexPosition || to == kNoHexPosition) continue;
          const uint32_t cost = MoveCost(t.world(), map, rules, from, to, d);
          if (cost) boost::add_edge(Index(from), Index(to), cost, graph);
        }
    distance.resize(boost::num_vertices(graph));
    predecessor.resize(boost::num_vertices(graph));
    for (int i = 0; i < kPairs; ++i) {
      const uint32_t from = t.RandomHex(rng);
      pairs.push_back({from, t.RandomHex(rng)});
    }
  }

  Vertex Index(uint32_t position) const { return static_cast<Vertex>(HexCellIndex(t.map(), position)); }

  // The cost of FindPath's way to the goal, or 0 when it did not reach it.
  uint64_t Search(uint32_t from, uint32_t to) {
    block.from = from;
    block.to = to;
    if (FindPath(t.world(), block) != 1 || block.steps[0] == kNoMove) return 0;
    std::vector<uint32_t> hexes;
    uint64_t cost = 0;
    uint32_t last = 0;
    return t.Walk(block, hexes, cost, last) && hexes.back() == to ? cost : 0;
  }

  // The cost of Boost's way to the goal, or 0 when it did not reach it.
  uint64_t SearchBoost(uint32_t from, uint32_t to) {
    const Vertex goal = Index(to);
    try {
      boost::astar_search(graph, Index(from), HexHeuristic(t.map(), to),
                          boost::visitor(StopAtGoal(goal))
                              .distance_map(boost::make_iterator_property_map(distance.begin(),
                                                                              boost::get(boost::vertex_index, graph)))
                              .predecessor_map(boost::make_iterator_property_map(
                                  predecessor.begin(), boost::get(boost::vertex_index, graph))));
    } catch (const FoundGoal&) {
      return distance[goal];
    }
    return 0;
  }

  PathTestWorld t;
  Graph graph;
  PathSearchBlock block;
  std::vector<uint32_t> distance;
  std::vector<Vertex> predecessor;
  std::vector<std::pair<uint32_t, uint32_t>> pairs;
};

void Compare(benchmark::State& state, bool terrain) {
  Bench bench(terrain);
  // The pairs both reach, with the costs each found.
  std::vector<size_t> both;
  int differ = 0;
  for (size_t i = 0; i < bench.pairs.size(); ++i) {
    const auto [from, to] = bench.pairs[i];
    if (from == to) continue;
    const uint64_t mine = bench.Search(from, to), theirs = bench.SearchBoost(from, to);
    if (mine == 0 || theirs == 0) continue;
    both.push_back(i);
    differ += mine != theirs ? 1 : 0;
  }
  using Clock = std::chrono::steady_clock;
  double mineSeconds = 0, theirSeconds = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    for (size_t i : both) benchmark::DoNotOptimize(bench.Search(bench.pairs[i].first, bench.pairs[i].second));
    const auto t1 = Clock::now();
    for (size_t i : both) benchmark::DoNotOptimize(bench.SearchBoost(bench.pairs[i].first, bench.pairs[i].second));
    const auto t2 = Clock::now();
    mineSeconds += std::chrono::duration<double>(t1 - t0).count();
    theirSeconds += std::chrono::duration<double>(t2 - t1).count();
  }
  const double searches = static_cast<double>(both.size()) * static_cast<double>(state.iterations());
  state.counters["pairs"] = static_cast<double>(both.size());
  state.counters["findpath_us"] = mineSeconds / searches * 1e6;
  state.counters["boost_us"] = theirSeconds / searches * 1e6;
  state.counters["ratio"] = theirSeconds / mineSeconds;
  state.counters["cost_differs"] = differ;
}

void BM_FindPathVersusBoostAStarUniform(benchmark::State& state) { Compare(state, false); }
void BM_FindPathVersusBoostAStarTerrain(benchmark::State& state) { Compare(state, true); }

}  // namespace

BENCHMARK(BM_FindPathVersusBoostAStarUniform)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindPathVersusBoostAStarTerrain)->Unit(benchmark::kMillisecond);
