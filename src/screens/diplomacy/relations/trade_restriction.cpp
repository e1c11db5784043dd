#include "screens/diplomacy/relations/trade_restriction.h"

#include <string>

#include "records/command_ids.h"
#include "records/player_kinds.h"
#include "records/player_record.h"
#include "screens/diplomacy/relations/region_relations.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/class_icon.h"
#include "screens/screen_set.h"
#include "screens/diplomacy/relations/region_heading.h"
#include "sim/game_command.h"
#include "sim/relation_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/text/policy_fields.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

// The hover text is the control's own copy; an empty text leaves none.
void SetTooltip(Control* c, const std::string& text) {
  if (!c) return;
  if (auto* s = dynamic_cast<StringControl*>(c)) s->recordText = text;
  else ControlSetText(c, text.empty() ? nullptr : text.c_str());
}

std::string ProductName(int32_t product) { return TextListText(kListProductsl, product); }

void PostForEveryProduct(uint32_t command, int32_t region, uint32_t restrict) {
  for (int32_t k = 0; k < kRestrictedProducts; ++k)
    PostArgs(command, TradeRefusalArgs{.product = static_cast<uint32_t>(k), .region = static_cast<uint32_t>(region),
                                       .refuse = static_cast<uint32_t>(restrict)});
}

class TradeRestrictionPanel : public Screen {
 public:
  TradeRestrictionPanel() : Screen("DIPLOMACY1_SS3", FormLookups{.tags = {}, .ids = kTradeRestrictionIds}) {}
  // Steps to a region that can be shown, puts the product pictures in and docks.
  void OnOpen() override {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      id = StepToShownRegion(g_world, static_cast<int32_t>(id));
    }
    for (int32_t k = 0; k < kRestrictedProducts; ++k) {
      Control* picture = Id(*this, kProductPictureId + k);
      if (!picture) continue;
      DrawUnitClassIcon(k, nullptr, nullptr, picture, false, -1);
      SetTooltip(picture, ProductName(k));
    }
    ScreenSlotSelectMapMode(g_screens);
  }
  void Refresh() override {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (!currentForm) return;
    bool outOfPlay = false;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const int32_t kind = g_world.players[HeadingRegion(id)].kind;
      outOfPlay = kind == kKindEmpty || kind == kKindOut;
    }
    if (outOfPlay) OnOpen();
    const int32_t region = HeadingRegion(id);
    const uint32_t bit = 1u << region;
    const int32_t local = g_world.gameState.localPlayer;
    if (local < 0 || local >= kMaxPlayers) return;
    const PlayerPolicyBlock& mine = g_world.players[local].displayPolicy;
    for (int32_t k = 0; k < kRestrictedProducts; ++k) {
      const ProductPolicy& p = mine.productPolicy[k];
      Control* sales = Id(*this, kSalesSwitchId + k);
      Control* purchases = Id(*this, kPurchasesSwitchId + k);
      SetControlFlag(sales, kStateSelected, (ProductWord(p, kProductPlayerMask2) & bit) != 0);
      SetControlFlag(purchases, kStateSelected, (ProductWord(p, kProductPlayerMask) & bit) != 0);
      const std::string name = ProductName(k);
      SetTooltip(Id(*this, kProductPictureId + k), name);
      SetTooltip(sales, "Restrict " + name + " Sales/Exports");
      SetTooltip(purchases, "Restrict " + name + " Purchases/Imports");
    }
  }
  void BindControls() override { DockInSecondBotbar2(*this); }
  void OnCommand(Control* control, int32_t controlId) override {
    const int32_t region = HeadingRegion(id);
    const uint32_t ticked = control && (control->state & kStateSelected) ? 1u : 0u;
    switch (controlId) {
      case kRestrictAllSales: PostForEveryProduct(kCmdProdPlayerMask2, region, 1); break;
      case kFreeAllSales: PostForEveryProduct(kCmdProdPlayerMask2, region, 0); break;
      case kRestrictAllPurchases: PostForEveryProduct(kCmdProdPlayerMask, region, 1); break;
      case kFreeAllPurchases: PostForEveryProduct(kCmdProdPlayerMask, region, 0); break;
      default:
        if (controlId >= kSalesSwitchId && controlId < kSalesSwitchId + kRestrictedProducts) {
          PostArgs(kCmdProdPlayerMask2, TradeRefusalArgs{.product = static_cast<uint32_t>(controlId - kSalesSwitchId),
                                                         .region = static_cast<uint32_t>(region),
                                                         .refuse = static_cast<uint32_t>(ticked)});
        } else if (controlId >= kPurchasesSwitchId && controlId < kPurchasesSwitchId + kRestrictedProducts) {
          PostArgs(kCmdProdPlayerMask, TradeRefusalArgs{.product = static_cast<uint32_t>(controlId - kPurchasesSwitchId),
                                                        .region = static_cast<uint32_t>(region),
                                                        .refuse = static_cast<uint32_t>(ticked)});
        }
        return;
    }
    Refresh();
  }
};

}  // namespace

std::unique_ptr<Screen> MakeTradeRestrictionPanel() { return std::make_unique<TradeRestrictionPanel>(); }
