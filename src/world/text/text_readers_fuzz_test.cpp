// Arbitrary text never crashes a reader or sends it past the end of its
// text (the sanitizer build checks the reads).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "platform/paths.h"
#include "support/temp_dir.h"
#include "records/player_record.h"
#include "world/text/player_settings.h"
#include "world/text/scenario_def.h"
#include "world/text/scenario_text.h"
#include "world/text/text_lists.h"
#include "world/text/tutorial_table.h"
#include "world/text/ui_options.h"

namespace {

void Ignore(uint32_t, int32_t, uint32_t, uint32_t, uint32_t) {}
void IgnoreTreaty(PlayerRecord&, int, int, bool, int, bool, bool) {}

// Text built from the readers' own keywords, separators, numbers, quotes and
// stray bytes.
std::string RandomText(std::mt19937& random) {
  static const char* const kPieces[] = {
      "&&PLAYER01", "&&PLAYER02", "01war:", "01treaties[2]:", "01armsavail:", "02belli:", "&&GROUPINGS",
      "&&REGIONS", "&&SCENNAME", "&&BRIEF", "&&NOTES", "&&CUSTOMNOTES", "&&EMAIL", "&&SCENWIN", "&&DESIGNERNOTES",
      "gamfile:", "winmaps:", "numwinchoice:", "startymd:", "fogofwar:", "playercolor", "unitcolor", "bsoundmute",
      "speedrateslices", "socials", "genders", "roeregionflag", "cabsetsid", "socialspend", "defcon", "999",
      "-1", "0x", "65536", "2147483648", "1e39", "\"", ",", ";", "\r\n", "\r", "\n", "\t", " ", "*", "&&"};
  std::string text;
  const int pieces = static_cast<int>(random() % 400);
  for (int i = 0; i < pieces; ++i) {
    const uint32_t pick = random() % 60;
    if (pick < sizeof kPieces / sizeof kPieces[0]) {
      text += kPieces[pick];
    } else if (pick < 55) {
      text += std::to_string(static_cast<int>(random() % 70) - 5);
    } else {
      text += static_cast<char>(random() % 256);
    }
  }
  return text;
}

TEST(TextReaders, RandomTextNeverBreaksAReader) {
  TempDir dir;
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(dir.path());
  std::mt19937 random(777);
  auto options = std::make_unique<UiOptions>();
  auto lists = std::make_unique<TextLists>();
  auto players = std::make_unique<PlayerRecord[]>(32);
  std::memset(static_cast<void*>(players.get()), 0, sizeof(PlayerRecord) * 32);
  auto groupings = std::make_unique<ScenarioGroupings>();
  auto text = std::make_unique<ScenarioText>();
  ScenarioSettings settings;
  InitScenarioSettings(settings);
  TutorialStep* steps = nullptr;
  for (int round = 0; round < 80; ++round) {
    const std::string t = RandomText(random);
    dir.Write("INI/Fuzz.INI", t);
    dir.Write("PlayerSet/Fuzz.INI", t);
    dir.Write("Scenario/Fuzz.GMC", t);
    dir.Write("Localize/LOCALEN/Fuzz.GMT", t);
    dir.Write("Tutorials/Fuzz.CSV", t);
    LoadUIOptions(*options, "Fuzz");
    LoadTextLists(*lists, "Fuzz");
    LoadPlayerSettings(&players[1], 1, "Fuzz", nullptr, Ignore);
    LoadDefaultPlayerSettings(players.get(), 32, "Fuzz");
    LoadScenarioDef(settings, *groupings, nullptr, "Fuzz", false);
    LoadScenarioPlayers(players.get(), 31, settings, nullptr, "Fuzz", false, IgnoreTreaty);
    LoadScenarioText(*text, settings, *groupings, "LOCALEN", "Fuzz");
    LoadTutorialTable(steps, "Fuzz");
    ASSERT_LE(settings.groupingCount, kMaxGroupings);
    ASSERT_LE(settings.numwinchoice, kScenarioMapLinks);
    ASSERT_LE(settings.numlosechoice, kScenarioMapLinks);
  }
  FreeTutorialSteps(steps);
  ClearScenarioSettings(settings);
  plat::SetDataRoot(oldRoot);
}

}  // namespace
