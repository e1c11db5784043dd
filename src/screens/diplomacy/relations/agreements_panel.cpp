#include "screens/diplomacy/relations/agreements_panel.h"

#include <string>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "screens/diplomacy/relations/region_heading.h"
#include "sim/game_command.h"
#include "sim/region_names.h"
#include "sim/relation_command_args.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "ui/text_box.h"
#include "world/local_player.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {

constexpr uint32_t kLastAgreementType = 127;

// The agreement type a row stands for, or 0 for a payment or delivery (whose
// ids are small numbers too) and for no row.
uint32_t AgreementOf(const PendingDealRow* row) {
  if (!row || row->kind != kPendingAgreement) return 0;
  return row->value >= 1 && row->value <= kLastAgreementType ? row->value : 0;
}

void SetDetails(TextBoxControl* box, const char* text) {
  if (!box) return;
  const std::string copy = text ? text : "";
  TextBoxSetText(box, copy.c_str(), static_cast<uint32_t>(copy.size() + 1), 1);
}

}  // namespace

void AgreementsPanel::OnOpen() {
  SetDetails(details, "");
  SetHidden(Tag(*this, "HIDECONFIRM"), true);
  ScreenSlotSelectMapMode(g_screens);
}

void AgreementsPanel::BindControls() {
  DockInSecondBotbar2(*this);
  received = MakeListBox("DIPLIST5", 0, currentForm, kListIndicators, this);
  given = MakeListBox("DIPLIST6", 0, currentForm, kListIndicators, this);
  details = MakeTextBox("DETAILS", 0, currentForm);
}

void AgreementsPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!currentForm) return;
  const int32_t region = HeadingRegion(id);
  const int32_t local = LocalPlayerIndex(g_world);
  if (local < 0) return;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetControlText(Tag(*this, "REGNAME"), RegionDisplayName(g_world, region));
  }
  FillPendingDeals(g_world, received, local, region, receivedRows);
  FillPendingDeals(g_world, given, region, local, givenRows);
  const PendingDealRow* picked = SelectedPendingDeal(received, receivedRows);
  SetHidden(Tag(*this, "DELAGREE"), picked == nullptr);
  if (!picked) picked = SelectedPendingDeal(given, givenRows);
  const TreatyTypeEntry* type = nullptr;
  if (const uint32_t agreement = AgreementOf(picked))
    type = TreatyType(g_ruleTables.rTreatyTypes, static_cast<int>(agreement));
  SetDetails(details, type ? type->description.get() : "");
}

void AgreementsPanel::OnCommand(Control* control, int32_t rowId) {
  Control* confirm = Tag(*this, "HIDECONFIRM");
  if (Is(control, "DELAGREE")) {
    SetHidden(confirm, false);
    SetHidden(Tag(*this, "HIDEBOX"), true);
  } else if (Is(control, "CANBUT")) {
    // Kept: the agreement stays picked and its button comes back.
    SetHidden(confirm, true);
    SetHidden(Tag(*this, "HIDEBOX"), false);
    Refresh();
  } else if (Is(control, "OKBUT")) {
    // The executing side reads the treaty type before the partner.
    if (const uint32_t agreement = AgreementOf(SelectedPendingDeal(received, receivedRows)))
      PostArgs(kCmdDeleteAgreement, EndTreatyArgs{.type = static_cast<uint32_t>(agreement),
                                                  .partner = static_cast<uint32_t>(HeadingRegion(id)), .flag = 0});
    SetHidden(confirm, true);
    if (received) ListClear(received, 1);
    Refresh();
  } else if (control && control == received) {
    if (rowId != 0) {
      SetHidden(confirm, true);
      SetHidden(Tag(*this, "HIDEBOX"), false);
    }
    Refresh();
  } else if (control && control == given) {
    Refresh();
  }
}

void AgreementsPanel::OnControlChange(Control* control, int32_t rowId) {
  if (!control || rowId == 0) return;
  if (control == received && given) {
    const bool had = given->selectedId != 0;
    ListDeselectAll(given);
    if (had) OnControlChange(given, 0);
  } else if (control == given && received) {
    ListSetSelection(0, received, 0, 0);
  }
}
