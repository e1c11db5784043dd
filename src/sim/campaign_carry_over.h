#pragma once
// The campaign carry-over: when a campaign moves on to its next scenario,
// the local player's surviving forces and selected state pass from the
// previous scenario into the new one at log-on. The campaign screen fills
// the record from the running game before it loads the next scenario; log-on
// consumes it.
#include <cstdint>
#include <vector>

#include "world/data_tables.h"
#include "world/list_items.h"
#include "records/player_record.h"

struct UnitRecord;
struct World;

struct CampaignCarryOver {
  CampaignCarryOver() = default;
  ~CampaignCarryOver();
  CampaignCarryOver(const CampaignCarryOver&) = delete;
  CampaignCarryOver& operator=(const CampaignCarryOver&) = delete;

  int32_t previousLocalPlayer = 0;
  int32_t snapshotIndex = 0;       // the previous local player's record in the snapshot table
  uint32_t previousDay = 0;
  float valueLeftBehind = 0.0f;
  int32_t dayGap = 0;
  uint8_t leaderChoice = 0;        // the government the player chose for the next scenario
  UnitRecord* units = nullptr;     // the previous unit ring; owned
  std::vector<PlayerRecord> snapshotTable;
  std::vector<uint8_t> designRow;
  std::vector<PlayerTechState> techRow;
  std::vector<ProjectEntryFields> projects;
  // The previous local player's ten unit groups, as the ids of their units.
  std::vector<uint32_t> unitGroups[10];
};

extern CampaignCarryOver g_campaignCarryOver;

// Frees what the record holds and empties it.
void ClearCarryOver(CampaignCarryOver& carryOver);

// Log-on with a carry-over pending: the leader, the dates, the carried units
// and state, then the record lets go of what it held.
void GameStartSetup(World& world, CampaignCarryOver& carryOver);
void CarryOverUnits(World& world, CampaignCarryOver& carryOver);
void CarryOverPlayerState(World& world, CampaignCarryOver& carryOver, const PlayerRecord& snapshot);
