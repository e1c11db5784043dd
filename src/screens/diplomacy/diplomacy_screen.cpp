#include "screens/diplomacy/diplomacy_screen.h"

#include "net/command_network.h"
#include "screens/diplomacy/mail/contact_masks.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_selection.h"
#include "records/player_kinds.h"
#include "screens/screen_set.h"
#include "sim/daily/elimination.h"
#include "sim/mail_ui_link.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/list_refill.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/player_list_rows.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "world/local_player.h"
#include "world/world.h"

namespace {

// The rows hosted by a list: player 0's row carries this id.
constexpr int32_t kPlayerZeroRowId = 100;
// Allied, neutral and enemy regions: every region but the local one.
constexpr uint32_t kOtherRegions = 14;

uint32_t PackedCapital(const PlayerRecord& r) {
  const CapitalPosition at = CapitalHex(r.simPolicy);
  return static_cast<uint16_t>(at.x) | static_cast<uint32_t>(static_cast<uint16_t>(at.y)) << 16;
}

// The contact mask a box stands for, or null.
uint32_t* MaskOfBox(const Control* c) {
  ContactMasks& m = g_contactMasks;
  if (Is(c, "CHAT")) return &m.chat;
  if (Is(c, "VOICE")) return &m.voice;
  if (Is(c, "MUTE")) return &m.mute;
  if (Is(c, "MAIL")) return &m.mail;
  return nullptr;
}

void ShowRegion(int32_t region) {
  DiplomacyScreen& d = g_screens.diplomacyScreen;
  if (RegionOfRowId(region) == 0) return;
  // The department first, with its list filled, when it is not docked.
  if ((!d.currentForm || !d.currentForm->parent) && g_ui.mapView) ShowMainPanel(kDiplomacyDepartment, 0, g_screens);
  if (!d.regionList) return;
  if (d.regionList->rowCount == 0) d.Refresh();
  ListSetSelection(0, d.regionList, region, 0);
  d.DiplomacyOnClick(d.regionList, region);
}

}  // namespace

int32_t RegionOfRowId(int32_t rowId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t region = rowId % kPlayerZeroRowId;
  const int32_t highest = g_world.gameState.highestPlayer;
  return rowId > 0 && region >= 1 && region <= highest && region < kMaxPlayers ? region : 0;
}

void InstallDiplomacyMailHook() {
  g_mailUi.showRegionInDiplomacyPanel = ShowRegion;
  // "View sender" and the answers about a region named in the mail: the
  // department with the region's row picked shows what the player knows of it.
  g_mailUi.openRegionPopup = ShowRegion;
  // An answer that opens a department opens it as its command-bar button does.
  g_mailUi.openSidePanel = [](int32_t panel) {
    if (g_ui.mapView) ShowMainPanel(panel, 0, g_screens);
  };
  g_mailUi.centreMapOnHex = [](uint32_t packed) {
    GotoHexPacked(packed);
    if (g_ui.mapView) CentreMapOnHex(*g_ui.mapView, packed);
  };
}

int32_t DiplomacyScreen::AttachForm(Control*) {
  id = OpenChildPopup(*this, kDiplomacyDepartment);
  return 0;
}

namespace {

// The buttons that act on any region picked in the list.
constexpr const char* kRegionButtons[] = {"NEGOTBUT", "CENTRE"};

// Mail and the contact boxes reach a person: they show for another
// human-led region only, and only where a letter can be sent at all, so the
// compose window they open always has its Send button.
bool Reachable(int32_t region) {
  if (region == 0 || !IsNetworkGame(g_commandNet)) return false;
  plat::CriticalSectionLock lock(g_simulationLock);
  return g_world.players[region].kind == kKindHuman && region != g_world.gameState.localPlayer;
}

}  // namespace

void DiplomacyScreen::ShowRegionButtons(int32_t region) {
  for (const char* tag : kRegionButtons) SetHidden(Tag(*this, tag), region == 0);
  const bool person = Reachable(region);
  SetHidden(Tag(*this, "HIDEBOX"), !person);
  SetHidden(Tag(*this, "NEWMAIL"), !person);
}

void DiplomacyScreen::BindControls() {
  g_panelFlags[kDiplomacyDepartment] |= kPanelFlagMarked;
  regionList = MakeListBox("LIST1", 0, currentForm, kListIndicators, this);
}

void DiplomacyScreen::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  selectedRegion = 0;
  if (regionList) {
    ListDeselectAll(regionList);
    ListResetScroll(regionList);
  }
  SetHidden(Tag(*this, "WMBUT"), g_world.players[0].kind == kKindEmpty);
}

void DiplomacyScreen::Refresh() {
  if (!regionList) return;
  const ListPlace place = ClearKeepingPlace(regionList);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    PlayerListOptions options;
    options.relationMask = kOtherRegions;
    options.copy = 0;
    // Player 0's row would carry id 100, which no region panel can take.
    options.playerMask = ~1u;
    options.pictureRows = true;
    options.includeKind3 = true;
    options.rowScreen = &g_screens.dipPlayerList;
    if (const PlayerRecord* local = LocalPlayer(g_world)) FillPlayerListRow(g_world, *local, regionList, options);
  }
  RestoreSelectedId(regionList, place);
  // With no region picked there is no one to negotiate with or centre on;
  // the kind of the region picked may have changed since it was picked.
  ShowRegionButtons(RegionOfRowId(regionList->selectedId));
  if (regionList->selectedId != 0) return;
  ScreenSet& s = g_screens;
  Control* level2 = g_ui.bottomBoxes[2];
  if (g_ui.panelDepth > 1 && level2 && s.regionRelations->currentForm &&
      level2->firstChild == s.regionRelations->currentForm) {
    PopPopupsTo(g_ui, 1);
  }
  ReopenScreen(*s.ownRegionSummary);
  s.regionAlliances->id = 0;
  ReopenScreen(*s.regionAlliances);
}

void DiplomacyScreen::Deselect() {
  if (!regionList) return;
  const bool had = regionList->selectedId != 0;
  ListDeselectAll(regionList);
  if (had) OnControlChange(regionList, 0);
}

void DiplomacyScreen::DiplomacyOnClick(Control* control, int32_t clickId) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!control) return;
  ScreenSet& s = g_screens;
  // A toggle just switched off closes the panels; the list is no toggle.
  if (control != regionList && (control->flags & kCtlRadio) && !(control->state & kStateSelected)) {
    PopPopupsTo(g_ui, 1);
    return;
  }
  const int32_t picked = regionList ? regionList->selectedId : 0;
  if (Is(control, "WMBUT")) {
    Deselect();
    selectedRegion = 0;
    s.diplomacyAidPanel.Show(kKeepScreenId, nullptr);
    Refresh();
  } else if (Is(control, "LANDBUT")) {
    Deselect();
    selectedRegion = 0;
    s.areaTagPanel->Show(kKeepScreenId, nullptr);
    Refresh();
  } else if (Is(control, "SCORECARD")) {
    ScoreCardActivate(s.scoreCard, kKeepScreenId, nullptr);
  } else if (Is(control, "CABINET")) {
    if (regionList) ListSetSelection(0, regionList, 0, 0);
    selectedRegion = 0;
    s.cabinetPriorities.Show(2, nullptr);
    Refresh();
  } else if (Is(control, "NEGOTBUT")) {
    // Negotiate opens talks with the picked region, as the region's own
    // panel does.
    if (RegionOfRowId(picked) != 0) s.dealPopup.Popup(RegionOfRowId(picked), nullptr);
  } else if (Is(control, "CENTRE")) {
    if (RegionOfRowId(picked) == 0) return;
    uint32_t packed = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      packed = PackedCapital(g_world.players[RegionOfRowId(picked)]);
    }
    GotoHexPacked(packed);
    if (g_ui.mapView) CentreMapOnHex(*g_ui.mapView, packed);
  } else if (control == regionList || Is(control, "LIST1")) {
    // Only a region from 1 to the highest player may reach its panels.
    const int32_t region = RegionOfRowId(clickId);
    if (region == 0) return;
    if (selectedRegion == 0) PopPopupsTo(g_ui, 1);
    s.regionRelations->Show(region, nullptr);
    for (Screen* panel : {static_cast<Screen*>(&s.alliancesPanel), static_cast<Screen*>(&s.agreementsPanel),
                          static_cast<Screen*>(s.warDeclaration.get()), static_cast<Screen*>(s.tradeRestriction.get())}) {
      panel->id = region;
      panel->Refresh();
    }
    selectedRegion = region;
    SetControlFlag(Tag(*this, "FAKE"), kStateSelected, 1);
  } else if (uint32_t* mask = MaskOfBox(control)) {
    // A local setting: changed in place, never through a command.
    if (RegionOfRowId(picked) != 0) SetContactBit(*mask, RegionOfRowId(picked), control->state & kStateSelected);
  } else if (Is(control, "NEWMAIL")) {
    if (!Reachable(RegionOfRowId(picked))) return;
    s.emailPopup.Popup(0, nullptr);
    s.emailPopup.Compose(g_world, ContactBit(RegionOfRowId(picked)));
  }
}

void DiplomacyScreen::OnActivate(Control* control, int32_t rowId) {
  if (control != regionList) return;
  const int32_t region = RegionOfRowId(rowId);
  if (region != 0) g_screens.dealPopup.Popup(region, nullptr);
}

void DiplomacyScreen::OnControlChange(Control* control, int32_t rowId) {
  ScreenSet& s = g_screens;
  if (control && control == regionList) {
    const int32_t region = RegionOfRowId(rowId);
    ShowRegionButtons(region);
    if (region == 0) return;
    if (selectedRegion == 0) {
      s.regionDossier->id = region;
      ReopenScreen(*s.regionDossier);
      s.regionAlliances->id = region;
      s.regionAlliances->AttachForm(nullptr);
      s.regionAlliances->OnOpen();
    } else {
      s.regionDossier->id = region;
      s.regionDossier->Refresh();
      s.regionAlliances->id = region;
    }
    s.regionAlliances->Refresh();
    s.regionReport->id = region;
    s.regionReport->Refresh();
    const uint32_t bit = ContactBit(region);
    const ContactMasks& m = g_contactMasks;
    SetControlFlag(Tag(*this, "CHAT"), kStateSelected, (m.chat & bit) != 0);
    SetControlFlag(Tag(*this, "VOICE"), kStateSelected, (m.voice & bit) != 0);
    SetControlFlag(Tag(*this, "MUTE"), kStateSelected, (m.mute & bit) != 0);
    SetControlFlag(Tag(*this, "MAIL"), kStateSelected, (m.mail & bit) != 0);
  } else if (Is(control, "LANDBUT") || !control) {
    if ((!control || !(control->state & kStateSelected)) && HasMapSelection(s)) ClearMapSelection(s);
  }
}
