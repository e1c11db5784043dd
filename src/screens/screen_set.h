#pragma once
// The one object that holds every screen as a named member and heads the
// list of all screens, with the poll ring and the working lists that many
// screens share. Built before the entry routine and destroyed at exit; its
// screens are shown and hidden, never made or destroyed while it runs.
#include <cstdint>

#include "editor/editor_screens.h"
#include "net/text_message.h"
#include "screens/diplomacy/email_popup.h"
#include "screens/economy/economy_popups.h"
#include "screens/economy/product_screen.h"
#include "screens/frontend/briefing_screen.h"
#include "screens/frontend/chat_screen.h"
#include "screens/frontend/end_game_popups.h"
#include "screens/frontend/game_file_screen.h"
#include "screens/frontend/game_lobby.h"
#include "screens/frontend/game_menu.h"
#include "screens/frontend/option_pages.h"
#include "screens/frontend/score_card.h"
#include "screens/frontend/start_menu.h"
#include "screens/frontend/status_overlay.h"
#include "screens/frontend/tutorial_window.h"
#include "screens/main/bars/command_bars.h"
#include "screens/main/bars/editor_bar.h"
#include "screens/main/popups/hex_info_popup.h"
#include "screens/main/popups/hex_list_popups.h"
#include "screens/main/panels/main_panels.h"
#include "screens/main/panels/map_screen.h"
#include "screens/main/popups/name_hex_popup.h"
#include "screens/main/popups/settlement_popup.h"
#include "screens/main/popups/upgrade_popup.h"
#include "screens/main/bars/side_bars.h"
#include "screens/main/bars/title_bar.h"
#include "screens/military/unit_popups.h"
#include "ui/deferred_actions.h"
#include "ui/popups.h"
#include "ui/tooltip.h"
#include "world/list_holder.h"

struct UnitClassRecord;

inline constexpr int kWorkingLists = 13;
// The working lists that a stopped game empties (the first eleven).
inline constexpr int kWorkingListsClearedAtStop = 11;
inline constexpr int kSelectionListIndex = 6;

// A record of the diplomacy screens; only its first word is set here.
struct ScreenSetRecord {
  int32_t first;
  int32_t words[2];
};

// Members in the order the screens are built, which is the catalogue's:
// the frame bars, the editor's panels, the departments (economy, diplomacy,
// production, status, domestic policy, military, operations), the map
// screen, the orders, the map's pop-ups, mail, the overlays, the tooltip,
// the front end, the pop-up frames. Each screen links itself at the head of
// the list of all screens, so the list runs from the pop-up frames back to
// the title bar.
struct ScreenSet {
  ScreenSet();
  ~ScreenSet();
  ScreenSet(const ScreenSet&) = delete;
  ScreenSet& operator=(const ScreenSet&) = delete;

  TitleBar titleBar;
  EditorBar editorBar;
  MapBorder mapBorder;
  CmdBar cmdBar;
  CmdBar2 cmdBar2;
  CmdBar3 cmdBar3;
  MapEditCmdBar mapEditCmdBar;
  FilterBar filterBar;
  MinimapBar minimapBar;
  SideFrameBar sideBar1{"SIDEBAR1", -1, FormLookups{.tags = kSideBar1Tags, .ids = {}}};
  SideFrameBar sideBar3{"SIDEBAR3", 3};
  // The bottom dock's bars: level 1, then the two BOTBAR2 (levels 2 and 3).
  BottomBar botBar1{"BOTBAR1", 1};
  BottomBar botBar2{"BOTBAR2", 2};
  BottomBar botBar3{"BOTBAR2", 3};
  MapEditorB mapEditorB;
  MapEditorSs2 mapEditorSs2;
  EconomyScreen economy1;
  DiplomacyScreen diplomacy1;
  Product1 product1;
  ProductPopup productPopup;
  StatusScreen status1;
  DomesticPolicyScreen domPolicy1;
  MilitaryScreen military1;
  OperationsScreen ops1;
  MapScreen map1;  // with its side panels
  PlainMapScreen plainMap;
  SettlementListPopup settlementList;
  NameHexPopup nameHex;
  UpgradePopup upgradePopup;
  OrdersScreen orders1;
  UnitListPopup unitList;
  UnitDetailPopup unitDetail;
  MissilePopup missiles;
  SiloPopup siloPopup;
  LaunchSitePopup launchSitePopup;
  BasePopup basePopup;
  DepotPopup depotPopup;
  HelpPopup help;
  HexInfoPopup map2;
  CombatOddsPopup map3;
  HexListPopupA hexListA;  // the four pop-ups of the form HEXLISTPOP
  HexProductList hexMenu;
  HexListPopupB stackList;
  HexTargetList targetPicker;
  ResearchPopup research;
  IndustryPopup industry;
  MailWindow email1;
  EmailPopup emailPopup;
  ChatScreen chat;
  StatusMapOverlay statMap;
  ScoreCard scoreCard;
  WaitingRoom waitingRoom;
  Tooltip tooltip;
  GameMenu gameMenu;
  EndTurnPopup endTurn;
  EndGamePreview endGamePreview;
  EndGamePreview2 endGamePreview2;
  EndGameMultiplayer endGameMultiplayer;
  ElectionDefeatScreen electionDefeat;
  VictoryScreen victory;
  GameFileScreen gameFile;
  TutorialWindow tutorial;
  StartMenu startMenu;
  GameChoiceScreen gameChoice;
  ConnectScreen connect;
  OptionsMenu optionsMenu;
  OptionsHost optionsHost;
  OptionPages optionPages;
  PlayerProfile playerProfile;
  GameLobby gameLobby;
  BriefingScreen briefing;
  PopupFrameScreen popupFrames;

  PollRing pollRing;
  TextMessage textMessages;  // the ring of chat lines starts empty
  ListHolder workingLists[kWorkingLists];
  ScreenSetRecord records[8];

  // The units selected on the map.
  ListHolder& SelectionList() { return workingLists[kSelectionListIndex]; }
  // The class the panels show: that of the selected hex's visible unit.
  const UnitClassRecord* currentClass = nullptr;
  // The map's modes the layout leaves; their rules come with the hex lists
  // and the map clicks.
  int32_t mapClickMode = 0;
  int32_t selectionOrdersShown = 0;  // the orders panel is open for the selection
  int32_t selectionPanelPending = 0;
};

extern ScreenSet g_screens;

// Loads the form of every screen on the list of all screens, from the
// first, and binds each screen whose form loaded or that has none. A screen
// made while the walk runs (a list box's) stands behind it and is not
// visited. Each start of the interface loads afresh: a form loaded before
// is replaced, or kept when the new one cannot load.
void LoadScreenListForms(Screen* first);
inline void LoadScreenListForms(ScreenSet&) { LoadScreenListForms(Screen::AllScreens()); }
// Every screen's forms leave the host or frame they are shown in, as the
// program shuts down (the root controls go next) or before the forms are
// replaced.
void DetachScreenForms(Screen* first);

// Empties the working lists that a stopped game leaves behind.
void ClearWorkingLists(ScreenSet& screens, int count);

// A bind body several screens share: marks the screen with bit 0 of its
// first own word.
void MarkScreenFlag1(Screen& screen);
// The OnOpen the docked sub-panels share: the docked panels open three
// deep, the command bars follow the depth.
void ScreenSlotSelectMapMode(ScreenSet& screens);
// The OnOpen the map screen's side panels share: the docked panels open two
// deep, the command bars follow the depth.
void ScreenSlotResetMapMode(ScreenSet& screens);
