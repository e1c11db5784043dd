#include "units/paths/path_route.h"

#include <gtest/gtest.h>

#include "units/order_cancel.h"
#include "units/paths/path_test_world.h"

namespace {

class PathRoute : public ::testing::Test {
 protected:
  PathRoute() : t_(20, 12, false) {
    PathSearchBlock& b = WorldPathSearch(t_.world());
    b.ownerMask = 0xFFFFFFFFu;
    b.heuristicWeight = 1;
  }

  // Walks a unit along the route for at most `moves` moves; the waypoints it
  // stands on, in order, as their indices in `points`.
  std::vector<int> Visits(PathRequest& route, const std::vector<uint32_t>& points, int moves) {
    std::vector<int> visits;
    uint32_t at = route.current;
    for (int i = 0; i < moves; ++i) {
      const int d = PathNextDirection(t_.world(), route, at, 0);
      if (d == kNoMove) break;
      EXPECT_EQ(PathStepMarker(route), 0);
      uint32_t out = 0;
      PathAdvance(t_.world(), route, out, at);
      EXPECT_EQ(out, HexNeighbour(t_.map(), at, d));
      at = out;
      for (size_t k = 0; k < points.size(); ++k)
        if (at == points[k]) visits.push_back(static_cast<int>(k));
    }
    return visits;
  }

  PathTestWorld t_;
};

const uint32_t kA = MakeHexPos(2, 2), kB = MakeHexPos(8, 3), kC = MakeHexPos(5, 8);

TEST_F(PathRoute, RoutesLoopTurnRoundOrEndByTheirFlags) {
  struct Case {
    std::vector<uint32_t> waypoints;
    uint32_t end;
    bool repeat;
    uint32_t flag;
    std::vector<int> visits;  // indices into {A, B, C}
    bool ended;
  };
  const Case cases[] = {
      // Ends where it starts: round and round.
      {{kA, kB, kC, kA}, kA, true, kRouteLoop, {1, 2, 0, 1, 2, 0, 1}, false},
      // Ends elsewhere: back and forth.
      {{kA, kB, kC}, kC, true, kRouteTurnRound, {1, 2, 1, 0, 1, 2, 1}, false},
      // Neither: finished on waypoint 1.
      {{kA, kB}, kB, false, 0, {1}, true},
  };
  for (const Case& c : cases) {
    uint32_t waypoints[8] = {};
    std::copy(c.waypoints.begin(), c.waypoints.end(), waypoints);
    PathRequest route;
    InitPathRequest(waypoints, route, c.end, 0, c.repeat);
    EXPECT_EQ(route.flags, c.flag);
    std::vector<int> visits = Visits(route, {kA, kB, kC}, 200);
    if (visits.size() > c.visits.size()) visits.resize(c.visits.size());
    EXPECT_EQ(visits, c.visits);
    EXPECT_EQ((route.flags & kRouteNoPath) != 0, c.ended);
  }
}

TEST_F(PathRoute, AnotherPositionSearchesAgainFromThere) {
  uint32_t waypoints[8] = {kA, kB};
  PathRequest route;
  InitPathRequest(waypoints, route, kB, 0, false);
  ASSERT_NE(PathNextDirection(t_.world(), route, kA, 0), kNoMove);
  const uint32_t elsewhere = MakeHexPos(8, 6);
  const int d = PathNextDirection(t_.world(), route, elsewhere, 0);
  EXPECT_EQ(route.current, elsewhere);
  EXPECT_EQ(d, 1);  // straight up the column
  EXPECT_EQ(route.stepCount, 3u);
}

TEST_F(PathRoute, StartAndEndAreNeededAndTheEndFollowsTheDirection) {
  uint32_t waypoints[8] = {kNoHexPosition, kB};
  PathRequest route;
  InitPathRequest(waypoints, route, kB, 1, false);
  EXPECT_EQ(route.flags, kRouteNoPath | kRouteStepsBackward | kRouteOppositeSteps);
  EXPECT_EQ(PathNextDirection(t_.world(), route, kA, 0), kNoMove);
  uint32_t out = 0;
  PathAdvance(t_.world(), route, out, kC);
  EXPECT_EQ(out, kC);
  route.flags = 0;
  route.start = kA;
  route.end = kB;
  EXPECT_EQ(PickFieldByFlag(route), kB);
  route.flags = kRouteWaypointsBackward;
  EXPECT_EQ(PickFieldByFlag(route), kA);
}

// A route from a peer is not trusted: an index outside the waypoints or the
// steps ends it instead of being read.
TEST_F(PathRoute, IndicesOutsideTheRouteEndIt) {
  struct Case {
    int32_t waypointIndex, stepIndex;
    uint32_t stepCount;
    size_t steps;
  };
  const Case cases[] = {{8, 0, 1, 1}, {-1, 0, 1, 1}, {1, 5, 9, 2}, {1, -3, 1, 1}, {1, 1, 1, 1}};
  for (const Case& c : cases) {
    for (int call = 0; call < 3; ++call) {
      PathRequest route;
      route.start = route.current = kA;
      route.end = route.waypoints[1] = kB;
      route.waypoints[0] = kA;
      route.waypointIndex = c.waypointIndex;
      route.stepIndex = c.stepIndex;
      route.stepCount = c.stepCount;
      route.steps.assign(c.steps, 4);
      uint32_t out = 0;
      if (call == 0) {
        EXPECT_EQ(PathNextDirection(t_.world(), route, kA, 0), c.waypointIndex == 1 ? kNoMove : 4);
      }
      if (call == 1) PathAdvance(t_.world(), route, out, kC);
      if (call == 2) PathSearchRun(t_.world(), route, 0);
      EXPECT_EQ(PathStepMarker(route), 0);
      // The steps are read by the first two, the waypoint by the search.
      EXPECT_EQ((route.flags & kRouteNoPath) != 0, (call == 2) != (c.waypointIndex == 1)) << call;
    }
  }
}

}  // namespace
