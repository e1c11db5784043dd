#pragma once
// The one object that holds every screen as a named member and heads the
// list of all screens, with the poll ring and the working lists that many
// screens share. Built before the entry routine and destroyed at exit; its
// screens are shown and hidden, never made or destroyed while it runs.
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "editor/editor_file_menu.h"
#include "editor/editor_screens.h"
#include "editor/editor_setup_dialogs.h"
#include "editor/editor_tech_panel.h"
#include "editor/editor_unit_attributes.h"
#include "editor/editor_unit_tool.h"
#include "editor/facility_paint_panel.h"
#include "editor/facility_type_panel.h"
#include "editor/terrain_paint_panel.h"
#include "editor/terrain_type_panels.h"
#include "net/text_message.h"
#include "screens/common/facilities/facility_list_services.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/build_lists.h"
#include "screens/common/units/orders_summary.h"
#include "screens/common/units/unit_class_row.h"
#include "screens/common/units/unit_command_grid.h"
#include "screens/common/units/unit_progress_row_b.h"
#include "screens/common/units/unit_sheets.h"
#include "screens/diplomacy/areas/hex_area.h"
#include "screens/diplomacy/deals/deal_item_popups.h"
#include "screens/diplomacy/deals/deal_popup.h"
#include "screens/diplomacy/deals/deal_side_pickers.h"
#include "screens/diplomacy/dip_player_list.h"
#include "screens/diplomacy/diplomacy_screen.h"
#include "screens/diplomacy/mail/mail_options.h"
#include "screens/diplomacy/mail/mail_popup.h"
#include "screens/diplomacy/mail/mail_window.h"
#include "screens/diplomacy/mail/offer_mail_view.h"
#include "screens/diplomacy/market/aid_request_panels.h"
#include "screens/diplomacy/market/world_market_panels.h"
#include "screens/diplomacy/relations/agreements_panel.h"
#include "screens/diplomacy/relations/alliances_panel.h"
#include "screens/economy/cabinet/cabinet_candidates.h"
#include "screens/economy/cabinet/cabinet_priorities_panel.h"
#include "screens/economy/cabinet/cabinet_screen.h"
#include "screens/economy/economy_popups.h"
#include "screens/economy/policy/domestic_policy_screen.h"
#include "screens/economy/product_screen.h"
#include "screens/economy/research/research_budget_panel.h"
#include "screens/economy/research/research_funding_panel.h"
#include "screens/economy/research/research_screen.h"
#include "screens/economy/research/tech_list_panels.h"
#include "screens/economy/research/tech_popup.h"
#include "screens/economy/status/region_stats_panels.h"
#include "screens/economy/status/status_screen.h"
#include "screens/editor/editor_class_list_panels.h"
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
#include "screens/main/bars/editor_bar.h"
#include "screens/main/bars/minimap_bar.h"
#include "screens/main/panels/map_screen.h"
#include "screens/main/popups/combat_odds_popup.h"
#include "screens/main/popups/hex_info_popup.h"
#include "screens/main/popups/hex_list_popups.h"
#include "screens/main/popups/upgrade_popup.h"
#include "screens/military/department/auto_build_panels.h"
#include "screens/military/department/base_unit_list_panel.h"
#include "screens/military/department/military_screen.h"
#include "screens/military/facilities/build_order_panel.h"
#include "screens/military/inventory/unit_class_list_panel.h"
#include "screens/military/inventory/unit_inventory_panel.h"
#include "screens/military/inventory/unit_offer_panel.h"
#include "screens/military/operations/hostility_panel.h"
#include "screens/military/operations/intel_region_panels.h"
#include "screens/military/operations/intelligence_panel.h"
#include "screens/military/operations/launch_panel.h"
#include "screens/military/operations/operations_screen.h"
#include "screens/military/operations/ops_schedule_panels.h"
#include "screens/military/operations/wmd_targeting_panels.h"
#include "screens/military/orders/mission_panels.h"
#include "screens/military/orders/order_option_panels.h"
#include "screens/military/orders/orders_lock_panels.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/military/orders/orders_training.h"
#include "screens/military/orders/schedule_popup.h"
#include "screens/military/production/production_lists.h"
#include "screens/military/silo/launch_keypad.h"
#include "screens/military/silo/missile_silo_panels.h"
#include "screens/military/silo/silo_panels.h"
#include "screens/military/units/unit_performance.h"
#include "screens/military/units/unit_picture_panel.h"
#include "screens/military/units/unit_popups.h"
#include "screens/military/units/unit_progress_row.h"
#include "screens/military/units/unit_row.h"
#include "ui/deferred_actions.h"
#include "ui/popups.h"
#include "ui/tooltip.h"
#include "world/list_holder.h"

struct UnitClassRecord;

inline constexpr int kWorkingLists = 13;
// The working lists that a stopped game empties (the first eleven).
inline constexpr int kWorkingListsClearedAtStop = 11;
inline constexpr int kSelectionListIndex = 6;
inline constexpr int kSiloMissileListIndex = 7;  // the silo panel's missiles
inline constexpr int kPlatformListIndex = 0;  // the load panels' platform candidates
inline constexpr int kSiloListIndex = 1;      // the load panels' silos
inline constexpr int kCargoListIndex = 2;     // the load panels' cargo of the chosen platform
inline constexpr int kStoredUnitListIndex = 3;  // the inventory's stored units
inline constexpr int kCurrentObjectListIndex = 8;  // the facility lists' facility in hand

// A record of the diplomacy screens; only its first word is set here.
struct ScreenSetRecord {
  int32_t first;
  int32_t words[2];
};

// Screens of one form side by side (per-player rows, graph rows, lobby
// slots), built in index order. Until its class is written a screen is a
// plain one that only holds its form.
template <size_t N, class S = Screen>
struct ScreenArray {
  explicit ScreenArray(const char* tag) : screens(Make(tag, std::make_index_sequence<N>())) {}
  S& operator[](size_t i) { return screens[i]; }
  std::array<S, N> screens;

 private:
  template <size_t... I>
  static std::array<S, N> Make(const char* tag, std::index_sequence<I...>) {
    return {{((void)I, S(tag))...}};
  }
};

// One row of the production pop-up: its six panels, then the row's graph.
inline constexpr int kProductPopupRows = 11;
struct ProductPopupRow {
  Screen ss1{"POPUP_PRODUCT1_SS1"};
  Screen ss2{"POPUP_PRODUCT1_SS2"};
  Screen ss3{"POPUP_PRODUCT1_SS3"};
  Screen ss4{"POPUP_PRODUCT1_SS4"};
  Screen ss5{"POPUP_PRODUCT1_SS5"};
  Screen ss7{"POPUP_PRODUCT1_SS7"};
  Screen graph{"PRODUCT_GRAPH"};
};

// Every screen of the game, in the catalogue's order (screen_catalogue.h):
// the frame bars, the editor's panels, the departments (economy, diplomacy,
// production, status, domestic policy, military, operations, cabinet), the
// map screen, the orders, the map's pop-ups, mail, chat, the score card,
// the waiting room, the tooltip, the hex lists, the in-game menu, the ends
// of a game, the front end, the pop-up frames. Each screen links itself at
// the head of the list of all screens, so the list runs from the pop-up
// frames back to the title bar. A screen whose bind looks into another
// screen's form stands before it: the walk binds it after that form loads.
// A screen whose class is not written yet is a plain screen holding its
// form; its class replaces it in place. A panel that no other file needs
// but as a Screen is held through the factory of the file that defines it,
// so its class stays out of every header; the set's constructor calls the
// factory, so this header needs none of those files, and the panel is made
// in the same place in the list as a member of its own class would be.
struct ScreenSet {
  ScreenSet();
  ~ScreenSet();
  ScreenSet(const ScreenSet&) = delete;
  ScreenSet& operator=(const ScreenSet&) = delete;

  // Frame bars.
  std::unique_ptr<Screen> titleBar;
  EditorBar editorBar;
  std::unique_ptr<Screen> mapBorder;
  CmdBar cmdBar;
  CmdBar2 speedBar;  // CMDBAR2
  CmdBar3 mailBar;  // CMDBAR3
  MapEditCmdBar mapEditCmdBar;
  std::unique_ptr<Screen> filterBar;
  MinimapBar minimapBar;
  SideFrameBar sideBar1{"SIDEBAR1", -1, FormLookups{.tags = kSideBar1Tags, .ids = {}}};
  // The slot under the side panels' box: the mailbox hangs in this frame
  // (the fourth slot is empty, below the screen).
  SideFrameBar sideBar3{"SIDEBAR3", 2};
  BottomBar dockLevel1{"BOTBAR1", 1};
  BottomBar dockLevel2{"BOTBAR2", 2};
  BottomBar dockLevel3{"BOTBAR2", 3};
  // Map editor.
  MapEditorB editorStrip;  // MAPEDITORB
  MapEditorBSs00 editorInfoPanel;  // MAPEDITORB_SS00
  ScreenArray<2, MapEditorMap1> mapInfoPanels{"MAPEDITOR_MAP1"};
  ScreenArray<2, MapEditorScn1> scenarioInfoPanels{"MAPEDITOR_SCN1"};
  ScreenArray<2, MapEditorMenu> fileMenuPanels{"MAPEDITOR_MENU"};
  ScreenArray<2, MapEditorFiles> scenarioFilePanels{"MAPEDITOR_FILES"};
  TerrainPaintPanel terrainPaintPanel;  // MAPEDITORB_SS0
  TerrainTypePanel terrainTypePanel;  // MAPEDITORB_SS1
  FacilityPaintPanel facilityPaintPanel;  // MAPEDITORB_SS3
  FacilityTypePanel facilityTypePanel;  // MAPEDITORB_SS4
  EditorUnitToolPanel unitToolPanel;  // MAPEDITORB_SS6
  EditorEquipmentListPanel equipmentListPanel;  // MAPEDITORB_SS6a
  std::unique_ptr<Screen> hexUnitListPanel;     // MAPEDITORB_SS6b
  EditorStockClassListPanel stockClassListPanel;  // MAPEDITORB_SS6d
  std::unique_ptr<Screen> stockUnitListPanel;     // MAPEDITORB_SS6e
  EditorTechPanel editorTechPanel;  // MAPEDITORB_SS7
  MapSetupDialog mapSetupDialog;  // MAPEDITOR_POPUP1
  ScenarioSetupDialog scenarioSetupDialog;  // MAPEDITOR_POPUP2
  TerrainChartPanel terrainChartPanel;  // MAPEDITOR_TCHART
  AttributesPanel attributesPanel;  // MAPEDITOR_ATTRIB
  IndustryPanel industryPanel;  // MAPEDITOR_IND
  CostsPanel costsPanel;  // MAPEDITOR_COST
  PlayerVariablesPanel playerVariablesPanel;  // MAPEDITOR_SS2
  Screen emptyUnitDetail{"POPUP_MILITARY1A14"};
  EditorUnitAttributesPanel unitAttributesPanel;  // MAPEDITORB_SS6C
  // Economy.
  std::unique_ptr<Screen> economyScreen;  // ECONOMY1
  Screen economy1Ss1{"ECONOMY1_SS1"};
  Screen economy1Ss1a{"ECONOMY1_SS1A"};
  Screen economy1Ss1b{"ECONOMY1_SS1B"};
  Screen economy1Ss1c{"ECONOMY1_SS1C"};
  Screen economy1Ss1d{"ECONOMY1_SS1D"};
  Screen economy1Ss1e{"ECONOMY1_SS1E"};
  Screen economy1Ss1f{"ECONOMY1_SS1F"};
  Screen economy1Ss1g{"ECONOMY1_SS1G"};
  Screen economy1Ss1h{"ECONOMY1_SS1H"};
  Screen economy1Ss02a{"ECONOMY1_SS02A"};
  Screen economy1Ss02a1{"ECONOMY1_SS02A1"};
  Screen economy1Ss02b{"ECONOMY1_SS02B"};
  Screen economy1Ss7{"ECONOMY1_SS7"};
  Screen economy1Ss7a{"ECONOMY1_SS7a"};
  Screen economy2{"ECONOMY2"};
  Screen economy2a{"ECONOMY2A"};
  Screen economy2b{"ECONOMY2B"};
  Screen economy3{"ECONOMY3"};
  Screen economy3Ss1{"ECONOMY3_SS1"};
  // Diplomacy.
  DiplomacyScreen diplomacyScreen;  // DIPLOMACY1
  DiplomacyAidPanel diplomacyAidPanel;  // DIPLOMACY1_SS1
  std::unique_ptr<Screen> worldMarketMembers;  // DIPLOMACY1_SS1A
  std::unique_ptr<Screen> worldMarketLeave;    // DIPLOMACY1_SS1B
  std::unique_ptr<Screen> worldMarketJoin;     // DIPLOMACY1_SS1C
  std::unique_ptr<Screen> treatyDetails;       // DIPLOMACY1_SS1D
  std::unique_ptr<Screen> regionRelations;     // DIPLOMACY1_SS2
  AlliancesPanel alliancesPanel;  // DIPLOMACY1_SS2a
  std::unique_ptr<Screen> surrenderConfirm;  // DIPLOMACY1_SS2a1
  AgreementsPanel agreementsPanel;  // DIPLOMACY1_SS2c
  std::unique_ptr<Screen> tradeRestriction;    // DIPLOMACY1_SS3
  std::unique_ptr<Screen> areaTagPanel;        // DIPLOMACY1_SS4
  std::unique_ptr<Screen> warDeclaration;      // DIPLOMACY1_SS2b
  EconomicAidRequestPanel economicAidRequest;  // DIPLOMACY1_SS11
  MilitaryAidRequestPanel militaryAidRequest;  // DIPLOMACY1_SS12
  std::unique_ptr<Screen> worldMarketVote;     // DIPLOMACY1_SS13
  std::unique_ptr<Screen> regionDossier;       // DIPLOMACY2a
  std::unique_ptr<Screen> regionReport;        // DIPLOMACY2a_SS1
  std::unique_ptr<Screen> regionAlliances;     // DIPLOMACY3
  std::unique_ptr<Screen> ownRegionSummary;    // DIPLOMACY2b
  ScreenArray<4, SchedulePopup> diplomacySchedule{"CALENDAR1"};
  ScreenArray<4, ScheduleModePanel> diplomacyScheduleMode{"CALENDAR1a"};
  ScreenArray<4, ScheduleTimePanel> diplomacyScheduleTime{"CALENDAR1b"};
  DealPopup dealPopup;  // POPUP_DIPLOMACY
  DealEditor dealEditor;  // POPUP_DIPLOMACY_SS1
  ScreenArray<2, DealItemInfo> dealItemInfo{"POPUP_DIPLOMACY_SS1a"};
  ScreenArray<2, DealAmountPicker> dealAmountPicker{"POPUP_DIPLOMACY_SS1b"};
  ScreenArray<2, DealRegionPicker> dealRegionPicker{"POPUP_DIPLOMACY_SS1c"};
  ScreenArray<2> popupDiplomacySs1d{"POPUP_DIPLOMACY_SS1d"};
  ScreenArray<2, DealUnitPicker> dealUnitPicker{"POPUP_DIPLOMACY_SS1e"};
  ScreenArray<2, DealDiscoveryInfo> dealDiscoveryInfo{"POPUP_DIPLOMACY_SS1f"};
  ScreenArray<2, DealAreaPicker> dealAreaPicker{"POPUP_DIPLOMACY_SS1g"};
  PendingDealsPanel pendingDeals;  // POPUP_DIPLOMACY_SS2
  std::unique_ptr<Screen> pendingDealCancel;    // POPUP_DIPLOMACY_SS2a
  std::unique_ptr<Screen> dealApproachChooser;  // POPUP_DIPLOMACY_SS3
  std::unique_ptr<Screen> dealApproachPanel;    // POPUP_DIPLOMACY_SS4
  // Production.
  Product1 productScreen;  // PRODUCT1
  ScreenArray<55> productGraphs{"PRODUCT_GRAPH"};  // four more hang in the hex columns' industry panels
  Screen product1Ss1a{"PRODUCT1_SS1a"};
  Screen product1Ss2a{"PRODUCT1_SS2a"};
  Screen product1Ss2c{"PRODUCT1_SS2c"};
  Screen product1Ss2d1{"PRODUCT1_SS2d1"};
  Screen product1Ss2d2{"PRODUCT1_SS2d2"};
  Screen product1Ss3{"Product1_ss3"};
  Screen product1Ss3a2{"PRODUCT1_SS3a2"};
  Screen product1Ss4{"PRODUCT1_SS4"};
  std::unique_ptr<Screen> productProfitPage;  // PRODUCT1_SS4a
  Screen product1Ss5{"PRODUCT1_SS5"};
  ScreenArray<12> product1Ss5a{"PRODUCT1_SS5a"};
  Screen product1Ss6{"PRODUCT1_SS6"};
  ScreenArray<12> product1Ss6a{"PRODUCT1_SS6a"};
  Screen product1Ss7{"PRODUCT1_SS7"};
  Screen product1Ss7a{"PRODUCT1_SS7a"};
  Screen product1Ss7b{"PRODUCT1_SS7b"};
  Screen product1b{"PRODUCT1B"};
  Screen product2Ss1{"PRODUCT2_SS1"};
  Screen product2Ss2{"PRODUCT2_SS2"};
  Screen product2Ss2a{"PRODUCT2_SS2a"};
  Screen product3{"PRODUCT3"};
  Screen product2Panels{nullptr};  // holds the PRODUCT2 panels; no form of its own
  ProductPopup productPopup;
  ProductPopupRow productPopupRows[kProductPopupRows];
  // Status.
  StatusScreen statusScreen;  // STATUS1: with its pages
  RegionSummarySidePanel statusSidePanel;  // STATUS2
  // Domestic policy.
  DomesticPolicyScreen policyScreen;  // DOMPOLICY1: with its panels and button bar
  std::unique_ptr<Screen> policySidePanel;  // DOMPOLICY2
  // Military.
  ScreenArray<19, UnitPicturePanel> unitPicturePanels{"MILITARY1_ss4a1"};
  ScreenArray<32, UnitClassRow> militarySclass{"MILITARY_SCLASS"};
  ScreenArray<18, UnitClassRow> militaryClass{"MILITARY_CLASS"};
  ScreenArray<20, MissileClassRow> missileSclass{"MISSILE_SCLASS"};
  ScreenArray<2, MissileClassRow> missileClass{"MISSILE_CLASS"};
  MilitaryScreen militaryScreen;  // MILITARY1
  std::unique_ptr<Screen> unitProduction;  // MILITARY1_ss1
  std::unique_ptr<Screen> unitViewFilter;  // MILITARY1_ss1a
  std::unique_ptr<Screen> autoBuildFocus;  // MILITARY1_ss1b
  ScreenArray<2, AutoBuildStatusPanel> autoBuildStatus{"MILITARY1_ss1b1"};
  BaseUnitListPanel baseUnitList;  // MILITARY1_ss1c
  std::unique_ptr<Screen> storedUnits;     // MILITARY1_ss1a2
  std::unique_ptr<Screen> facilityScreen;  // MILITARY1_ss2
  BuildOrderPanel buildOrderPanel;  // Military1_ss2a
  std::unique_ptr<Screen> baseCondition;  // Military1_ss2b
  ResearchFundingPanel researchFunding;  // MILITARY1_ss03
  ResearchBudgetPanel researchBudgetPanel;  // MILITARY1_ss3
  ResearchBudgetPanel researchBudgetPopup{false, "POPUP_RD_SS1"};
  TechListPanel techList;  // MILITARY1_ss3a
  TechDetailPanel techDetail;  // MILITARY1_ss3b
  std::unique_ptr<Screen> wmdTechList;  // MILITARY1_ss3c
  UnitInventoryPanel unitInventory;  // MILITARY1_ss4
  ScreenArray<4, UnitOfferPanel> unitSaleOffers{"MILITARY1_ss4a2"};
  ScreenArray<4, UnitOfferPanel> unitScrapOffers{"MILITARY1_ss4a3"};
  ScreenArray<4, UnitOfferConfirm> unitOfferConfirms{"MILITARY1_ss4a4"};
  UnitClassListPanel unitClassList;  // MILITARY1_ss4a
  MissileSiloPanel missileSiloPanel;  // MILITARY1_ss4b
  std::unique_ptr<Screen> missileLoadPanel;    // MILITARY1_ss4c
  std::unique_ptr<Screen> deployAllConfirm;    // MILITARY1_ss4d
  std::unique_ptr<Screen> forceSizePanel;      // MILITARY1_ss5
  std::unique_ptr<Screen> militaryWages;       // MILITARY1_ss6
  std::unique_ptr<Screen> militaryListPicker;  // MILITARY1_ss7
  MilitaryCabinetLink militaryCabinetLink;  // MILITARY1B
  std::unique_ptr<Screen> militaryCapacitySide;  // MILITARY2
  std::unique_ptr<Screen> militaryCostSide;      // MILITARY3
  // Operations.
  OperationsScreen operationsScreen;  // OPS1
  std::unique_ptr<Screen> defconPanel;  // OPS1_SS1
  IntelligencePanel intelligencePanel;  // OPS1_SS2
  std::unique_ptr<Screen> covertFunding;   // OPS1_SS2a
  std::unique_ptr<Screen> intelResources;  // OPS1_SS2b
  std::unique_ptr<Screen> agentBio;        // OPS1_SS2c
  IntelBudgetPanel intelBudget;  // OPS1_SS2d
  std::unique_ptr<Screen> missionRules;   // OPS1_SS3
  std::unique_ptr<Screen> scorchedEarth;  // OPS1_SS3c1
  std::unique_ptr<Screen> wmdTargeting;   // OPS1_SS4
  HostilityPanel hostilityPanel;  // OPS1_SS4a
  HostilityConfirmBox hostilityConfirm;  // OPS1_SS4a1
  HostilityConfirmBox3 hostilityConfirm3;  // OPS1_SS4a3
  HostilityConfirmBox4 hostilityConfirm4;  // OPS1_SS4a4
  std::unique_ptr<Screen> operationProgressConfirm;  // OPS1_SS4a5
  LaunchPanel launchPanel;  // OPS1_SS4b
  OpsScheduleListPanel opsScheduleList;  // OPS1_SS4c
  std::unique_ptr<Screen> opsScheduleClockFill;  // OPS1_SS4cFILL
  WmdTargetListPanel wmdTargetList;  // OPS1_SS4d
  std::unique_ptr<Screen> wmdTargetKind;        // OPS1_SS4d1
  std::unique_ptr<Screen> wmdYield;             // OPS1_SS4d1a
  std::unique_ptr<Screen> wmdTargetOwner;       // OPS1_SS4d2
  std::unique_ptr<Screen> wmdTargetInfoFill;    // OPS1_SS4dfill
  std::unique_ptr<Screen> operationsSidePanel;  // OPS2
  ScreenArray<4, SchedulePopup> opsSchedule{"CALENDAR1"};
  ScreenArray<4, ScheduleModePanel> opsScheduleMode{"CALENDAR1a"};
  ScreenArray<4, ScheduleTimePanel> opsScheduleTime{"CALENDAR1b"};
  // Cabinet.
  CabinetPager cabinet;
  ScreenArray<12, CabinetGridPanel> cabinetGrid{"CABINET_ss1"};
  ScreenArray<37, CabinetScreen> cabinetPages{"CABINET1"};
  CabinetPrioritiesPanel cabinetPriorities;  // CABINET1_SS1
  PriorityPickerPanel priorityPicker;  // CABINET1_SS1a
  std::unique_ptr<Screen> ministerActions;  // CABINET1_SS1b
  CandidateBioScreen cabinetBio;
  // Map screen.
  std::unique_ptr<Screen> plainMap;
  MapScreen mapScreen;  // MAP1: with its side panels
  // The silo's side panel of the map screen, with its sub-panels.
  SiloPanel siloSidePanel;  // MAP1_ss8
  MissileTargetPanel siloMissileTarget;  // MAP1_ss8b
  std::unique_ptr<Screen> siloStoredMissiles;   // MAP1_ss8c
  std::unique_ptr<Screen> siloStoredMissiles2;  // MAP1_ss8c2
  std::unique_ptr<Screen> siloLaunchSchedule;   // MAP1_ss8d
  UpgradePopup upgradePopup;  // with its two panels
  std::unique_ptr<Screen> nameHex;
  std::unique_ptr<Screen> settlementList;
  std::unique_ptr<Screen> settlementCard;
  // Orders.
  OrdersScreen ordersScreen;  // ORDERS1
  std::unique_ptr<Screen> selectionTotals;        // ORDERS1a
  OrdersScreenB selectedUnitBox{orderSheets[0]};  // ORDERS1b
  OrdersUnitSummary orderSheets[2];  // the third is the unit panel's
  UnitOrdersPanel unitOrders;  // ORDERS1_ss3
  MissionPanel missionPanel;  // ORDERS1_ss3a
  TargetTacticPanel targetTactic;  // ORDERS1_ss3a1
  ObjectiveChoiceBoxA objectiveChoiceA;  // ORDERS1_ss3a1a
  ObjectiveChoiceBoxB objectiveChoiceB;  // ORDERS1_ss3a1b
  ObjectiveChoiceBoxC objectiveChoiceC;  // ORDERS1_ss3a1c
  std::unique_ptr<Screen> orderChoice;   // ORDERS1_ss3a2
  std::unique_ptr<Screen> contactOptions;  // ORDERS1_ss3b
  MovementOptionsPanel movementOptions;  // ORDERS1_ss3c
  OrdersUnitListPanel ordersUnitList;  // ORDERS1_ss3d
  MissileStrikePanel missileStrike;  // ORDERS1_ss3e
  OrderBenefitBox orderBenefit;  // ORDERS1_ss4
  OrdersLockPanel ordersLock;  // ORDERS1_ss5
  OrdersLockSubPanel ordersLockSub;  // ORDERS1_ss5a
  std::unique_ptr<Screen> moveToPanel;       // ORDERS1_ss5c
  std::unique_ptr<Screen> ordersUnitPicker;  // ORDERS1_ss6
  std::unique_ptr<Screen> ordersOdds;        // ORDERS1_ss6a
  // Unit pop-ups.
  UnitListPopup unitList;
  UnitListRow unitListRow;  // POPUP_ULIST1a
  std::unique_ptr<Screen> unitListBuildRow;  // POPUP_ULIST1b
  UnitListOrdersPanel unitListOrders;  // POPUP_ULIST1c
  std::unique_ptr<Screen> unitListProduction;  // POPUP_ULIST1d
  UnitDetailPopup unitDetail;
  UnitCommandPanel unitCommands;  // POPUP_MILITARY1A
  UnitCommandPanel unitTabGrid{mapScreen.units.summary};  // POPUP_MILITARY1A, in the map's unit tab
  std::unique_ptr<Screen> unitBenefit;                    // POPUP_MILITARY1A1
  std::unique_ptr<Screen> carriedUnitNotice;              // POPUP_MILITARY1A2
  std::unique_ptr<Screen> unitSplitConfirm;               // POPUP_MILITARY1A3
  std::unique_ptr<Screen> unitEngagement;                 // POPUP_MILITARY1A4
  UnitRefitPanel unitRefit;  // POPUP_MILITARY1A6
  std::unique_ptr<Screen> unitUpgrade;      // POPUP_MILITARY1A5
  std::unique_ptr<Screen> unitRefitChoice;  // POPUP_MILITARY1A6B
  std::unique_ptr<Screen> unitChemical;     // POPUP_MILITARY1A6C
  UnitCargoPanel unitCargo;  // POPUP_MILITARY1A6A
  std::unique_ptr<Screen> unitRecover;  // POPUP_MILITARY1A7
  UnitTransferPanel unitTransfer;  // POPUP_MILITARY1A8
  UnitDetailPanel unitDetailPanel{"POPUP_MILITARY1A9"};
  ScreenArray<3, CargoPanel> cargoPanels{"POPUP_MILITARY1A9a"};
  UnitClassSheetPanel unitClassSheet;  // POPUP_MILITARY1A10
  std::unique_ptr<Screen> unitTroops;  // POPUP_MILITARY1A12
  UnitCargoLoadPanel unitCargoLoad;  // POPUP_MILITARY1A13
  std::unique_ptr<Screen> unitPriority;  // POPUP_MILITARY1B
  std::unique_ptr<Screen> unitHomeBase;  // POPUP_MILITARY1c
  UnitClassStatsPopup unitClassStats;  // POPUP_MILITARY3
  UnitStrengthPanel unitStrength{"POPUP_MILITARY3A"};
  std::unique_ptr<Screen> unitProgress;  // POPUP_MILITARY3B
  UnitExtraFill unitExtraFill{"POPUP_MILITARY3C"};
  UnitExtraFill missileExtraFill{"POPUP_MILITARY3C2"};
  UnitBuildPopup unitBuild;  // POPUP_MILITARY2
  UnitBuildSitePanel unitBuildSite;  // POPUP_MILITARY2a
  UnitBuildFilterPanel unitBuildFilter;  // POPUP_MILITARY2b
  ScreenArray<2, UnitResearchPanel> unitResearch{"POPUP_MILITARY2d"};
  MissilePopup missileDesignView;  // POPUP_MISSILE
  ScreenArray<3, MissileStockPanelA> missileStockPanels{"POPUP_MISSILE1a"};
  ScreenArray<2, MissileClassPanel> missileClassPanels{"POPUP_MISSILE_SS1"};
  ScreenArray<2, UnitClassStatsPopup> missileClassStats{"POPUP_MISSILE_SS2"};
  std::unique_ptr<Screen> missileBuild;  // POPUP_MISSILE_SS3
  ScreenArray<4, MissileBaseStatusPanel> missileBaseStatus{"POPUP_MISSILE_SS3d"};
  MissilePopupB missileStockView;  // POPUP_MISSILE
  MissileCancelPanel missileCancel;  // POPUP_MISSILE_SS3a
  MissileDeployPanel missileDeploy;  // POPUP_MISSILE_SS3b
  std::unique_ptr<Screen> missilePlatform;  // POPUP_MISSILE_SS3c
  std::unique_ptr<Screen> missileStatus;    // POPUP_MISSILE_SS3e
  MissileStockPopup missiles;
  WmdFilterPanel wmdFilter;  // POPUP_MISSILE1f
  MissileSelectPanel missileSelect;  // POPUP_MISSILE1h
  SiloPopup siloPopup;
  SiloMissilePanel siloMissiles;  // POPUP_SILO1g
  std::unique_ptr<Screen> siloTarget;    // POPUP_SILO1g1
  std::unique_ptr<Screen> siloSchedule;  // POPUP_SILO1g2
  LaunchSitePopup launchSitePopup;
  std::unique_ptr<Screen> depotPopup;
  BasePopup basePopup;
  std::unique_ptr<Screen> baseStatus;    // POPUP_BASE1a
  std::unique_ptr<Screen> baseProgress;  // POPUP_BASE1b
  BaseActionsPanel baseActions;  // POPUP_BASE1e
  std::unique_ptr<Screen> baseConfirm;  // POPUP_BASE1c
  std::unique_ptr<Screen> baseInfo;     // POPUP_BASE1d
  std::unique_ptr<Screen> baseUpgrade;  // POPUP_BASE1a1
  BaseBuildListPanel baseBuildList;  // POPUP_BASE1f
  std::unique_ptr<Screen> baseClassSheet;   // POPUP_BASE2
  std::unique_ptr<Screen> baseAttackSheet;  // POPUP_BASE3
  LaunchKeypad launchKeypad;  // POPUP_KEYPAD
  // Help.
  HelpPopup help;
  Screen popupHelp1Ss1{"POPUP_HELP1_SS1"};
  ScreenArray<6> popupHelp1Ss1a{"POPUP_HELP1_SS1a"};
  Screen popupHelp1Ss2{"POPUP_HELP1_SS2"};
  Screen popupHelp1Ss3{"POPUP_HELP1_SS3"};
  // The hex pop-ups.
  HexInfoPopup hexInfoPopup;  // MAP2: with its columns' panels
  CombatOddsPopup combatOdds;  // MAP3
  std::unique_ptr<Screen> graphPopup;  // GRAPH1
  Screen disabled{"DISABLED"};
  ResearchScreen research;
  TechPopup techPopup;  // POPUP_TECH
  std::unique_ptr<Screen> techProgress;  // POPUP_TECH_ss1
  IndustryPopup industry;
  FacilityTypeInfoFill industryTypeFill{"POPUP_INDUSTRYFILL"};
  FacilityTypeInfoFill productFacilityFill{"Product1_ss7fill"};
  // Mail.
  MailWindow mailWindow;  // EMAIL1
  MailList mailList;  // EMAIL1a
  MailListRow mailListRow;  // EMAIL1aFILL
  MailOptions mailOptions;  // EMAIL1b
  MailPopup emailPopup;
  OfferMailView offerMailView;  // POPUP_EMAIL1a1
  MailPopupPanel mailPopupPanel;  // POPUP_EMAIL1b
  MailAddressPicker mailAddressPicker;  // POPUP_EMAIL2
  MailSenderPanel mailSender;  // POPUP_EMAIL3
  // Chat.
  ChatMapOverlay chatMap;
  ChatEntry chat;
  ChatWindow chatWindow;  // CHAT2
  ChatPartnerRow chatPartnerRows[kChatPartnerRows];  // CHAT2_ss1
  Screen lobbyChatList{"SM_CHATFILL"};
  // Score card.
  StatusMapOverlay statMap;
  ScoreCard scoreCard;
  ScoreCardRegions scoreCardRegions[kScoreCardRows];  // SCORECARD1_SS1
  ScoreCardScenario scoreCardScenario[kScoreCardRows];  // SCORECARD1_SS1b
  Screen scoreCardOverviewHeader{"SCORECARD1_SS2"};
  ScoreCardOverview scoreCardOverview[kScoreCardRows];  // SCORECARD1_SS2a
  Screen scoreCardScoresHeader{"SCORECARD1_SS3"};
  ScoreCardScores scoreCardScores[kScoreCardRows];  // SCORECARD1_SS3a
  Screen scoreCardMilitaryHeader{"SCORECARD1_SS4"};
  ScoreCardMilitary scoreCardMilitary[kScoreCardRows];  // SCORECARD1_SS4a
  Screen scoreCardPollsHeader{"SCORECARD1_SS5"};
  ScoreCardPolls scoreCardPolls[kScoreCardRows];  // SCORECARD1_SS5a
  Screen scoreCardWarHeader{"SCORECARD1_SS6"};
  ScoreCardWar scoreCardWar[kScoreCardRows];  // SCORECARD1_SS6a
  Screen scoreCardTotalsLabel{"SCORECARD1_SS1c"};
  std::unique_ptr<Screen> scoreCardTotals;  // SCORECARD1_SS6b
  WaitingRoom waitingRoom;
  Tooltip tooltip;
  DipPlayerList dipPlayerList;
  UnitProgressRow militaryProgress;
  MissileProgressRow missileProgress;
  UnitProgressRowB militaryProgressB;
  UnitRow militaryUnit;
  std::unique_ptr<Screen> baseStatusFill;  // Military1_ss2c
  HexListPopupA hexListA;  // the four pop-ups of the form HEXLISTPOP
  HexProductList hexMenu;
  HexListPopupB stackList;
  HexTargetList targetPicker;
  // In-game menu, ends, start menu, set-up.
  GameMenu gameMenu;
  OptionPages optionPages;
  GameFileScreen gameFile;
  std::unique_ptr<Screen> endTurn;
  std::unique_ptr<Screen> endGamePreview;
  std::unique_ptr<Screen> endGamePreview2;
  std::unique_ptr<Screen> endGameMultiplayer;
  std::unique_ptr<Screen> electionDefeat;
  VictoryScreen victory;
  TutorialWindow tutorial;
  StartMenu startMenu;
  GameChoiceScreen gameChoice;
  Screen smPlayer1b{"SM_PLAYER1b"};
  Screen smPlayer1b1{"SM_PLAYER1b1"};
  std::unique_ptr<Screen> connect;
  std::unique_ptr<Screen> optionsMenu;
  std::unique_ptr<Screen> optionsHost;
  Screen smPlayer1f{"SM_PLAYER1f"};
  std::unique_ptr<Screen> playerProfile;
  GameLobby gameLobby;
  ScreenArray<16> lobbyRows{"SM_PLAYER2_SS1"};
  Screen smPlayer2Ss2{"SM_PLAYER2_SS2"};
  Screen smPlayer2Ss3{"SM_PLAYER2_SS3"};
  Screen smPlayer2Ss4{"SM_PLAYER2_SS4"};
  Screen smPlayer2a{"SM_PLAYER2A"};
  Screen smPlayer2b{"SM_PLAYER2B"};
  Screen smPlayer2bB{"SM_PLAYER2B"};
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
  HexAreaTable hexAreas;  // the area tags counted from the map
  int32_t selectionOrdersShown = 0;  // the orders panel is open for the selection
  int32_t selectionPanelPending = 0;
  // The combat odds weigh the selected hex, not the one under the pointer:
  // set by a click on the map while they are shown for a selection.
  int32_t mapTargetLocked = 0;
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
// Deletes the forms of the screens from `first` on and leaves them without.
void FreeScreenListForms(Screen* first);

// Empties the working lists that a stopped game leaves behind.
void ClearWorkingLists(ScreenSet& screens, int count);

// A bind body several screens share: the screen asks to be refreshed by
// every refresh walk (the window timer's), so that it follows what changes
// under it without being told.
void MarkScreenFlag1(Screen& screen);
// The OnOpen the docked sub-panels share: on a screen under 1024 pixels
// without the side screens the mail window closes first; the docked panels
// open three deep, the command bars follow the depth.
void ScreenSlotSelectMapMode(ScreenSet& screens);
// The OnOpen the map screen's side panels share: the docked panels open two
// deep, the command bars follow the depth.
void ScreenSlotResetMapMode(ScreenSet& screens);
