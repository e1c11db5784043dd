#pragma once
// What the game file needs of the command log, which the command pipeline
// owns: the pending commands as 64-byte images with their payloads, and a
// way to file commands read from a file. The pipeline installs the two
// operations when it starts; until then there is no log to save or fill.
#include <cstddef>
#include <cstdint>
#include <vector>

struct World;

inline constexpr uint32_t kCommandImageSize = 64;
inline constexpr uint32_t kCommandHeaderWord = 0x20001;
inline constexpr size_t kCommandPayloadLengthAt = 56;
inline constexpr size_t kCommandPayloadSlotAt = 60;

// A pending command: its 64-byte little-endian image (the payload word as it
// stands) and a copy of its payload.
struct PendingCommandImage {
  uint8_t bytes[kCommandImageSize] = {};
  std::vector<uint8_t> payload;
};

struct CommandLogAccess {
  // Every logged command, in the log's order, taken under the command-log
  // lock.
  std::vector<PendingCommandImage> (*collect)(World& world) = nullptr;
  // Files one command read from a game file; the log keeps its own order.
  void (*insert)(World& world, PendingCommandImage&& command) = nullptr;
  // Empties the log: a game read from a file replaces the commands of the
  // game that was running.
  void (*clear)(World& world) = nullptr;
};

extern CommandLogAccess g_commandLogAccess;
