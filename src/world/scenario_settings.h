#pragma once
// The scenario and game-setup record, filled from the scenario definition.
// Its head (records/scenario_head.h) travels to joining peers and is stored
// in every save game. What follows the head stays in memory: owned texts
// and tables.
#include <cstdint>
#include <type_traits>

#include "records/scenario_head.h"

// A campaign link to a following map.
struct ScenarioMapLink {
  char* mapName;  // owned (malloc), or null
  int32_t value1;
  int32_t value2;
};

inline constexpr int kScenarioMapLinks = 16;

struct ScenarioSettings {
  ScenarioHead head;
  // The eight owned texts (malloc), null when unset; the second names the
  // scenario text.
  char* gamfile;
  char* gmtfile;
  char* ttrfile;
  char* pplfile;
  char* unifile;
  char* terfile;
  char* playsetfile;
  char* nextupmap;
  int32_t maplevel;
  uint32_t startDay;
  uint32_t victoryDay;
  int16_t victoryHexX;
  int16_t victoryHexY;
  uint32_t campaignFlags;     // kCampaignStartFlag, bit 1 "mapmission:"
  uint8_t cvictorycond;
  uint8_t numwinchoice;
  uint8_t numlosechoice;
  uint8_t mapmusic;
  ScenarioMapLink winmaps[kScenarioMapLinks];
  ScenarioMapLink losemaps[kScenarioMapLinks];
  int32_t groupingCount;
};
static_assert(std::is_trivially_copyable_v<ScenarioSettings>);

// The record as construction leaves it: all zero but the head's id and size.
void InitScenarioSettings(ScenarioSettings& settings);
// Frees the eight owned texts and the map names of both link tables, then
// zeroes the record. The head keeps its id and size, since it travels as a
// message.
void ReleaseScenarioSettings(ScenarioSettings& settings);
// The same, then the head takes the defaults of a new game's set-up.
void ClearScenarioSettings(ScenarioSettings& settings);
// The defaults of the settings head (used whenever the settings are cleared).
void InitSettingsHead(ScenarioHead& head);
