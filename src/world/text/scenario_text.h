#pragma once
// Scenario texts (".GMT", "Localize\<language>\" + name + ".GMT"): the
// scenario's name, the names of its regions and groupings, the briefing and
// notes, numbered custom notes and e-mails, the victory and defeat texts and
// the designer's notes, each section found after the one before it.
#include <cstdint>

#include "world/text/owned_text.h"

struct ScenarioSettings;
struct ScenarioGroupings;
struct World;

inline constexpr int kScenarioRegionNames = 31;
inline constexpr int kScenarioGroupingNames = 31;
inline constexpr int kScenarioNumberedTexts = 100;

// The kinds of end texts ("SCEN", "CAMP", "MP") and the texts of each.
enum ScenarioEndKind : int { kEndSingle, kEndCampaign, kEndMultiplayer, kScenarioEndKinds };
enum ScenarioEndText : int { kEndWin, kEndLose, kEndUnifyWin, kEndUnifyLose, kScenarioEndTexts };

struct ScenarioText {
  OwnedText scenarioName;
  OwnedText regionNames[kScenarioRegionNames];
  OwnedText groupingNames[kScenarioGroupingNames];  // grouping g at g - 1
  OwnedText groupingEntryNames[kScenarioGroupingNames][kScenarioGroupingNames];
  OwnedText briefText;
  OwnedText notesText;
  OwnedText customNotes[kScenarioNumberedTexts];
  OwnedText emailTexts[kScenarioNumberedTexts];
  OwnedText endTexts[kScenarioEndKinds][kScenarioEndTexts];
  OwnedText designerNotes;
  int32_t textLoaded = 0;
};

// The scenario text of the world's game.
extern ScenarioText g_scenarioText;

// Frees every text of the block and clears its loaded flag.
void FreeScenarioText(ScenarioText& text);

// Frees the block and reads "Localize\" + language + "\" + name + ".GMT".
// Groupings 1..groupingCount that the file leaves unnamed are named
// "%d Players" from their first setting. 0, or the generic failure when the
// file cannot be read; the scenario's name is then the definition's game
// file name (empty when there is none).
int32_t LoadScenarioText(ScenarioText& text, const ScenarioSettings& settings, const ScenarioGroupings& groupings,
                         const char* language, const char* name);

// The same for the world's game, in the language directory of the settings.
int32_t LoadScenarioText(World& world, const char* name);
