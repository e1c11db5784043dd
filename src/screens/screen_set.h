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
#include "screens/diplomacy/relations/agreements_panel.h"
#include "screens/diplomacy/market/aid_request_panels.h"
#include "screens/diplomacy/relations/alliances_panel.h"
#include "screens/diplomacy/areas/area_tag_panel.h"
#include "screens/diplomacy/deals/deal_item_popups.h"
#include "screens/diplomacy/deals/deal_popup.h"
#include "screens/diplomacy/deals/deal_side_pickers.h"
#include "screens/diplomacy/dip_player_list.h"
#include "screens/diplomacy/diplomacy_screen.h"
#include "screens/diplomacy/areas/hex_area.h"
#include "screens/diplomacy/mail/mail_popup.h"
#include "screens/diplomacy/mail/mail_options.h"
#include "screens/diplomacy/mail/mail_window.h"
#include "screens/diplomacy/mail/offer_mail_view.h"
#include "screens/diplomacy/reports/region_dossiers.h"
#include "screens/diplomacy/relations/region_relations.h"
#include "screens/diplomacy/relations/surrender_confirm.h"
#include "screens/diplomacy/relations/trade_restriction.h"
#include "screens/diplomacy/relations/war_declaration.h"
#include "screens/diplomacy/market/world_market_panels.h"
#include "screens/economy/cabinet/cabinet_candidates.h"
#include "screens/economy/cabinet/cabinet_priorities_panel.h"
#include "screens/economy/cabinet/cabinet_screen.h"
#include "screens/economy/economy_popups.h"
#include "screens/economy/industry/facility_list_services.h"
#include "screens/economy/policy/domestic_policy_screen.h"
#include "screens/economy/product_screen.h"
#include "screens/economy/research/military_list_picker.h"
#include "screens/economy/research/research_budget_panel.h"
#include "screens/economy/research/research_funding_panel.h"
#include "screens/economy/research/research_screen.h"
#include "screens/economy/research/tech_popup.h"
#include "screens/economy/research/tech_list_panels.h"
#include "screens/economy/status/region_stats_panels.h"
#include "screens/economy/status/status_screen.h"
#include "screens/editor/editor_class_list_panels.h"
#include "screens/editor/editor_hex_units.h"
#include "screens/editor/editor_stock_units.h"
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
#include "screens/main/popups/combat_odds_popup.h"
#include "screens/main/popups/hex_info_popup.h"
#include "screens/main/popups/hex_list_popups.h"
#include "screens/main/panels/main_panels.h"
#include "screens/main/panels/map_screen.h"
#include "screens/common/name_hex_popup.h"
#include "screens/main/popups/settlement_popup.h"
#include "screens/main/popups/upgrade_popup.h"
#include "screens/main/bars/side_bars.h"
#include "screens/main/bars/title_bar.h"
#include "screens/military/production/build_lists.h"
#include "screens/military/production/production_lists.h"
#include "screens/military/department/auto_build_panels.h"
#include "screens/military/department/base_unit_list_panel.h"
#include "screens/military/department/military_screen.h"
#include "screens/military/department/military_side_panels.h"
#include "screens/military/department/stored_units_panel.h"
#include "screens/military/department/unit_production_panel.h"
#include "screens/military/facilities/build_order_panel.h"
#include "screens/military/facilities/military_facility_screen.h"
#include "screens/military/silo/missile_silo_panels.h"
#include "screens/military/inventory/unit_class_list_panel.h"
#include "screens/military/inventory/unit_inventory_panel.h"
#include "screens/military/inventory/unit_offer_panel.h"
#include "screens/military/silo/launch_keypad.h"
#include "screens/military/operations/defcon_panel.h"
#include "screens/military/operations/force_size_panel.h"
#include "screens/military/operations/hostility_panel.h"
#include "screens/military/operations/intel_region_panels.h"
#include "screens/military/operations/intelligence_panel.h"
#include "screens/military/operations/launch_panel.h"
#include "screens/military/operations/military_wages_panel.h"
#include "screens/military/operations/mission_rules_panel.h"
#include "screens/military/operations/operations_screen.h"
#include "screens/military/operations/ops_schedule_panels.h"
#include "screens/military/operations/wmd_targeting_panels.h"
#include "screens/military/orders/mission_panels.h"
#include "screens/military/orders/order_option_panels.h"
#include "screens/military/orders/orders_lock_panels.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/military/orders/orders_summary.h"
#include "screens/military/orders/orders_training.h"
#include "screens/military/orders/schedule_popup.h"
#include "screens/military/orders/unit_command_grid.h"
#include "screens/common/units/unit_class_row.h"
#include "screens/military/units/unit_picture_panel.h"
#include "screens/military/units/unit_performance.h"
#include "screens/military/units/unit_popups.h"
#include "screens/military/units/unit_progress_row.h"
#include "screens/military/units/unit_progress_row_b.h"
#include "screens/military/units/unit_row.h"
#include "screens/common/units/unit_sheets.h"
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
// form; its class replaces it in place.
struct ScreenSet {
  ScreenSet();
  ~ScreenSet();
  ScreenSet(const ScreenSet&) = delete;
  ScreenSet& operator=(const ScreenSet&) = delete;

  // Frame bars.
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
  // The slot under the side panels' box: the mailbox hangs in this frame
  // (the fourth slot is empty, below the screen).
  SideFrameBar sideBar3{"SIDEBAR3", 2};
  BottomBar botBar1{"BOTBAR1", 1};
  BottomBar botBar2{"BOTBAR2", 2};
  BottomBar botBar3{"BOTBAR2", 3};
  // Map editor.
  MapEditorB mapEditorB;
  MapEditorBSs00 mapEditorBSs00;
  ScreenArray<2, MapEditorMap1> mapEditorMap1{"MAPEDITOR_MAP1"};
  ScreenArray<2, MapEditorScn1> mapEditorScn1{"MAPEDITOR_SCN1"};
  ScreenArray<2, MapEditorMenu> mapEditorMenu{"MAPEDITOR_MENU"};
  ScreenArray<2, MapEditorFiles> mapEditorFiles{"MAPEDITOR_FILES"};
  TerrainPaintPanel mapEditorBSs0;
  TerrainTypePanel mapEditorBSs1;
  FacilityPaintPanel mapEditorBSs3;
  FacilityTypePanel mapEditorBSs4;
  EditorUnitToolPanel mapEditorBSs6;
  EditorEquipmentListPanel mapEditorBSs6a;
  EditorHexUnitListPanel mapEditorBSs6b;
  EditorStockClassListPanel mapEditorBSs6d;
  EditorStockUnitListPanel mapEditorBSs6e;
  EditorTechPanel mapEditorBSs7;
  MapSetupDialog mapEditorPopup1;
  ScenarioSetupDialog mapEditorPopup2;
  TerrainChartPanel mapEditorTchart;
  AttributesPanel mapEditorAttrib;
  IndustryPanel mapEditorInd;
  CostsPanel mapEditorCost;
  PlayerVariablesPanel mapEditorSs2;
  Screen popupMilitary1a14{"POPUP_MILITARY1A14"};
  EditorUnitAttributesPanel mapEditorBSs6c;
  // Economy.
  EconomyScreen economy1;
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
  DiplomacyScreen diplomacy1;
  DiplomacyAidPanel diplomacy1Ss1;
  WorldMarketMembersPanel diplomacy1Ss1a;
  WorldMarketLeavePanel diplomacy1Ss1b;
  WorldMarketJoinPanel diplomacy1Ss1c;
  TreatyDetailsPanel diplomacy1Ss1d;
  RegionRelationsPanel diplomacy1Ss2;
  AlliancesPanel diplomacy1Ss2a;
  SurrenderConfirmPanel diplomacy1Ss2a1;
  AgreementsPanel diplomacy1Ss2c;
  TradeRestrictionPanel diplomacy1Ss3;
  AreaTagPanel diplomacy1Ss4;
  WarDeclarationPanel diplomacy1Ss2b;
  EconomicAidRequestPanel diplomacy1Ss11;
  MilitaryAidRequestPanel diplomacy1Ss12;
  WorldMarketVotePanel diplomacy1Ss13;
  RegionDossier diplomacy2a;
  RegionReport diplomacy2aSs1;
  RegionAlliances diplomacy3;
  OwnRegionSummary diplomacy2b;
  ScreenArray<4, SchedulePopup> diplomacyCalendar1{"CALENDAR1"};
  ScreenArray<4, ScheduleModePanel> diplomacyCalendar1a{"CALENDAR1a"};
  ScreenArray<4, ScheduleTimePanel> diplomacyCalendar1b{"CALENDAR1b"};
  DealPopup popupDiplomacy;
  DealEditor popupDiplomacySs1;
  ScreenArray<2, DealItemInfo> popupDiplomacySs1a{"POPUP_DIPLOMACY_SS1a"};
  ScreenArray<2, DealAmountPicker> popupDiplomacySs1b{"POPUP_DIPLOMACY_SS1b"};
  ScreenArray<2, DealRegionPicker> popupDiplomacySs1c{"POPUP_DIPLOMACY_SS1c"};
  ScreenArray<2> popupDiplomacySs1d{"POPUP_DIPLOMACY_SS1d"};
  ScreenArray<2, DealUnitPicker> popupDiplomacySs1e{"POPUP_DIPLOMACY_SS1e"};
  ScreenArray<2, DealDiscoveryInfo> popupDiplomacySs1f{"POPUP_DIPLOMACY_SS1f"};
  ScreenArray<2, DealAreaPicker> popupDiplomacySs1g{"POPUP_DIPLOMACY_SS1g"};
  PendingDealsPanel popupDiplomacySs2;
  PendingDealCancel popupDiplomacySs2a;
  DealApproachChooser popupDiplomacySs3;
  DealApproachPanel popupDiplomacySs4;
  // Production.
  Product1 product1;
  ScreenArray<55> productGraphs{"PRODUCT_GRAPH"};  // four more hang in the hex columns' industry panels
  Screen product1Ss1a{"PRODUCT1_SS1a"};
  Screen product1Ss2a{"PRODUCT1_SS2a"};
  Screen product1Ss2c{"PRODUCT1_SS2c"};
  Screen product1Ss2d1{"PRODUCT1_SS2d1"};
  Screen product1Ss2d2{"PRODUCT1_SS2d2"};
  Screen product1Ss3{"Product1_ss3"};
  Screen product1Ss3a2{"PRODUCT1_SS3a2"};
  Screen product1Ss4{"PRODUCT1_SS4"};
  ProductProfitPage product1Ss4a;
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
  StatusScreen status1;  // with its pages
  RegionSummarySidePanel status2;
  // Domestic policy.
  DomesticPolicyScreen domPolicy1;  // with its panels and button bar
  PolicyRegionSidePanel domPolicy2;
  // Military.
  ScreenArray<19, UnitPicturePanel> military1Ss4a1{"MILITARY1_ss4a1"};
  ScreenArray<32, UnitClassRow> militarySclass{"MILITARY_SCLASS"};
  ScreenArray<18, UnitClassRow> militaryClass{"MILITARY_CLASS"};
  ScreenArray<20, MissileClassRow> missileSclass{"MISSILE_SCLASS"};
  ScreenArray<2, MissileClassRow> missileClass{"MISSILE_CLASS"};
  MilitaryScreen military1;
  UnitProductionPanel military1Ss1;
  UnitViewFilterPanel military1Ss1a;
  AutoBuildFocusPanel military1Ss1b;
  ScreenArray<2, AutoBuildStatusPanel> military1Ss1b1{"MILITARY1_ss1b1"};
  BaseUnitListPanel military1Ss1c;
  StoredUnitsPanel military1Ss1a2;
  MilitaryFacilityScreen military1Ss2;
  BuildOrderPanel military1Ss2a;
  BaseConditionPanel military1Ss2b;
  ResearchFundingPanel military1Ss03;
  ResearchBudgetPanel military1Ss3;
  ResearchBudgetPanel popupRdSs1{false, "POPUP_RD_SS1"};
  TechListPanel military1Ss3a;
  TechDetailPanel military1Ss3b;
  WmdTechListPanel military1Ss3c;
  UnitInventoryPanel military1Ss4;
  ScreenArray<4, UnitOfferPanel> military1Ss4a2{"MILITARY1_ss4a2"};
  ScreenArray<4, UnitOfferPanel> military1Ss4a3{"MILITARY1_ss4a3"};
  ScreenArray<4, UnitOfferConfirm> military1Ss4a4{"MILITARY1_ss4a4"};
  UnitClassListPanel military1Ss4a;
  MissileSiloPanel military1Ss4b;
  MissileLoadPanel military1Ss4c;
  DeployAllConfirm military1Ss4d;
  ForceSizePanel military1Ss5;
  MilitaryWagesPanel military1Ss6;
  MilitaryListPicker military1Ss7;
  MilitaryCabinetLink military1b;
  MilitaryCapacitySidePanel military2;
  MilitaryCostSidePanel military3;
  // Operations.
  OperationsScreen ops1;
  DefconPanel ops1Ss1;
  IntelligencePanel ops1Ss2;
  CovertFundingPanel ops1Ss2a;
  IntelResourcePanel ops1Ss2b;
  AgentBioPanel ops1Ss2c;
  IntelBudgetPanel ops1Ss2d;
  MissionRulesPanel ops1Ss3;
  ScorchedEarthPanel ops1Ss3c1;
  WmdTargetingPanel ops1Ss4;
  HostilityPanel ops1Ss4a;
  HostilityConfirmBox ops1Ss4a1;
  HostilityConfirmBox3 ops1Ss4a3;
  HostilityConfirmBox4 ops1Ss4a4;
  OperationProgressConfirm ops1Ss4a5;
  LaunchPanel ops1Ss4b;
  OpsScheduleListPanel ops1Ss4c;
  OpsScheduleClockFill ops1Ss4cfill;
  WmdTargetListPanel ops1Ss4d;
  WmdTargetKindPanel ops1Ss4d1;
  WmdYieldPanel ops1Ss4d1a;
  WmdTargetOwnerPanel ops1Ss4d2;
  WmdTargetInfoFill ops1Ss4dfill;
  OperationsSidePanel ops2;
  ScreenArray<4, SchedulePopup> opsCalendar1{"CALENDAR1"};
  ScreenArray<4, ScheduleModePanel> opsCalendar1a{"CALENDAR1a"};
  ScreenArray<4, ScheduleTimePanel> opsCalendar1b{"CALENDAR1b"};
  // Cabinet.
  CabinetPager cabinet;
  ScreenArray<12, CabinetGridPanel> cabinetSs1{"CABINET_ss1"};
  ScreenArray<37, CabinetScreen> cabinet1{"CABINET1"};
  CabinetPrioritiesPanel cabinet1Ss1;
  PriorityPickerPanel cabinet1Ss1a;
  MinisterActionsPanel cabinet1Ss1b;
  CandidateBioScreen cabinetBio;
  // Map screen.
  PlainMapScreen plainMap;
  MapScreen map1;  // with its side panels
  UpgradePopup upgradePopup;  // with its two panels
  NameHexPopup nameHex;
  SettlementPopup settlementList;
  SettlementInfoPanel settlementCard;
  // Orders.
  OrdersScreen orders1;
  OrdersScreenA orders1a;
  OrdersScreenB orders1b{orderSheets[0]};
  OrdersUnitSummary orderSheets[2];  // the third is the unit panel's
  UnitOrdersPanel orders1Ss3;
  MissionPanel orders1Ss3a;
  TargetTacticPanel orders1Ss3a1;
  ObjectiveChoiceBoxA orders1Ss3a1a;
  ObjectiveChoiceBoxB orders1Ss3a1b;
  ObjectiveChoiceBoxC orders1Ss3a1c;
  OrderChoiceBox orders1Ss3a2;
  ContactOptionsPanel orders1Ss3b;
  MovementOptionsPanel orders1Ss3c;
  OrdersUnitListPanel orders1Ss3d;
  MissileStrikePanel orders1Ss3e;
  OrderBenefitBox orders1Ss4;
  OrdersLockPanel orders1Ss5;
  OrdersLockSubPanel orders1Ss5a;
  MoveToPanel orders1Ss5c;
  OrdersUnitPicker orders1Ss6;
  OrdersOddsPanel orders1Ss6a;
  // Unit pop-ups.
  UnitListPopup unitList;
  UnitListRow popupUlist1a;
  UnitListBuildRow popupUlist1b;
  UnitListOrdersPanel popupUlist1c;
  UnitListProductionPanel popupUlist1d;
  UnitDetailPopup unitDetail;
  UnitCommandPanel popupMilitary1a;
  UnitBenefitPanel popupMilitary1a1;
  UnitTextPanel2 popupMilitary1a2;
  UnitTextPanel3 popupMilitary1a3;
  UnitEngagementPanel popupMilitary1a4;
  UnitRefitPanel popupMilitary1a6;
  UnitUpgradePanel popupMilitary1a5;
  UnitRefitChoicePanel popupMilitary1a6b;
  UnitChemicalPanel popupMilitary1a6c;
  UnitCargoPanel popupMilitary1a6a;
  UnitRecoverPanel popupMilitary1a7;
  UnitTransferPanel popupMilitary1a8;
  UnitDetailPanel popupMilitary1a9{"POPUP_MILITARY1A9"};
  ScreenArray<3, CargoPanel> popupMilitary1a9a{"POPUP_MILITARY1A9a"};
  UnitClassSheetPanel popupMilitary1a10;
  UnitTroopsPanel popupMilitary1a12;
  UnitCargoLoadPanel popupMilitary1a13;
  UnitPriorityPanel popupMilitary1b;
  UnitHomeBasePanel popupMilitary1c;
  UnitClassStatsPopup popupMilitary3;
  UnitStrengthPanel popupMilitary3a{"POPUP_MILITARY3A"};
  UnitProgressPanel popupMilitary3b;
  UnitExtraFill popupMilitary3c{"POPUP_MILITARY3C"};
  UnitExtraFill popupMilitary3c2{"POPUP_MILITARY3C2"};
  UnitBuildPopup popupMilitary2;
  UnitBuildSitePanel popupMilitary2a;
  UnitBuildFilterPanel popupMilitary2b;
  ScreenArray<2, UnitResearchPanel> popupMilitary2d{"POPUP_MILITARY2d"};
  MissilePopup popupMissile;
  ScreenArray<3, MissileStockPanelA> popupMissile1a{"POPUP_MISSILE1a"};
  ScreenArray<2, MissileClassPanel> popupMissileSs1{"POPUP_MISSILE_SS1"};
  ScreenArray<2, UnitClassStatsPopup> popupMissileSs2{"POPUP_MISSILE_SS2"};
  MissileBuildPanel popupMissileSs3;
  ScreenArray<4, MissileBaseStatusPanel> popupMissileSs3d{"POPUP_MISSILE_SS3d"};
  MissilePopupB popupMissileB;
  MissileCancelPanel popupMissileSs3a;
  MissileDeployPanel popupMissileSs3b;
  MissilePlatformPanel popupMissileSs3c;
  MissileStatusPanel popupMissileSs3e;
  MissileStockPopup missiles;
  WmdFilterPanel popupMissile1f;
  MissileSelectPanel popupMissile1h;
  SiloPopup siloPopup;
  SiloMissilePanel popupSilo1g;
  SiloTargetPanel popupSilo1g1;
  SiloSchedulePanel popupSilo1g2;
  LaunchSitePopup launchSitePopup;
  DepotPopup depotPopup;
  BasePopup basePopup;
  BaseStatusPanel popupBase1a;
  BaseProgressPanel popupBase1b;
  BaseActionsPanel popupBase1e;
  BaseConfirmPanel popupBase1c;
  BaseInfoPanel popupBase1d;
  BaseUpgradePanel popupBase1a1;
  BaseBuildListPanel popupBase1f;
  BasePopup2 popupBase2;
  BasePopup3 popupBase3;
  LaunchKeypad popupKeypad;
  // Help.
  HelpPopup help;
  Screen popupHelp1Ss1{"POPUP_HELP1_SS1"};
  ScreenArray<6> popupHelp1Ss1a{"POPUP_HELP1_SS1a"};
  Screen popupHelp1Ss2{"POPUP_HELP1_SS2"};
  Screen popupHelp1Ss3{"POPUP_HELP1_SS3"};
  // The hex pop-ups.
  HexInfoPopup map2;  // with its columns' panels
  CombatOddsPopup map3;
  GraphPopup graph1;
  Screen disabled{"DISABLED"};
  ResearchScreen research;
  TechPopup popupTech;
  TechProgressPanel popupTechSs1;
  IndustryPopup industry;
  FacilityTypeInfoFill popupIndustryfill{"POPUP_INDUSTRYFILL"};
  FacilityTypeInfoFill product1Ss7fill{"Product1_ss7fill"};
  // Mail.
  MailWindow email1;
  MailList email1a;
  MailListRow email1aFill;
  MailOptions email1b;
  MailPopup emailPopup;
  OfferMailView popupEmail1a1;
  MailPopupPanel popupEmail1b;
  MailAddressPicker popupEmail2;
  MailSenderPanel popupEmail3;
  // Chat.
  ChatMapOverlay chatMap;
  ChatEntry chat;
  ChatWindow chat2;
  ChatPartnerRow chat2Ss1[kChatPartnerRows];
  Screen smChatfill{"SM_CHATFILL"};
  // Score card.
  StatusMapOverlay statMap;
  ScoreCard scoreCard;
  ScoreCardRegions scoreCard1Ss1[kScoreCardRows];
  ScoreCardScenario scoreCard1Ss1b[kScoreCardRows];
  Screen scoreCard1Ss2{"SCORECARD1_SS2"};
  ScoreCardOverview scoreCard1Ss2a[kScoreCardRows];
  Screen scoreCard1Ss3{"SCORECARD1_SS3"};
  ScoreCardScores scoreCard1Ss3a[kScoreCardRows];
  Screen scoreCard1Ss4{"SCORECARD1_SS4"};
  ScoreCardMilitary scoreCard1Ss4a[kScoreCardRows];
  Screen scoreCard1Ss5{"SCORECARD1_SS5"};
  ScoreCardPolls scoreCard1Ss5a[kScoreCardRows];
  Screen scoreCard1Ss6{"SCORECARD1_SS6"};
  ScoreCardWar scoreCard1Ss6a[kScoreCardRows];
  Screen scoreCard1Ss1c{"SCORECARD1_SS1c"};
  ScoreCardTotals scoreCard1Ss6b;
  WaitingRoom waitingRoom;
  Tooltip tooltip;
  DipPlayerList dipPlayerList;
  UnitProgressRow militaryProgress;
  MissileProgressRow missileProgress;
  UnitProgressRowB militaryProgressB;
  UnitRow militaryUnit;
  BaseStatusFill military1Ss2c;
  HexListPopupA hexListA;  // the four pop-ups of the form HEXLISTPOP
  HexProductList hexMenu;
  HexListPopupB stackList;
  HexTargetList targetPicker;
  // In-game menu, ends, start menu, set-up.
  GameMenu gameMenu;
  OptionPages optionPages;
  GameFileScreen gameFile;
  EndTurnPopup endTurn;
  EndGamePreview endGamePreview;
  EndGamePreview2 endGamePreview2;
  EndGameMultiplayer endGameMultiplayer;
  ElectionDefeatScreen electionDefeat;
  VictoryScreen victory;
  TutorialWindow tutorial;
  StartMenu startMenu;
  GameChoiceScreen gameChoice;
  Screen smPlayer1b{"SM_PLAYER1b"};
  Screen smPlayer1b1{"SM_PLAYER1b1"};
  ConnectScreen connect;
  OptionsMenu optionsMenu;
  OptionsHost optionsHost;
  Screen smPlayer1f{"SM_PLAYER1f"};
  PlayerProfile playerProfile;
  GameLobby gameLobby;
  ScreenArray<16> smPlayer2Ss1{"SM_PLAYER2_SS1"};
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
