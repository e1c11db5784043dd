#pragma once
// The log of posted commands waiting for their simulation pass, one per
// world. Every peer keeps it in the same order: by due tick, then sequence
// word (so by player, then by the player's counter), both unsigned; commands
// with equal keys keep the order they were logged in. The minute loop is its
// only consumer during play; resetting the command state empties it, and
// the game files store and restore what it holds.
//
// Every operation takes the world's command-log lock.
#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "sim/game_command.h"

struct World;

class CommandLog {
 public:
  // A log registers itself as its world's: the game files store and fill
  // the log of the world they write or read.
  explicit CommandLog(World& world);
  ~CommandLog();
  CommandLog(const CommandLog&) = delete;
  CommandLog& operator=(const CommandLog&) = delete;

  World& world() const { return world_; }

  // Files a command in its place (behind every command with the same key).
  void Insert(GameCommand command);
  // Takes out the oldest command when its due tick is not above `tick`.
  bool TakeDue(uint32_t tick, GameCommand& out);
  // Copies of the commands in the order they will run.
  std::vector<GameCommand> Entries() const;
  size_t Size() const;
  bool Empty() const { return Size() == 0; }
  // Destroys every command with its payload.
  void Clear();

 private:
  using Key = std::pair<uint32_t, uint32_t>;  // due tick, sequence word
  World& world_;
  std::multimap<Key, GameCommand> entries_;
};

// The game world's log.
extern CommandLog g_commandLog;

// The log registered for the world, or null.
CommandLog* CommandLogOf(const World& world);
