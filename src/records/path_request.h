#pragma once
// A unit's route: up to eight waypoints, the one being approached, where the
// unit stands on the way and the steps of the way from there. The 64-byte
// image is also the payload of the assign-route command and the route slot
// of the game file; the step buffer the last word pointed at lives beside
// it, owned by the route.
#include <cstddef>
#include <cstdint>
#include <vector>

struct PathRequestImage {
  uint32_t start{};         // 0: waypoint 0
  uint32_t end{};           // 4: the route's last point
  uint32_t waypoints[8]{};  // 8: unused ones are the null position
  uint32_t current{};       // 40: where the steps start from
  int32_t stepIndex{};      // 44: the next step
  uint32_t stepCount{};     // 48
  int32_t waypointIndex{};  // 52: the waypoint being approached
  uint32_t flags{};         // 56
  uint32_t stepsSlot{};     // 60: the step buffer; 0 in files and payloads
};
static_assert(sizeof(PathRequestImage) == 64);
static_assert(offsetof(PathRequestImage, start) == 0);
static_assert(offsetof(PathRequestImage, end) == 4);
static_assert(offsetof(PathRequestImage, waypoints) == 8);
static_assert(offsetof(PathRequestImage, current) == 40);
static_assert(offsetof(PathRequestImage, stepIndex) == 44);
static_assert(offsetof(PathRequestImage, stepCount) == 48);
static_assert(offsetof(PathRequestImage, waypointIndex) == 52);
static_assert(offsetof(PathRequestImage, flags) == 56);
static_assert(offsetof(PathRequestImage, stepsSlot) == 60);

struct PathRequest : PathRequestImage {
  PathRequest() : PathRequestImage{} {}
  // One direction a byte in bits 0-2 (6 no move), bit 6 the step's marker.
  std::vector<uint8_t> steps;
};
