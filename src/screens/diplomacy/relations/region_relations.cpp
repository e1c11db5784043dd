#include "screens/diplomacy/relations/region_relations.h"

#include <cstdio>

#include "platform/fpenv.h"
#include "records/command_ids.h"
#include "records/player_kinds.h"
#include "records/player_record.h"
#include "records/player_relations.h"
#include "screens/diplomacy/mail/contact_masks.h"
#include "screens/diplomacy/deals/deal_popup.h"
#include "screens/diplomacy/dip_docking.h"
#include "screens/common/region_row.h"
#include "screens/docked_panels.h"
#include "screens/common/region_stats.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "screens/diplomacy/relations/region_heading.h"
#include "sim/game_command.h"
#include "sim/policy_block_fields.h"
#include "sim/region_names.h"
#include "sim/relation_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/player_names.h"
#include "world/text/policy_fields.h"
#include "world/text/text_lists.h"
#include "world/world.h"

void (*g_openOfferInDealEditor)(const char* text, bool swap) = OpenOfferTextInDealEditor;

namespace {

// Bit 31 of the first word of a region's entry: we stay out of its wars.
constexpr uint32_t kNeutralityBit = 0x80000000u;
constexpr int32_t kEnemyClass = 3;
constexpr int32_t kNeutralClass = 2;

bool OutOfPlay(int32_t kind) { return kind == kKindEmpty || kind == kKindOut; }

uint32_t Bit(int32_t player) { return player >= 0 && player < kMaxPlayers ? 1u << player : 0u; }

uint32_t Ticked(const Control* c) { return c && (c->state & kStateSelected) ? 1u : 0u; }

}  // namespace

int32_t StepToShownRegion(const World& world, int32_t id) {
  int32_t highest = world.gameState.highestPlayer;
  if (highest >= kMaxPlayers) highest = kMaxPlayers - 1;
  const int32_t local = world.gameState.localPlayer;
  int32_t tries = 0;
  while (tries < highest) {
    if (id > highest) id = 1;
    if (id < 1) id = highest;
    if (!OutOfPlay(world.players[id].kind) && id != local) break;
    ++tries;
    ++id;
  }
  return tries >= highest ? 0 : id;
}

std::string AgreementOfferText(int32_t from, int32_t to, int32_t kind, int32_t value) {
  char text[256];
  std::snprintf(text, sizeof text,
                "DIPOFFER\n%d,%d,0,3,0,0,0,0,0\nITEMSOFFER\n%d,%d\n-1\n-1\n-1\n-1\n-1\n-1\nITEMSREQUEST\n%d,%d\n"
                "-1\n-1\n-1\n-1\n-1\n-1\n\n",
                from, to, kind, value, kind, value);
  return text;
}

void OpenAgreementOffer(int32_t region, int32_t kind, int32_t value) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t local = LocalPlayerIndex(g_world);
  if (local < 0) return;
  const std::string text = AgreementOfferText(region, local, kind, value);
  if (g_openOfferInDealEditor) g_openOfferInDealEditor(text.c_str(), false);
}

namespace {

class RegionRelationsPanel : public Screen {
 public:
  RegionRelationsPanel() : Screen("DIPLOMACY1_SS2", FormLookups{.tags = kRegionRelationsTags, .ids = {}}) {}
  // Steps to a region that can be shown and docks the panel at level 2.
  void OnOpen() override {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      id = StepToShownRegion(g_world, static_cast<int32_t>(id));
    }
    // Opened at level 2 unless deeper panels already stand.
    if (g_ui.panelDepth < 2) DockPanelAtDepth(2);
    else UpdatePopupButton(g_screens.mailBar);
  }
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (!currentForm) return;
    bool outOfPlay = false;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      outOfPlay = OutOfPlay(g_world.players[HeadingRegion(id)].kind);
    }
    // A region that left the game gives way to the next one in play.
    if (outOfPlay) OnOpen();
    const int32_t region = HeadingRegion(id);
    if (LocalPlayerIndex(g_world) < 0) return;
    const uint32_t bit = Bit(region);
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const PlayerRecord& r = g_world.players[region];
      const PlayerRecord& local = *LocalPlayer(g_world);
      const PlayerPolicyBlock& mine = local.displayPolicy;
      SetControlText(Tag(*this, "REGION"), RegionDisplayName(g_world, region));
      const int32_t relation = RelationClass(local, region);
      Control* status = Tag(*this, "STATUS");
      Press(status, relation == kEnemyClass);
      SetControlText(status, TextListText(kListDiprel, relation));
      SetControlText(Tag(*this, "GOVTYPE2"), TextListText(kListGovtype, r.govtype));
      SetControlText(Tag(*this, "LEADER2"), GetPlayerDisplayName(g_world, r));
      SetPercent(Tag(*this, "DOMAPR"), "%3.0f %%", r.approval);
      SetPercent(Tag(*this, "MILAPR"), "%3.0f %%", r.secondRating);
      SetFigure(Tag(*this, "REGPOP"), r.population);
      SetFigure(Tag(*this, "REGLAND"), static_cast<double>(RegionLand(g_world, r)));
      SetMoney(Tag(*this, "REGGDP"), r.gdpPerCapita);
      SetMoney(Tag(*this, "REGTREASURE"), r.treasury);
      SetMoney(Tag(*this, "REGDEBT"), static_cast<double>(r.debtKind0 + r.debtKind1 + r.debtKind2));
      FillRegionRow(Tag(*this, "FLAG"), "", region);

      for (const char* tag : {"CFPARENT", "NWPARENT", "OFFERP"}) SetHidden(Tag(*this, tag), true);
      SetHidden(Tag(*this, "WAR"), false);
      const bool ceasefire = (PairMask1(mine) & bit) != 0;
      bool ceasefireStep = false;
      if (relation == kEnemyClass) {
        Press(status, true);
        SetHidden(Tag(*this, "WAR"), true);
        SetHidden(Tag(*this, "OFFERP"), false);
        ceasefireStep = true;
      } else if (relation == kNeutralClass) {
        ceasefireStep = ceasefire;
        if (!ceasefire) {
          SetHidden(Tag(*this, "NWPARENT"), false);
          Press(Tag(*this, "NEUTWAR"), (RoeRegionFlag(mine.regionPolicy[region]) & kNeutralityBit) != 0);
        }
      }
      if (ceasefireStep) {
        // The ceasefire toggle shares its place with the neutrality one.
        SetHidden(Tag(*this, "CFPARENT"), false);
        Press(Tag(*this, "CEASEFIRE"), ceasefire);
        SetHidden(Tag(*this, "CEASEGRID"), (TreatyMask(mine, 3) & bit) == 0);
      }
      Press(Tag(*this, "PATH"), (PairMask2(mine) & bit) != 0);
    }
    Press(Tag(*this, "CHAT"), (g_contactMasks.chat & bit) != 0);
    Press(Tag(*this, "DIPOFFER"), (g_contactMasks.offers & bit) != 0);
  }
  void BindControls() override {
    DockInBotbar2(*this);
    StyleOverlay(Tag(*this, "CEASEGRID"));
  }
  void OnCommand(Control* control, int32_t) override {
    if (!control) return;
    // A toggle just switched off closes the deeper panels.
    if ((control->flags & kCtlRadio) && !(control->state & kStateSelected)) {
      PopPopupsTo(g_ui, 2);
      return;
    }
    ScreenSet& s = g_screens;
    const int32_t region = HeadingRegion(id);
    const uint32_t ticked = Ticked(control);
    if (Is(control, "NEGOTBUT")) {
      s.dealPopup.Popup(region, nullptr);
    } else if (Is(control, "BOYCOTTS")) {
      s.tradeRestriction->Show(region, nullptr);
    } else if (Is(control, "BACK")) {
      ReopenScreen(s.diplomacyScreen);
    } else if (Is(control, "WAR")) {
      s.warDeclaration->Show(region, nullptr);
    } else if (Is(control, "OFFERP")) {
      OpenAgreementOffer(region, kCeasefireAgreement, 1);
      Refresh();
    } else if (Is(control, "CEASEFIRE")) {
      PostArgs(kCmdPairMaskSwap, PairMaskArgs{.region = static_cast<uint32_t>(region),
                                              .set = static_cast<uint32_t>(ticked)});
    } else if (Is(control, "NEUTWAR")) {
      PostArgs(kCmdRoeRegionFlag, RegionFlagArgs{.bits = static_cast<uint32_t>(kNeutralityBit),
                                                 .region = static_cast<uint32_t>(region),
                                                 .set = static_cast<uint32_t>(ticked)});
    } else if (Is(control, "PATH")) {
      PostArgs(kCmdPairMask, PairMaskArgs{.region = static_cast<uint32_t>(region), .set = static_cast<uint32_t>(ticked)});
    } else if (Is(control, "CHAT")) {
      SetContactBit(g_contactMasks.chat, region, ticked != 0);
    } else if (Is(control, "DIPOFFER")) {
      SetContactBit(g_contactMasks.offers, region, ticked != 0);
    } else if (Is(control, "RELATION")) {
      s.alliancesPanel.Show(region, nullptr);
    } else if (Is(control, "TREATBUT")) {
      s.agreementsPanel.Show(region, nullptr);
    }
  }
};

}  // namespace

std::unique_ptr<Screen> MakeRegionRelationsPanel() { return std::make_unique<RegionRelationsPanel>(); }
