#include "screens/frontend/end_game_popups.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/app_object.h"
#include "app/audio/sound_system.h"
#include "net_game/net_events.h"
#include "net/net_ui_link.h"
#include "platform/window.h"
#include "records/hex_unit_stack.h"
#include "records/player_kinds.h"
#include "screens/frontend/campaign_start.h"
#include "screens/frontend/game_menu.h"
#include "screens/screen_set.h"
#include "records/command_ids.h"
#include "net/command_network.h"
#include "sim/daily/elimination.h"
#include "sim/game_command.h"
#include "sim/game_stop.h"
#include "sim/game_threads.h"
#include "sim/policy_block_fields.h"
#include "sim/policy_command_args.h"
#include "sim/safe_file_name.h"
#include "sim/simulation_lock.h"
#include "sim/turn_thread.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/interface_images.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "ui/string_control.h"
#include "ui/text_box.h"
#include "world/local_player.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/hex_extra.h"
#include "world/player_names.h"
#include "world/region_figures.h"
#include "sim/save_file.h"
#include "world/scenario_settings.h"
#include "world/text/scenario_text.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr const char* kEndTurnTags[] = {"SHOWETPOP", "OKTURN"};
constexpr const char* kPreviewTags[] = {"SCENARIO", "TEXTBOX10", "TEXTBOX11", "MENUBUT"};
constexpr const char* kPreview2Tags[] = {"SCENARIO", "TEXTBOX08", "TEXTBOX11", "MENUBUT"};
constexpr const char* kMultiplayerTags[] = {"SCENARIO", "TEXTBOX08", "TEXTBOX09", "GRIDOBS", "MENUBUT", "OBSERVE"};
constexpr const char* kDefeatTags[] = {"TEXTBOX00", "TEXTPARENT", "RESIGN", "COUP"};
constexpr int32_t kDefeatIds[] = {11, 12, 13, 14, 21, 22, 23, 24};
constexpr const char* kVictoryTags[] = {"SCORECARD", "STORY", "SCENPARENT", "CHEATER"};
constexpr const char* kContinueTags[] = {"HIDEBOXAS", "HIDEBOX", "SAVE", "OK", "MENU", "CURRENT", "HIDECHANGE", "GOVCHANGE"};
constexpr int32_t kContinueIds[] = {11, 12, 13, 14, 21, 22, 23, 24};
// The controls that offer government form f have ids 10 + f; the lines
// that refuse it lie over them with ids 20 + f.
constexpr int32_t kChangeIdBase = 10;
constexpr int32_t kUnableIdBase = 20;
constexpr uint32_t kUnableTextColour = 0xFF007D00;
constexpr uint32_t kUnableAlpha = 0x8C000000;

constexpr uint32_t kTextColour = 0xFF96BEFA;
constexpr int32_t kTextFont = 2;
constexpr int32_t kDefeatTextFont = 3;

void SetBoxText(Control* control, const char* text) {
  if (auto* box = dynamic_cast<TextBoxControl*>(control))
    TextBoxSetText(box, text, 0, 1);
  else
    ControlSetText(control, text);
}

void MakeBox(Screen& screen, const char* tag, int32_t font, uint32_t colour) {
  TextBoxControl* box = MakeTextBox(tag, 0, screen.form);
  if (box && box->prototype) {
    box->prototype->fontSlot = static_cast<uint32_t>(font);
    box->prototype->textColour = colour;
  }
}

bool Networked() { return IsNetworkGame(g_commandNet); }

Screen* EndGameScreenOf(const char* form) {
  if (!form) return nullptr;
  Screen* screens[] = {g_screens.endTurn.get(), g_screens.endGamePreview.get(), g_screens.endGamePreview2.get(),
                       g_screens.endGameMultiplayer.get(), g_screens.electionDefeat.get()};
  for (Screen* s : screens)
    if (std::strcmp(s->formName, form) == 0) return s;
  return nullptr;
}

// A day or a turn ended: the screen the interface shows refreshes and
// redraws.
void RefreshShownScreen(ScreenManager* ui) {
  if (!ui || !ui->rootForm || ui->rootForm->Hidden()) return;
  Control* root = ui->rootForm;
  if (Screen* owner = root->owner; owner && owner->currentForm == root) {
    owner->Refresh();
    owner->refreshRequest = 0;
  }
  if (Control* first = root->firstChild) {
    Control* c = first;
    do {
      RedrawControlTree(*ui, c, 1, 0);
      c = c->NextInRing();
    } while (c && c != first);
  }
  ui->modal = 0;
}

}  // namespace

EndGameActions g_endGameActions{
    [] {
      plat::CriticalSectionLock lock(g_simulationLock);
      SetGameSpeed(g_world.gameState, 0);
    },
    [](int32_t number) { PlayUiSound(g_sound, number); },
    [](bool showVictory) { SwitchGameScreen(&g_ui, showVictory); },
    [] { PostArgs(kCmdSetGovType, SettingArgs{.value = static_cast<uint32_t>(kCoupGovernmentForm)}); },
    [] {
      plat::CriticalSectionLock lock(g_simulationLock);
      // A turn that ended paused goes on at the slowest running speed.
      SetGameSpeed(g_world.gameState, 1);
      SignalRunEvents();
    },
};

bool CoupPossible(float domesticApproval, float militaryApproval, int32_t coupSupport, int32_t difficulty) {
  const float bonus = static_cast<float>(2 - difficulty) * 0.1f;
  const float margin = static_cast<float>(coupSupport) / 100.0f;
  return militaryApproval + margin + bonus > 0.9f || domesticApproval + margin + bonus > 1.0f;
}

int32_t GovernmentSupport(const PlayerRecord& region, int form) {
  if (form < 1 || form > 4) return 0;
  return reinterpret_cast<const uint8_t*>(&region)[kRegionGovtypeApproveAt + static_cast<size_t>(form - 1)];
}

namespace {

void CopyName(char (&to)[20], const char* from) {
  std::memset(to, 0, sizeof to);
  if (from) std::strncpy(to, from, sizeof to - 1);
}

std::string CapitalLabel(const World& world, const PlayerRecord& region) {
  const CapitalPosition at = CapitalHex(region.displayPolicy);
  const HexMapShape map = MapShape(world);
  int32_t x = at.x;
  if (map.width > 0) x = ((x % map.width) + map.width) % map.width;
  const uint32_t position = static_cast<uint16_t>(x) | (static_cast<uint32_t>(static_cast<uint16_t>(at.y)) << 16);
  const int64_t index = HexCellIndex(map, position);
  if (index < 0 || static_cast<size_t>(index) >= world.cells.size()) return {};
  const HexUnitStack* stack = LoadHexStack(world.cells[static_cast<size_t>(index)]);
  const HexExtra* extra = stack ? stack->extra : nullptr;
  if (!extra || !extra->text) return {};
  return std::string(extra->text).substr(0, 47);
}

}  // namespace

void WriteEndSummary(const World& world, PlayerRecord& region, uint8_t result, bool cheated, const char* scenario,
                     const char* regionName) {
  region.endResult = result;
  if (cheated) region.endCheated = 1;
  CopyName(region.endScenarioName, scenario);
  CopyName(region.endRegionName, regionName);
  CopyName(region.endCapitalName, CapitalLabel(world, region).c_str());
}

std::string FillTwoStrings(const char* format, const char* first, const char* second) {
  std::string out;
  if (!format) return out;
  const char* fill[] = {first ? first : "", second ? second : ""};
  int used = 0;
  for (const char* c = format; *c; ++c) {
    if (c[0] == '%' && c[1] == 's' && used < 2) {
      out += fill[used++];
      ++c;
    } else {
      out += *c;
    }
  }
  return out;
}

VictoryStory ChooseVictoryStory(const ScenarioText& texts, int kind, uint32_t endReason, bool localWon,
                                const char* winnerRegion, const char* winnerName) {
  if (kind < 0 || kind >= kScenarioEndKinds) kind = kEndSingle;
  const OwnedText* own = texts.endTexts[kind];
  VictoryStory story{own[kEndWin].c_str(), 1};
  if (endReason == kEndReasonUnified && own[kEndUnifyWin]) return {own[kEndUnifyWin].c_str(), 2};
  if (endReason == kEndReasonUnifiedByOther && own[kEndUnifyLose])
    return {FillTwoStrings(own[kEndUnifyLose].c_str(), winnerRegion, winnerName), 0};
  if (!localWon) story = {own[kEndLose].c_str(), 0};
  return story;
}

Screen* EndGamePopupFor(uint32_t code, uint32_t endReason, bool networked) {
  return EndGameScreenOf(EndGameScreen(code, endReason, networked));
}

void InstallEndGameHooks() {
  g_netUi.refreshScreen = RefreshShownScreen;
  g_netUi.openPopup = [](ScreenManager*, const char* form) {
    if (Screen* screen = EndGameScreenOf(form)) screen->Popup(kKeepScreenId, nullptr);
  };
}

namespace {

class EndTurnPopup : public Screen {
 public:
  EndTurnPopup() : Screen("ENDTURNPOPUP", {kEndTurnTags, {}}) {}
  void Refresh() override { SetControlFlag(Tag(form, "SHOWETPOP"), kStateSelected, g_uiOptions.bnoconfirmturn); }
  void OnCommand(Control* control, int32_t) override {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (!Is(control, "OKTURN")) return;
    const Control* box = Tag(form, "SHOWETPOP");
    g_uiOptions.bnoconfirmturn = box && box->Selected() ? 1 : 0;
    Close(0);
    if (AdvanceToNextPlayer(g_world, false, true) != 0) g_endGameActions.nextTurn();
  }
};

}  // namespace

std::unique_ptr<Screen> MakeEndTurnPopup() { return std::make_unique<EndTurnPopup>(); }

EndGamePopup::EndGamePopup(const char* formName, FormLookups lookups, int32_t sound)
    : Screen(formName, lookups), sound_(sound) {}

void EndGamePopup::BindControls() {
  for (const char* tag : {"TEXTBOX00", "TEXTBOX08", "TEXTBOX09", "TEXTBOX10", "TEXTBOX11"})
    MakeBox(*this, tag, kTextFont, kTextColour);
  MakeBox(*this, "TEXTPARENT", kDefeatTextFont, kTextColour);
}

int32_t EndGamePopup::Popup(intptr_t newId, const ScreenParameterList*) {
  // It stays above the map until the player answers it.
  if (newId != kKeepScreenId) id = newId;
  const plat::Rect whole{0, 0, g_platform.clientRect.right, g_platform.clientRect.bottom};
  const int32_t refused =
      currentForm ? OpenPopup(g_ui, currentForm, kPopupModal | kPopupExclusive, -1, -1, 0, whole) : 0;
  OnOpen();
  Refresh();
  return refused;
}

void EndGamePopup::SetUiText(const char* tag, int entry) { SetBoxText(Tag(form, tag), TextListText(kListUitext, entry)); }

void EndGamePopup::OnOpen() {
  g_endGameActions.pause();
  g_endGameActions.playSound(sound_);
  ControlSetText(Tag(form, "SCENARIO"), g_scenarioText.scenarioName.c_str());
}

int32_t EndGamePopup::Close(int32_t noReturn) {
  Screen::Close(noReturn);
  g_endGameActions.leaveGame(true);
  return 0;
}

void EndGamePopup::OnCommand(Control* control, int32_t) {
  if (Is(control, "MENUBUT")) Close(0);
}

namespace {

class EndGamePreview : public EndGamePopup {
 public:
  EndGamePreview() : EndGamePopup("ENDGAME_PREVIEW", {kPreviewTags, {}}, kSoundGameWon) {}
  void OnOpen() override {
    EndGamePopup::OnOpen();
    SetUiText("TEXTBOX10", 10);
    SetUiText("TEXTBOX11", 11);
  }
};

class EndGamePreview2 : public EndGamePopup {
 public:
  EndGamePreview2() : EndGamePopup("ENDGAME_PREVIEW2", {kPreview2Tags, {}}, kSoundGameOver) {}
  void OnOpen() override {
    EndGamePopup::OnOpen();
    SetUiText("TEXTBOX08", 8);
    SetUiText("TEXTBOX11", 11);
  }
};

class EndGameMultiplayer : public EndGamePopup {
 public:
  EndGameMultiplayer() : EndGamePopup("ENDGAME_MPLAYER", {kMultiplayerTags, {}}, kSoundGameOver) {}
  void OnOpen() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    EndGamePopup::OnOpen();
    SetUiText("TEXTBOX08", 8);
    SetUiText("TEXTBOX09", 9);
    ShowTag(form, "GRIDOBS", (g_world.scenario.head.gameFlags & kGameFlagHidesObserve) == 0);
    observing = false;
  }
  int32_t Close(int32_t noReturn = 0) override {
    // An observer stays in the running game.
    if (observing) return Screen::Close(noReturn);
    return EndGamePopup::Close(noReturn);
  }
  void OnCommand(Control* control, int32_t value) override {
    if (Is(control, "OBSERVE")) {
      observing = true;
      Close(0);
      return;
    }
    EndGamePopup::OnCommand(control, value);
  }
  bool observing = false;
};

class ElectionDefeatScreen : public EndGamePopup {
 public:
  ElectionDefeatScreen() : EndGamePopup("ENDGAME_ELDEFEAT", {kDefeatTags, kDefeatIds}, kSoundGameOver) {}
  void OnOpen() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    EndGamePopup::OnOpen();
    const PlayerRecord* local = LocalPlayer(g_world);
    if (!local) return;
    const TextListId parties[] = {kListPolpartyleft, kListPolpartycenter, kListPolpartyright, kListPolpartyother};
    const uint8_t picks[] = {local->bandPicks[0], local->bandPicks[1], local->bandPicks[2], local->otherPartyPick};
    for (int i = 0; i < 4; ++i) {
      ControlSetText(Id(form, 11 + i), TextListText(parties[i], picks[i]));
      char share[32];
      std::snprintf(share, sizeof share, "%3.1f %%", static_cast<double>(local->partyShare[i] * 100.0f));
      ControlSetText(Id(form, 21 + i), share);
      const int on = i == local->rulingParty ? 1 : 0;
      SetControlFlag(Id(form, 11 + i), kStateSelected, on);
      SetControlFlag(Id(form, 21 + i), kStateSelected, on);
    }
    const bool possible = CoupPossible(local->approval, local->secondRating, GovernmentSupport(*local, kCoupGovernmentForm),
                                       g_world.scenario.head.difficulty);
    ShowTag(form, "COUP", possible);
    SetUiText("TEXTPARENT", possible ? 1 : 2);
    SetUiText("TEXTBOX00", 0);
  }
  int32_t Close(int32_t noReturn = 0) override {
    bool coup = false;
    {
      // Not held into the leaving, which waits for the turn thread to stop.
      plat::CriticalSectionLock lock(g_simulationLock);
      const PlayerRecord* local = LocalPlayer(g_world);
      coup = local && GovtypeRequest(local->displayPolicy) == kCoupGovernmentForm;
    }
    // After a coup the change of government is pending and the game goes on.
    if (coup) return Screen::Close(noReturn);
    return EndGamePopup::Close(noReturn);
  }
  void OnCommand(Control* control, int32_t) override {
    if (Is(control, "COUP")) {
      g_endGameActions.postCoup();
      Close(0);
    }
    if (Is(control, "RESIGN")) Close(0);
  }
};

}  // namespace

std::unique_ptr<Screen> MakeEndGamePreview() { return std::make_unique<EndGamePreview>(); }
std::unique_ptr<Screen> MakeEndGamePreview2() { return std::make_unique<EndGamePreview2>(); }
std::unique_ptr<Screen> MakeEndGameMultiplayer() { return std::make_unique<EndGameMultiplayer>(); }
std::unique_ptr<Screen> MakeElectionDefeatScreen() { return std::make_unique<ElectionDefeatScreen>(); }

VictoryScreen::VictoryScreen() : Screen("VICTORY", {kVictoryTags, {}}), continuation(&continueHost) {
  hostLink = &g_ui.frontEndBackground;
}

void VictoryScreen::BindControls() {
  scoreCardHost = continueHost = nullptr;
  if (!form) return;
  const int32_t w = form->rect.right - form->rect.left, h = form->rect.bottom - form->rect.top;
  RectMoveTo(&form->rect, (g_platform.clientRect.right - w) / 2, (g_platform.clientRect.bottom - h) / 2);
  scoreCardHost = Tag(form, "SCORECARD");
  continueHost = Tag(form, "SCENPARENT");
  MakeBox(*this, "STORY", 3, 0xFFFFFFFF);
}

void VictoryScreen::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const uint32_t flags = w.scenario.head.gameFlags;
  const int kind = Networked() ? kEndMultiplayer : (flags & kGameFlagCampaign) ? kEndCampaign : kEndSingle;
  const int32_t localPlayer = LocalPlayerIndex(w);
  const bool localWon = localPlayer >= 0 && ((w.gameState.winnersMask >> localPlayer) & 1u) != 0;
  const PlayerRecord& winner = w.players[w.gameState.scenarioWinner % kMaxPlayers];
  story = ChooseVictoryStory(g_scenarioText, kind, w.gameState.endReason, localWon, LookupLocalizedName(w, winner),
                             GetPlayerDisplayName(w, winner));
  SetBoxText(Tag(form, "STORY"), story.text.c_str());
  ShowTag(form, "CHEATER", (flags & kGameFlagCheated) != 0);
  if (PlayerRecord* local = LocalPlayer(g_world)) {
    WriteEndSummary(w, *local, story.result, (flags & kGameFlagCheated) != 0, g_scenarioText.scenarioName.c_str(),
                    LookupLocalizedName(w, *local));
  }
  continuation.Show(kKeepScreenId, nullptr);
  const int32_t page = (flags & kGameFlagCampaign) ? 5 : w.scenario.head.svictorycond == 3 ? 4 : 3;
  ShowScoreCardIn(g_screens.scoreCard, scoreCardHost, page);
}

void ShowVictoryScreen() { g_screens.victory.Show(kKeepScreenId, nullptr); }

bool GovernmentChangePossible(int form, int32_t support, float militaryApproval, float domesticApproval) {
  const float margin = static_cast<float>(support) / 100.0f;
  if (form == 3) return margin + militaryApproval > 1.1f || margin + domesticApproval > 1.0f;
  if (form == 4) return margin + militaryApproval > 0.9f || margin + domesticApproval > 1.0f;
  // Only the forms that overturn the order of things ask for support.
  return true;
}

VictoryContinue::VictoryContinue(Control** host) : Screen("VICTORY_SS1", {kContinueTags, kContinueIds}) {
  hostLink = host;
}

void VictoryContinue::BindControls() {
  list = MakeListBox("SCENLIST", 0, form, kListIndicators, this);
  if (list && list->prototype) list->prototype->fontSlot = 3;
  // A refused change shows as a see-through green line over its button,
  // the same under the pointer, and takes the button's clicks.
  for (int f = 1; f <= kGovernmentForms; ++f) {
    Control* line = Id(form, kUnableIdBase + f);
    if (!line) continue;
    if (auto* text = dynamic_cast<StringControl*>(line)) text->textColour = kUnableTextColour;
    line->fills[kLookNormal] = (line->fills[kLookNormal] & 0x00FFFFFFu) | kUnableAlpha;
    line->fills[kLookFocused] = line->fills[kLookNormal];
  }
}

const ScenarioMapLink* VictoryContinue::FollowUps() const {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const int32_t p = w.gameState.localPlayer;
  const bool won = p >= 0 && p < 32 && ((w.gameState.winnersMask >> p) & 1u) != 0;
  return won ? w.scenario.winmaps : w.scenario.losemaps;
}

void VictoryContinue::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* local = LocalPlayer(g_world);
  chosenForm = local ? local->govtype : 0;
  SetControlFlag(Id(form, kChangeIdBase + chosenForm), kStateSelected, 1);
  followUps = 0;
  const World& w = g_world;
  if ((w.scenario.head.gameFlags & kGameFlagCampaign) == 0) return;
  const int32_t p = w.gameState.localPlayer;
  const bool won = p >= 0 && p < 32 && ((w.gameState.winnersMask >> p) & 1u) != 0;
  followUps = std::min<int32_t>(won ? w.scenario.numwinchoice : w.scenario.numlosechoice, kScenarioMapLinks);
}

void VictoryContinue::Refresh() {
  const bool more = followUps > 0;
  for (const char* tag : {"HIDEBOXAS", "HIDEBOX", "SAVE", "OK"}) ShowTag(form, tag, more);
  ShowTag(form, "MENU", true);
  if (!more || !list) return;
  const int32_t selected = list->selectedId;
  ListClear(list, 1);
  const ScenarioMapLink* links = FollowUps();
  for (int32_t i = 0; i < followUps; ++i) ListAddString(list, links[i].mapName ? links[i].mapName : "", i + 1, i + 1, 0, 0, 0);
  ListLayoutRows(list);
  ListSetSelection(0, list, selected > 0 && selected <= followUps ? selected : 1, 0);
  RefreshGovernmentChoice();
  ControlSetText(Tag(form, "ASNAME"), CampaignAutoSaveName(g_scenarioText.scenarioName.c_str()).c_str());
}

void VictoryContinue::RefreshGovernmentChoice() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const PlayerRecord* local = LocalPlayer(g_world);
  if (!local) return;
  const int current = local->govtype;
  ControlSetText(Tag(form, "CURRENT"), TextListText(kListGovtype, current));
  for (int f = 1; f <= kGovernmentForms; ++f) {
    const char* name = TextListText(kListGovtype, f);
    char text[96];
    Control* change = Id(form, kChangeIdBase + f);
    Control* unable = Id(form, kUnableIdBase + f);
    std::snprintf(text, sizeof text, "Conditions Unable to Support %s", name);
    ControlSetText(unable, text);
    const bool offered = !(chosenForm == current && chosenForm == f);
    ::Show(change, offered);
    const bool possible = GovernmentChangePossible(f, GovernmentSupport(*local, f), local->secondRating, local->approval);
    const bool refused = offered && !possible;
    ::Show(unable, refused);
    // The note lies over its button and speaks for it: the button's own
    // words would show through it.
    std::snprintf(text, sizeof text, "Change Government to %s", name);
    ControlSetText(change, refused ? "" : text);
  }
  ShowTag(form, "HIDECHANGE", chosenForm != current);
  ControlSetText(Tag(form, "GOVCHANGE"), TextListText(kListGovtype, chosenForm));
}

void VictoryContinue::OnCommand(Control* control, int32_t) {
  if (control && control->id > kChangeIdBase && control->id <= kChangeIdBase + kGovernmentForms) {
    chosenForm = control->id - kChangeIdBase;
    Refresh();
    return;
  }
  const std::string scenario = g_scenarioText.scenarioName.c_str();
  if (Is(control, "SAVE")) {
    // The save dialog opens on its own, proposing the campaign's name as
    // far as the game's save name holds it, in letters the dialog takes: a
    // title may hold a path's separator.
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      GameState& state = g_world.gameState;
      std::string name = CampaignSaveName(SafeFileNamePart(scenario)).substr(0, sizeof state.saveName - 1);
      while (!name.empty() && name.back() == ' ') name.pop_back();
      std::memset(state.saveName, 0, sizeof state.saveName);
      std::strncpy(state.saveName, name.c_str(), sizeof state.saveName - 1);
    }
    GameMenuActivate(g_screens.gameMenu, kGameMenuSavePage);
    Refresh();
    return;
  }
  const bool ok = Is(control, "OK");
  if (!ok && !Is(control, "MENU")) return;
  for (const char* tag : {"SAVE", "OK", "MENU", "HIDEBOX"}) ShowTag(form, tag, false);
  UpdateFrameUi(g_ui);
  if (followUps > 0) {
    plat::CriticalSectionLock lock(g_simulationLock);
    (void)SaveGame(g_world, CampaignAutoSaveName(scenario));
  }
  // The next scenario's start waits for the game's threads to stop: the
  // lock is not held across it.
  if (ok) {
    const int32_t row = list ? list->selectedId : 0;
    StartScenarioGame(FollowUps()[row > 0 && row <= followUps ? row - 1 : 0], chosenForm);
    return;
  }
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ReleaseGameData(g_world);
  }
  if (g_ui.netRole != kRoleNone) {
    // A program started for one network game ends with it.
    if (g_platform.mainWindow) plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
    return;
  }
  (void)ShowLoadingScreen(0);
  StartMenu& menu = g_screens.startMenu;
  ReopenScreen(menu);
  // Drawn at once, not at the next movement of the mouse.
  if (menu.currentForm) menu.currentForm->Invalidate();
  if (g_ui.rootForm) g_ui.rootForm->state |= kStateDirty;
}
