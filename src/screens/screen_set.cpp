#include "screens/screen_set.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "app/app_object.h"
#include "app/init_order.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/name_hex_popup.h"
#include "screens/diplomacy/areas/area_tag_panel.h"
#include "screens/diplomacy/relations/region_relations.h"
#include "screens/diplomacy/relations/surrender_confirm.h"
#include "screens/diplomacy/relations/trade_restriction.h"
#include "screens/diplomacy/relations/war_declaration.h"
#include "screens/diplomacy/reports/region_dossiers.h"
#include "screens/docked_panels.h"
#include "screens/economy/research/military_list_picker.h"
#include "screens/editor/editor_hex_units.h"
#include "screens/editor/editor_stock_units.h"
#include "screens/editor_links.h"
#include "screens/main/bars/title_bar.h"
#include "screens/main/map/map_view.h"
#include "screens/main/panels/main_panels.h"
#include "screens/main/panels/unit_panel.h"
#include "screens/main/popups/settlement_popup.h"
#include "screens/military/department/military_side_panels.h"
#include "screens/military/department/stored_units_panel.h"
#include "screens/military/department/unit_production_panel.h"
#include "screens/military/facilities/military_facility_screen.h"
#include "screens/military/operations/defcon_panel.h"
#include "screens/military/operations/force_size_panel.h"
#include "screens/military/operations/military_wages_panel.h"
#include "screens/military/operations/mission_rules_panel.h"
#include "screens/screen_hooks.h"
#include "ui/control.h"
#include "ui/form_file.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"

ScreenSet g_screens VD_INIT_SCREEN_SET;

namespace {

// The toolkit reaches the screens through its hook table from the start;
// the table is filled once the interface root exists, as that takes the
// map view.
struct ScreenHooksInstaller {
  ScreenHooksInstaller() { InstallUiScreenHooks(g_screens, g_ui); }
};
ScreenHooksInstaller g_screenHooksInstaller VD_INIT_SCREEN_HOOKS;

}  // namespace

ScreenSet::ScreenSet()
    : titleBar(MakeTitleBar()),
      mapBorder(MakeMapBorder()),
      filterBar(MakeFilterBar()),
      hexUnitListPanel(MakeEditorHexUnitListPanel()),
      stockUnitListPanel(MakeEditorStockUnitListPanel()),
      economyScreen(MakeEconomyScreen()),
      worldMarketMembers(MakeWorldMarketMembersPanel()),
      worldMarketLeave(MakeWorldMarketLeavePanel()),
      worldMarketJoin(MakeWorldMarketJoinPanel()),
      treatyDetails(MakeTreatyDetailsPanel()),
      regionRelations(MakeRegionRelationsPanel()),
      surrenderConfirm(MakeSurrenderConfirmPanel()),
      tradeRestriction(MakeTradeRestrictionPanel()),
      areaTagPanel(MakeAreaTagPanel()),
      warDeclaration(MakeWarDeclarationPanel()),
      worldMarketVote(MakeWorldMarketVotePanel()),
      regionDossier(MakeRegionDossier()),
      regionReport(MakeRegionReport()),
      regionAlliances(MakeRegionAlliances()),
      ownRegionSummary(MakeOwnRegionSummary()),
      pendingDealCancel(MakePendingDealCancel()),
      dealApproachChooser(MakeDealApproachChooser()),
      dealApproachPanel(MakeDealApproachPanel()),
      productProfitPage(MakeProductProfitPage()),
      policySidePanel(MakePolicyRegionSidePanel()),
      unitProduction(MakeUnitProductionPanel()),
      unitViewFilter(MakeUnitViewFilterPanel()),
      autoBuildFocus(MakeAutoBuildFocusPanel()),
      storedUnits(MakeStoredUnitsPanel()),
      facilityScreen(MakeMilitaryFacilityScreen()),
      baseCondition(MakeBaseConditionPanel()),
      wmdTechList(MakeWmdTechListPanel()),
      missileLoadPanel(MakeMissileLoadPanel()),
      deployAllConfirm(MakeDeployAllConfirm()),
      forceSizePanel(MakeForceSizePanel()),
      militaryWages(MakeMilitaryWagesPanel()),
      militaryListPicker(MakeMilitaryListPicker()),
      militaryCapacitySide(MakeMilitaryCapacitySidePanel()),
      militaryCostSide(MakeMilitaryCostSidePanel()),
      defconPanel(MakeDefconPanel()),
      covertFunding(MakeCovertFundingPanel()),
      intelResources(MakeIntelResourcePanel()),
      agentBio(MakeAgentBioPanel()),
      missionRules(MakeMissionRulesPanel()),
      scorchedEarth(MakeScorchedEarthPanel()),
      wmdTargeting(MakeWmdTargetingPanel()),
      operationProgressConfirm(MakeOperationProgressConfirm()),
      opsScheduleClockFill(MakeOpsScheduleClockFill()),
      wmdTargetKind(MakeWmdTargetKindPanel()),
      wmdYield(MakeWmdYieldPanel()),
      wmdTargetOwner(MakeWmdTargetOwnerPanel()),
      wmdTargetInfoFill(MakeWmdTargetInfoFill()),
      operationsSidePanel(MakeOperationsSidePanel()),
      ministerActions(MakeMinisterActionsPanel()),
      plainMap(MakePlainMapScreen()),
      siloStoredMissiles(MakeStoredMissilesPanel()),
      siloStoredMissiles2(MakeStoredMissilesPanel2()),
      siloLaunchSchedule(MakeLaunchSchedulePanel()),
      nameHex(MakeNameHexPopup()),
      settlementList(MakeSettlementPopup()),
      settlementCard(MakeSettlementInfoPanel()),
      selectionTotals(MakeOrdersScreenA()),
      orderChoice(MakeOrderChoiceBox()),
      contactOptions(MakeContactOptionsPanel()),
      moveToPanel(MakeMoveToPanel()),
      ordersUnitPicker(MakeOrdersUnitPicker()),
      ordersOdds(MakeOrdersOddsPanel()),
      unitListBuildRow(MakeUnitListBuildRow()),
      unitListProduction(MakeUnitListProductionPanel()),
      unitBenefit(MakeUnitBenefitPanel()),
      carriedUnitNotice(MakeUnitTextPanel2()),
      unitSplitConfirm(MakeUnitTextPanel3()),
      unitEngagement(MakeUnitEngagementPanel()),
      unitUpgrade(MakeUnitUpgradePanel()),
      unitRefitChoice(MakeUnitRefitChoicePanel()),
      unitChemical(MakeUnitChemicalPanel()),
      unitRecover(MakeUnitRecoverPanel()),
      unitTroops(MakeUnitTroopsPanel()),
      unitPriority(MakeUnitPriorityPanel()),
      unitHomeBase(MakeUnitHomeBasePanel()),
      unitProgress(MakeUnitProgressPanel()),
      missileBuild(MakeMissileBuildPanel()),
      missilePlatform(MakeMissilePlatformPanel()),
      missileStatus(MakeMissileStatusPanel()),
      siloTarget(MakeSiloTargetPanel()),
      siloSchedule(MakeSiloSchedulePanel()),
      depotPopup(MakeDepotPopup()),
      baseStatus(MakeBaseStatusPanel()),
      baseProgress(MakeBaseProgressPanel()),
      baseConfirm(MakeBaseConfirmPanel()),
      baseInfo(MakeBaseInfoPanel()),
      baseUpgrade(MakeBaseUpgradePanel()),
      baseClassSheet(MakeBasePopup2()),
      baseAttackSheet(MakeBasePopup3()),
      graphPopup(MakeGraphPopup()),
      techProgress(MakeTechProgressPanel()),
      scoreCardTotals(MakeScoreCardTotals()),
      baseStatusFill(MakeBaseStatusFill()),
      endTurn(MakeEndTurnPopup()),
      endGamePreview(MakeEndGamePreview()),
      endGamePreview2(MakeEndGamePreview2()),
      endGameMultiplayer(MakeEndGameMultiplayer()),
      electionDefeat(MakeElectionDefeatScreen()),
      connect(MakeConnectScreen()),
      optionsMenu(MakeOptionsMenu()),
      optionsHost(MakeOptionsHost()),
      playerProfile(MakePlayerProfile()) {
  for (ListHolder& list : workingLists) ListHolderInit(list);
  for (ScreenSetRecord& record : records) record.first = 0;
  LinkEditorScreens(*this);
  LinkUnitTabScreens(*this);
  LinkOrderScreens(*this);
  // The missile rows' template takes the last of the shared badge rows.
  missileProgress.classRow = &militarySclass[19];
  missileProgress.carrierRow = &missileSclass[19];
  techPopup.classRow = &militaryClass[15];
}

ScreenSet::~ScreenSet() {
  // The panels held through their files' factories are deleted with the set,
  // so the forms go first: left behind, they would belong to no one.
  FreeScreenListForms(Screen::AllScreens());
  ClearWorkingLists(*this, kWorkingLists);
  ClearDeferredActions(pollRing);
  TextMessageDtor(textMessages);
  g_editorScreens = EditorScreens{};
}

void DetachScreenForms(Screen* first) {
  for (Screen* s = first; s; s = s->nextScreen) {
    for (Control* form : {s->form, s->alternateForm})
      if (form) form->Unlink();
    // The host went with the tree, or goes with it now: a later attach
    // without a host must not reach back into it.
    s->host = nullptr;
  }
}

void FreeScreenListForms(Screen* first) {
  // Detached first, each form is a tree of its own; a form shown inside
  // another would otherwise go twice. The forms are gathered before any is
  // deleted, because a list box takes its rows' screens out of the list as
  // it goes.
  DetachScreenForms(first);
  std::vector<Control*> forms;
  for (Screen* s = first; s; s = s->nextScreen) {
    for (Control** slot : {&s->form, &s->alternateForm}) {
      if (*slot) forms.push_back(*slot);
      *slot = nullptr;
    }
    s->currentForm = nullptr;
  }
  std::sort(forms.begin(), forms.end());
  forms.erase(std::unique(forms.begin(), forms.end()), forms.end());
  for (Control* form : forms) delete form;
}

void LoadScreenListForms(Screen* first) {
  // A later start in the same process gives each screen fresh forms. Every
  // old form first leaves the host or frame it was shown in: a form shown
  // inside another screen's form (the score card on the result screen)
  // would otherwise be deleted with that form and then again as its own
  // screen's.
  // A named form that fails to load leaves the one loaded before in place:
  // the screen's bound controls point into it.
  DetachScreenForms(first);
  const auto reload = [](Screen* s, const char* name, Control*& slot) {
    Control* loaded = name ? LoadFormFile(name, s, nullptr, nullptr) : nullptr;
    if (name && !loaded) return;
    delete slot;
    slot = loaded;
  };
  for (Screen* s = first; s; s = s->nextScreen) {
    reload(s, s->formName, s->form);
    reload(s, s->alternateFormName, s->alternateForm);
    s->currentForm = s->form ? s->form : s->alternateForm;
    if (!s->formName || s->form) s->BindControls();
  }
}

void ClearWorkingLists(ScreenSet& screens, int count) {
  for (int i = 0; i < count && i < kWorkingLists; ++i) ListHolderClear(screens.workingLists[i]);
}

void MarkScreenFlag1(Screen& screen) { screen.refreshRequest |= kScreenRefreshAsked; }

void ScreenSlotSelectMapMode(ScreenSet& screens) {
  // Under 1024 pixels the mail window, docked beside the map, takes the room
  // the third level's panel opens into.
  const int32_t width = ClientWidth();
  if (width < 1024 && !g_uiOptions.sidescreens) ClosePopup(g_ui, screens.mailWindow);
  SetPanelDepth(3, 1, g_mapView);
  if (g_ui.panelDepth == 0) screens.cmdBar.dockedPanelMarker = 0;
  UpdatePopupButton(screens.mailBar);
}
