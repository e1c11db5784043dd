#include "units/paths/path_search.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "units/hex_geometry.h"
#include "units/paths/move_cost.h"
#include "world/unit_class.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

using Node = PathSearchBlock::Node;
using Bucket = PathSearchBlock::Bucket;

constexpr int32_t kNone = -1;
constexpr uint32_t kNoBest = 0x7FFFFFFF;
constexpr uint32_t kNoWrap = 0x80000000u;

// The hex state block's crossing mark and works slots.
constexpr size_t kMarkByte = 11;
constexpr size_t kSlotModeByte = 32;
constexpr size_t kSlotFlagsByte = 36;
constexpr size_t kSlotProgressAt = 40;

const uint8_t* ExtraBytes(const HexExtra& e) {
  return reinterpret_cast<const uint8_t*>(static_cast<const HexExtraImage*>(&e));
}

// The cost a class gives its hex for the mode: byte 99 for the sea mode,
// else the land rule.
uint32_t FacilityCost(const UnitClassRecord* cls, int m) {
  if (!cls) return 0;
  return m == kSeaMode ? cls->hexSeaMoveCost : ClassMoveCost(cls, m);
}

void Merge(uint32_t& c, uint32_t k) {
  if (k != 0 && (c == 0 || k < c)) c = k;
}

// A facility counts for the hex it stands on when it is live and confirmed
// and in service, or a haven not held back.
bool CountsWhenStanding(const World& world, const UnitRecord* lead) {
  if (!lead || (lead->unitFlags & (kUnitGone | kUnitProvisional)) || lead->classIndex == 0) return false;
  const uint32_t state = lead->orders[kPostureBits];
  if (!(state & kPostureInReserve)) return true;
  const UnitClassRecord* cls = UnitClassOf(world, *lead);
  const uint32_t mode = lead->orders[kStateFlags];
  return cls && (cls->flags & kClassHaven) && !(mode & kStateModeC) &&
         (!(state & kPostureUnderConstruction) || !(mode & kStateHeldSlot));
}

// The open list pops the node of least key; among equal keys the one of
// greatest g, and among those the newest. A bucket of one key keeps its
// nodes unsorted until it comes first; then they are sorted into one array
// popped from its back. Every node that joins the first bucket afterwards is
// a child of a node popped from it, with a greater g than any left there, so
// it lands at the back, behind at most its brothers. Buckets are kept in
// ascending key order and dropped when they empty; keys below kDenseKeys are
// also indexed by key, so that a new node finds its bucket, or the bucket it
// follows, without walking the chain of buckets.
constexpr uint32_t kDenseKeys = 1u << 20;

// A node's place in the sorted bucket: the greater g, then the newer node,
// is popped first, from the back.
uint64_t Rank(const Node& n, int32_t node) { return uint64_t{n.g} << 32 | static_cast<uint32_t>(node); }
int32_t RankedNode(uint64_t rank) { return static_cast<int32_t>(rank & 0xFFFFFFFFu); }

class OpenList {
 public:
  explicit OpenList(PathSearchBlock& b) : b_(b) { b_.sorted.clear(); }
  ~OpenList() {
    for (const Bucket& bucket : b_.buckets)
      if (bucket.key < b_.bucketByKey.size()) b_.bucketByKey[bucket.key] = kNone;
  }

  bool Empty() const { return first_ == kNone; }

  int32_t Take() {
    if (sorted_ != first_) SortFirst();
    const int32_t node = RankedNode(b_.sorted.back());
    b_.sorted.pop_back();
    if (b_.sorted.empty()) {
      Bucket& bucket = b_.buckets[static_cast<size_t>(first_)];
      if (bucket.key < b_.bucketByKey.size()) b_.bucketByKey[bucket.key] = kNone;
      if (last_ == first_) last_ = kNone;
      first_ = bucket.next;
      sorted_ = kNone;
    }
    return node;
  }

  void Insert(int32_t node, uint32_t key) {
    const int32_t at = Find(key);
    if (at == sorted_ && at != kNone) {
      std::vector<uint64_t>& sorted = b_.sorted;
      const uint64_t rank = Rank(b_.nodes[static_cast<size_t>(node)], node);
      size_t i = sorted.size();
      sorted.push_back(rank);
      for (; i > 0 && sorted[i - 1] > rank; --i) sorted[i] = sorted[i - 1];
      sorted[i] = rank;
      return;
    }
    if (at != kNone) {
      Bucket& bucket = b_.buckets[static_cast<size_t>(at)];
      b_.nodes[static_cast<size_t>(node)].next = bucket.head;
      bucket.head = node;
      return;
    }
    const int32_t before = Before(key);
    const auto made = static_cast<int32_t>(b_.buckets.size());
    const int32_t after = before == kNone ? first_ : b_.buckets[static_cast<size_t>(before)].next;
    b_.nodes[static_cast<size_t>(node)].next = kNone;
    b_.buckets.push_back(Bucket{key, node, after});
    if (before == kNone)
      first_ = made;
    else
      b_.buckets[static_cast<size_t>(before)].next = made;
    if (after == kNone) last_ = made;
    if (key < kDenseKeys) {
      if (key >= b_.bucketByKey.size()) b_.bucketByKey.resize(std::max<size_t>(key + 1, 2 * b_.bucketByKey.size()), kNone);
      b_.bucketByKey[key] = made;
    }
  }

 private:
  const Bucket& At(int32_t i) const { return b_.buckets[static_cast<size_t>(i)]; }

  // The bucket of that key in the list, or none.
  int32_t Find(uint32_t key) const {
    if (key < kDenseKeys) return key < b_.bucketByKey.size() ? b_.bucketByKey[key] : kNone;
    for (int32_t at = first_; at != kNone && At(at).key <= key; at = At(at).next)
      if (At(at).key == key) return at;
    return kNone;
  }

  // The last bucket of a smaller key, or none.
  int32_t Before(uint32_t key) const {
    if (first_ == kNone || At(first_).key > key) return kNone;
    if (At(last_).key < key) return last_;
    if (key < kDenseKeys && key <= b_.bucketByKey.size()) {
      for (uint32_t k = key; k-- > At(first_).key;)
        if (b_.bucketByKey[k] != kNone) return b_.bucketByKey[k];
      return first_;
    }
    int32_t before = first_;
    while (At(before).next != kNone && At(At(before).next).key < key) before = At(before).next;
    return before;
  }

  // Sorts the first bucket's nodes. A bucket sorted before and since passed
  // by one of a smaller key gives its nodes back unsorted first.
  void SortFirst() {
    std::vector<uint64_t>& sorted = b_.sorted;
    if (sorted_ != kNone) {
      Bucket& passed = b_.buckets[static_cast<size_t>(sorted_)];
      for (uint64_t rank : sorted) {
        b_.nodes[static_cast<size_t>(RankedNode(rank))].next = passed.head;
        passed.head = RankedNode(rank);
      }
      sorted.clear();
    }
    Bucket& bucket = b_.buckets[static_cast<size_t>(first_)];
    uint32_t least = UINT32_MAX, most = 0;
    for (int32_t at = bucket.head; at != kNone; at = b_.nodes[static_cast<size_t>(at)].next) {
      const uint32_t g = b_.nodes[static_cast<size_t>(at)].g;
      least = std::min(least, g);
      most = std::max(most, g);
      sorted.push_back(Rank(b_.nodes[static_cast<size_t>(at)], at));
    }
    bucket.head = kNone;
    sorted_ = first_;
    // A small bucket, or one whose g values spread wide, is sorted as it is.
    if (sorted.size() < 16 || most - least > 4 * sorted.size())
      std::sort(sorted.begin(), sorted.end());
    else
      CountingSort(least, most);
  }

  // Sorts the gathered nodes by counting their g values, the newest last
  // among equals. The chain, read backwards, already has every g's nodes
  // oldest first: it holds the nodes given back when the bucket was passed
  // (pushed in their sorted order) and then only newer nodes, each pushed
  // in front.
  void CountingSort(uint32_t least, uint32_t most) {
    std::vector<uint64_t>& sorted = b_.sorted;
    std::vector<uint32_t>& starts = b_.sortStarts;
    starts.assign(static_cast<size_t>(most - least) + 2, 0);
    for (uint64_t rank : sorted) ++starts[static_cast<size_t>((rank >> 32) - least) + 1];
    for (size_t i = 1; i < starts.size(); ++i) starts[i] += starts[i - 1];
    b_.sortSpare.resize(sorted.size());
    for (size_t i = sorted.size(); i-- > 0;)
      b_.sortSpare[starts[static_cast<size_t>((sorted[i] >> 32) - least)]++] = sorted[i];
    sorted.swap(b_.sortSpare);
  }

  PathSearchBlock& b_;
  int32_t first_ = kNone;
  int32_t last_ = kNone;
  int32_t sorted_ = kNone;  // the bucket whose nodes are in the sorted array
};

// The moves of a hex clear of the map's edges, as the offsets HexNeighbour
// gives two probe hexes of an even and an odd column: there a neighbour is
// the hex moved by the offset of its column's parity and direction, and its
// cell the cell moved by the row and column. Hexes on an edge ask
// HexNeighbour; so does every hex of a map too small to probe.
struct InnerMoves {
  bool probed = false;
  int32_t dx[2][6] = {};
  int32_t dy[2][6] = {};
  int64_t dcell[2][6] = {};
};

InnerMoves ProbeInnerMoves(const HexMapShape& map) {
  InnerMoves moves;
  if (map.width < 6 || map.height < 5) return moves;
  for (int parity = 0; parity < 2; ++parity) {
    const uint32_t probe = MakeHexPos(2 + parity, 2);
    for (int d = 0; d < 6; ++d) {
      const uint32_t next = HexNeighbour(map, probe, d);
      moves.dx[parity][d] = HexX(next) - HexX(probe);
      moves.dy[parity][d] = HexY(next) - HexY(probe);
      moves.dcell[parity][d] = int64_t{moves.dy[parity][d]} * map.width + moves.dx[parity][d];
    }
  }
  moves.probed = true;
  return moves;
}

// HexDistance to the one goal of a search, for every hex the search
// reaches: the goal's row and column are read once, and the half rows are
// counted in whole halves, which gives what HexDistance's halves give.
class GoalDistance {
 public:
  GoalDistance(const HexMapShape& map, uint32_t goal) : map_(map), gx_(HexX(goal)), gy_(HexY(goal)) {}
  int32_t operator()(uint32_t position) const {
    const int32_t x = HexX(position), y = HexY(position);
    int32_t dx = std::abs(gx_ - x);
    if (map_.wraps && dx > map_.width / 2) dx = map_.width - dx;
    const int32_t dy = std::abs(gy_ - y);
    int32_t halves = 2 * dy;
    if ((x + gx_) & 1) {
      halves = std::abs(2 * dy - 1);
      if (((x & 1) == 0 && gy_ > y) || ((x & 1) != 0 && gy_ < y)) halves += 2;
    }
    const int32_t beyond = halves - dx;
    return dx + (beyond > 0 ? beyond / 2 : 0);
  }

 private:
  HexMapShape map_;
  int32_t gx_, gy_;
};

// The way to a node: first the given byte, then the back directions up to
// but not including the start.
void StoreWay(PathSearchBlock& b, uint8_t first, int32_t node) {
  b.steps.clear();
  b.steps.push_back(first);
  for (int32_t at = node; at != kNone && b.nodes[static_cast<size_t>(at)].parent != kNone;
       at = b.nodes[static_cast<size_t>(at)].parent)
    b.steps.push_back(b.nodes[static_cast<size_t>(at)].back);
  b.flags |= kSearchStepsBack;
}

}  // namespace

PathSearchBlock& WorldPathSearch(World& world) {
  if (!world.pathSearch) world.pathSearch = std::make_shared<PathSearchBlock>();
  return *world.pathSearch;
}

uint32_t GoalBaseCost(World& world, const PathSearchBlock& block, uint32_t goal) {
  const int m = block.moveMode;
  const HexCell* cell = HexCellAt(world, MapShape(world), goal);
  if (!cell || m < 0 || m > 7) return 0;
  const auto terrain = static_cast<size_t>(CellTerrain(cell->word));
  uint32_t c = terrain < world.terrains.size() ? world.terrains[terrain].bytes[120 + m] : 0;
  const HexUnitStack* stack = LoadHexStack(*cell);
  if (!stack) return c;
  if (m < 6 && CountsWhenStanding(world, stack->lead)) Merge(c, FacilityCost(UnitClassOf(world, *stack->lead), m));
  if (m < 5 && stack->extra) {
    const uint8_t* e = ExtraBytes(*stack->extra);
    if (e[kMarkByte] & 1) Merge(c, ClassMoveCost(ClassRecordAt(world, kCrossingMarkClass), m));
    for (int i = 1; i >= 0; --i) {
      const uint8_t flags = e[kSlotFlagsByte + i];
      float progress;
      std::memcpy(&progress, e + kSlotProgressAt + 4 * i, 4);
      if (!(flags & 0x30) || (flags & 0x0A) || progress == 0.0f) continue;
      const int works = (e[kSlotModeByte + i] & 0x40) ? kWorksClassB : kWorksClassA;
      Merge(c, ClassMoveCost(ClassRecordAt(world, works), m));
    }
  }
  return c;
}

int FindPath(World& world, PathSearchBlock& b) {
  const HexMapShape map = MapShape(world);
  const size_t cells = static_cast<size_t>(map.width > 0 ? map.width : 0) * static_cast<size_t>(map.height > 0 ? map.height : 0);
  b.costMap.assign(cells, 0);
  b.heuristicMap.resize(cells);
  b.nodes.clear();
  b.buckets.clear();
  b.expansions = 0;
  b.distance = HexDistance(map, b.from, b.to);
  if (b.distance == 0) return 0;

  MoveRules rules;
  rules.mode = b.moveMode;
  rules.ownerMask = b.ownerMask;
  rules.useAltCost = b.useAltCost;
  rules.levelCost = (b.flags & kSearchLevelCost) != 0;
  rules.mover = b.mover;
  const auto weight = static_cast<uint32_t>(b.heuristicWeight);

  const InnerMoves moves = ProbeInnerMoves(map);
  const GoalDistance toGoal(map, b.to);
  OpenList open(b);
  b.nodes.push_back(Node{0, kNone, static_cast<uint8_t>(kNoMove), b.from, kNone});
  open.Insert(0, static_cast<uint32_t>(b.distance) * weight);
  int32_t best = kNone;
  uint32_t bestH = kNoBest;
  const int64_t limit = ((int64_t{b.distance} + 1) * b.distance + 800) * 3;
  bool ascending = false;

  while (!open.Empty()) {
    const int32_t index = open.Take();
    if (b.expansions >= limit) break;
    ++b.expansions;
    ascending = !ascending;
    const Node node = b.nodes[static_cast<size_t>(index)];
    const int32_t x0 = HexX(node.position), y0 = HexY(node.position);
    const bool inner = moves.probed && x0 >= 1 && x0 <= map.width - 2 && y0 >= 1 && y0 <= map.height - 2;
    const int parity = x0 & 1;
    const int64_t from = inner ? int64_t{y0} * map.width + x0 : HexCellIndex(map, node.position);
    // A node whose hex has since been reached for less only counts as an
    // expansion. Its rival had the smaller key, so it was expanded first and
    // tried every move but its way back at a lower g; the way back leads to
    // a hex its parent reached for less still, entered by a move that was
    // let in. (The start node, whose cost is never kept, is nobody's rival's
    // parent: its neighbours' first nodes are made before any other.)
    if (from >= 0 && static_cast<size_t>(from) < cells) {
      const uint32_t known = b.costMap[static_cast<size_t>(from)];
      if (known != 0 && node.g > known) continue;
    }
    // What the hex being left decides is worked out once for its moves; a
    // start off the map has none.
    const bool leaves = from >= 0 && static_cast<size_t>(from) < world.cells.size();
    LeavingHex leave;
    if (leaves) LeaveHex(world, rules, world.cells[static_cast<size_t>(from)], static_cast<size_t>(from), leave);
    // Below kNoWrap no cost can wrap g (costs are bytes plus a level step).
    const uint32_t passed = node.g < kNoWrap ? node.g + leave.least : 0;
    for (int k = 0; k < 6; ++k) {
      const int d = ascending ? k : 5 - k;
      if (d == node.back) continue;
      uint32_t next;
      size_t cellIndex;
      if (inner) {
        next = MakeHexPos(x0 + moves.dx[parity][d], y0 + moves.dy[parity][d]);
        cellIndex = static_cast<size_t>(from + moves.dcell[parity][d]);
      } else {
        // A neighbour lies on the map (its column wrapped), so its cell is
        // found from its row and column directly.
        next = HexNeighbour(map, node.position, d);
        cellIndex = static_cast<size_t>(HexY(next)) * static_cast<size_t>(map.width) + static_cast<size_t>(HexX(next));
      }
      if (next == kNoHexPosition) continue;
      const bool enters = leaves && cellIndex < world.cells.size();
      if (next == b.to) {
        // The goal is taken when it can be entered, or when its owner or
        // its own cost would keep it out: a unit still heads for it.
        const bool allowed = enters && MoveCostFrom(world, rules, leave, world.cells[cellIndex], d) > 0;
        const HexCell* goal = HexCellAt(world, map, next);
        const bool barred = goal && !(b.ownerMask & (1u << CellOwner(goal->word)));
        if (!allowed && GoalBaseCost(world, b, next) != 0 && !barred) continue;
        StoreWay(b, static_cast<uint8_t>(OppositeDirection(d)), index);
        return 1;
      }
      if (!enters || cellIndex >= cells) continue;
      uint32_t& known = b.costMap[cellIndex];
      // A hex already reached for no more than the least this move could
      // cost is passed over without working the move out, unless the move
      // may be refused at a border, which the rule notes. (One branch: it
      // goes either way often.)
      const HexCell& cell = world.cells[cellIndex];
      if ((known != 0) & (known <= passed) & OwnerAdmits(rules, cell)) continue;
      const uint32_t cost = MoveCostFrom(world, rules, leave, cell, d);
      if (cost == 0) continue;
      const uint32_t g = node.g + cost;
      if (known != 0 && known <= g) continue;
      // A hex reached again keeps the heuristic worked out when it was
      // first reached.
      uint32_t& h = b.heuristicMap[cellIndex];
      if (known == 0) h = static_cast<uint32_t>(toGoal(next)) * weight;
      known = g;
      const auto made = static_cast<int32_t>(b.nodes.size());
      // Filled where it lies: a node put together beside it and copied in
      // stalls on its own fresh stores.
      Node& fresh = b.nodes.emplace_back();
      fresh.g = g;
      fresh.parent = index;
      fresh.back = static_cast<uint8_t>(OppositeDirection(d));
      fresh.position = next;
      fresh.next = kNone;
      if (h < bestH) {
        bestH = h;
        best = made;
      }
      open.Insert(made, g + h);
    }
  }
  if (best == kNone) return 0;
  StoreWay(b, static_cast<uint8_t>(kNoMove), best);
  return 1;
}
