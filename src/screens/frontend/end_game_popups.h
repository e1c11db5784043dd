#pragma once
// The screens that close a turn and a game: the end-of-turn pop-up, the four
// end-of-game pop-ups over the map (won, lost, lost in a network game, lost
// an election) and the result screen VICTORY with its continuation page.
#include <memory>
#include <cstdint>
#include <string>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

struct ScenarioMapLink;
struct ScenarioText;

// The interface sounds of the end-of-game pop-ups.
inline constexpr int32_t kSoundGameWon = 15;
inline constexpr int32_t kSoundGameOver = 14;
// The command a coup posts, and the government form it asks for.
inline constexpr uint32_t kCoupGovernmentForm = 4;
// End reasons of the game state that pick a story.
inline constexpr uint32_t kEndReasonUnified = 5;
inline constexpr uint32_t kEndReasonUnifiedByOther = 95;

// What the end-of-game screens do to the running game; tests watch them.
struct EndGameActions {
  void (*pause)() = nullptr;
  void (*playSound)(int32_t number) = nullptr;
  void (*leaveGame)(bool showVictory) = nullptr;  // SwitchGameScreen
  void (*postCoup)() = nullptr;                   // the change of government to form 4
  void (*nextTurn)() = nullptr;                   // the turn thread's go event
};
extern EndGameActions g_endGameActions;

// Whether the region may seize power after losing an election: approvals
// as fractions, the coup support in percent, the scenario's difficulty.
bool CoupPossible(float domesticApproval, float militaryApproval, int32_t coupSupport, int32_t difficulty);

// The government forms a region can change to, 1 to 4 of "govtype".
inline constexpr int kGovernmentForms = 4;
// Whether the region may change to a government form when the next
// campaign scenario starts: form 3 needs its support (percent) with the
// military approval above 1.1, form 4 the coup support with it above 0.9,
// or either with the domestic approval above 1.0. Forms 1 and 2 need none.
bool GovernmentChangePossible(int form, int32_t support, float militaryApproval, float domesticApproval);

// The region's support in percent for a change to government form 1 to 4
// (the scenario's approval margin of that form; form 4's is the coup
// support), 0 for any other form.
int32_t GovernmentSupport(const PlayerRecord& region, int form);
// The end of the game written into the region's record for the score card
// and the campaign: the result, the cheated mark (kept once set) and the
// scenario, region and capital names, each cut to 19 characters. The
// capital's name is its hex's label (column wrapped onto the map), empty
// without one.
void WriteEndSummary(const World& world, PlayerRecord& region, uint8_t result, bool cheated, const char* scenario,
                     const char* regionName);

// The result screen's story: the text and the result (0 lost, 1 won, 2 won
// by unification) for the game kind (0 single, 1 campaign, 2 network).
struct VictoryStory {
  std::string text;
  uint8_t result = 1;
};
VictoryStory ChooseVictoryStory(const ScenarioText& texts, int kind, uint32_t endReason, bool localWon,
                                const char* winnerRegion, const char* winnerName);
// A text written as a format with at most two "%s": the two strings go in
// their place; every other "%" stays as it is.
std::string FillTwoStrings(const char* format, const char* first, const char* second);

// The end-of-game pop-up of a turn code (null for none): an election lost,
// a game lost (by an election, in a network game, or alone) or won.
Screen* EndGamePopupFor(uint32_t code, uint32_t endReason, bool networked);
// Installs the calls through which the turn codes reach these screens.
void InstallEndGameHooks();
// The game was left for the result screen.
void ShowVictoryScreen();

std::unique_ptr<Screen> MakeEndTurnPopup();

// The pop-ups share their opening steps: pause, sound, texts.
class EndGamePopup : public Screen {
 public:
  EndGamePopup(const char* form, FormLookups lookups, int32_t sound);
  int32_t Popup(intptr_t id, const ScreenParameterList* list) override;
  void OnOpen() override;
  int32_t Close(int32_t noReturn = 0) override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t value) override;

 protected:
  void SetUiText(const char* tag, int entry);
  int32_t sound_;
};

std::unique_ptr<Screen> MakeEndGamePreview();

std::unique_ptr<Screen> MakeEndGamePreview2();

std::unique_ptr<Screen> MakeEndGameMultiplayer();

std::unique_ptr<Screen> MakeElectionDefeatScreen();

class VictoryContinue : public Screen {
 public:
  explicit VictoryContinue(Control** host);
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t value) override;
  // The follow-up table that the game's end picks: won or lost.
  const ScenarioMapLink* FollowUps() const;
  // The current form, the changes offered (one per other form, refused
  // where the region's support falls short) and the form chosen.
  void RefreshGovernmentChoice();
  int32_t followUps = 0;
  int32_t chosenForm = 0;
  ListBoxControl* list = nullptr;
};

class VictoryScreen : public Screen {
 public:
  VictoryScreen();
  void OnOpen() override;
  void BindControls() override;
  Control* scoreCardHost = nullptr;
  Control* continueHost = nullptr;
  VictoryStory story;
  VictoryContinue continuation;
};
