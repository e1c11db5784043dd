#pragma once
// Following a route: the waypoint being approached, the search of the way
// to it, the direction of each next step and the advance along the way,
// turning at the route's end as its flags say. Turn thread only: a search
// uses the world's search block, whose unit arguments the caller fills.
#include <cstdint>

struct World;
struct PathRequest;

// Fills a fresh route from waypoint 0 to `end` through the eight waypoints:
// bits 0 and 4 take bit 0 of `reverse`; with `repeat`, a route that ends
// where it starts loops (bit 3), any other goes back and forth (bit 2); a
// null start or end ends it (bit 5).
PathRequest& InitPathRequest(const uint32_t waypoints[8], PathRequest& route, uint32_t end, int reverse,
                             bool repeat);

// Drops the steps, chooses the waypoint to approach (the next one once the
// current one is reached, or by the end rule at the route's end) and
// searches the way to it from `current`.
void PathSearchRun(World& world, PathRequest& route, int restart);

// The direction (0 to 5) of the next step from `at`, searching again when
// `at` is not where the route stands or it has no steps; 6 for none.
int PathNextDirection(World& world, PathRequest& route, uint32_t at, int restart);

// The marker bit (bit 6) of the next step: 0 or 1.
int PathStepMarker(const PathRequest& route);

// Moves `current` one step along the way and gives it in `out` (`fallback`
// when the route is ended or has no steps), turning to the next waypoint
// when the way is walked to its end on a waypoint.
void PathAdvance(World& world, PathRequest& route, uint32_t& out, uint32_t fallback);

// The point the route is travelled towards: its start when the waypoints
// are followed backward, else its end.
uint32_t PickFieldByFlag(const PathRequest& route);
