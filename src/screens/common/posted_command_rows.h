#pragma once
// For the panels' tests: the commands posted so far, each as its id and its
// first three argument words, to compare with a table of rows.
#include <cstdint>
#include <vector>

#include "sim/command_log.h"
#include "sim/game_command.h"

namespace paneltest {

struct Posted {
  uint32_t id, a28, a32, a36;
  bool operator==(const Posted&) const = default;
};

inline std::vector<Posted> Log() {
  std::vector<Posted> out;
  for (const GameCommand& c : g_commandLog.Entries()) out.push_back({c.id, c.arg28, c.arg32, c.arg36});
  return out;
}

}  // namespace paneltest
