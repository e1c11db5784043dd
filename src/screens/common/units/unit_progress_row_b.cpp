#include "screens/common/units/unit_progress_row_b.h"

#include <vector>

#include "records/player_record.h"
#include "screens/common/units/build_item_row.h"
#include "screens/screen_set.h"
#include "sim/availability.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/list_items.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

constexpr int32_t kPlainIndent = 20, kResearchIndent = 35;
constexpr int32_t kBadgeRight = 18;  // where an icon-wide class badge ends
constexpr int kResearchIcon = 2;
constexpr uint32_t kBlockedColour = 0xFFFA3200u, kActiveColour = 0xFFFFFF64u, kPausedColour = 0xFFC8C8C8u;
constexpr uint32_t kItemBlocked = 0x80000000u, kItemPaused = 0x2u;

const TechRecord* Tech(uint32_t index) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return index > 0 && index < g_world.techs.size() ? &g_world.techs[index] : nullptr;
}

// The research a project needs in all.
float ItemTotal(const ProjectEntry& e) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (e.kind == kProjectTechnology) {
    const TechRecord* t = Tech(e.index);
    return t ? t->researchCost : 0.0f;
  }
  const UnitClassRecord* cls = ClassRecordAt(g_world, static_cast<int32_t>(e.index));
  if (!cls) return 0.0f;
  const float factor = cls->kind < 4 ? kBuildCategoryFactor[cls->kind] : 1.0f;
  return (static_cast<float>(cls->strengthPerSize) * cls->buildWorkPerPoint + 1.0f) * factor;
}

}  // namespace

void UnitProgressRowB::BindControls() { c_.Bind(currentForm); }

void UnitProgressRowB::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const ProjectEntry* e = id > 0 ? FindProjectById(g_world, static_cast<uint32_t>(id)) : nullptr;
  Control* host = Tag(currentForm, "CLASSPAR");
  const char* name = "";
  if (e && e->kind == kProjectTechnology) {
    if (const TechRecord* t = Tech(e->index)) {
      if (classRow && host) classRow->Show(-static_cast<intptr_t>(t->category), host);
      name = t->name.get() ? t->name.get() : "";
    }
  } else if (e && e->kind == kProjectDesign) {
    if (const UnitClassRecord* cls = ClassRecordAt(g_world, static_cast<int32_t>(e->index))) {
      if (classRow && host) classRow->Show(cls->typeByte, host);
      name = cls->name;
    }
  }
  SetControlText(c_.nameText, name);
}

void UnitProgressRowB::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const ProjectEntry* e = id > 0 ? FindProjectById(g_world, static_cast<uint32_t>(id)) : nullptr;
  if (!e || !currentForm) return;
  if (auto* name = dynamic_cast<StringControl*>(c_.nameText)) {
    name->textColour = (e->displayFlags & kItemBlocked)  ? kBlockedColour
                       : (e->displayFlags & kItemPaused) ? kPausedColour
                                                         : kActiveColour;
  }
  int32_t indent = kPlainIndent + BadgeOverhang(currentForm, "CLASSPAR", kBadgeRight);
  for (Control* icon : c_.icons) SetHidden(icon, true);
  SetHidden(c_.strengthBar, true);
  if (e->remainingCost <= 0.0f) {
    SetHidden(c_.progressBar, true);
  } else {
    SetHidden(c_.progressBar, false);
    const float total = ItemTotal(*e);
    const float elapsed = total - e->remainingCost;
    if (c_.progressBar) {
      SliderSetMaxFloat(c_.progressBar, total);
      const bool second = g_uiOptions.buiprogbarstyle != 0;
      SliderSetValueFloatNotify(c_.progressBar, second ? 0.0f : elapsed);
      SliderSetValueIntRaw(c_.progressBar, second ? SliderPositionOfFloat(c_.progressBar, elapsed) : 0);
    }
  }
  if (ItemAvailability(g_world, *e, g_world.gameState.localPlayer) == 0) {
    SetHidden(c_.icons[kResearchIcon], false);
    indent = kResearchIndent + BadgeOverhang(currentForm, "CLASSPAR", kBadgeRight);
  }
  if (c_.nameText) {
    const int32_t width = c_.nameText->rect.right - c_.nameText->rect.left;
    c_.nameText->rect.left = indent;
    c_.nameText->rect.right = indent + width;
  }
}

void UnitProgressRowB::OnHostNotify(int32_t code, int32_t width) {
  if (code != 99 || !currentForm) return;
  currentForm->rect.right = width;
  if (c_.nameText) c_.nameText->rect.right = width;
  if (c_.progressBar) c_.progressBar->rect.right = width - 4;
}

int32_t FillProductionItemList(ScreenSet& screens, ListBoxControl* list, int32_t player, int32_t kind,
                               uint32_t required, uint32_t excluded, int32_t which) {
  if (!list || player < 0 || player >= kMaxPlayers) return 0;
  std::vector<uint32_t> ids;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const ListNode& head = g_world.projectLists[player];
    for (const ListNode* node = head.next(); node && node != &head; node = node->next()) {
      const auto& e = static_cast<const ProjectEntry&>(*node);
      const uint32_t flags = which == 0 ? e.displayFlags : e.simFlags;
      if (kind >= 0 && e.kind != kind) continue;
      if ((flags & required) != required || (flags & excluded) != 0) continue;
      ids.push_back(e.id);
    }
  }
  const int32_t width = Width(list) - 16;
  for (uint32_t item : ids)
    ListAddIconItem(list, &screens.militaryProgressB, width, 0, static_cast<int32_t>(item), 0, 0, 0);
  ListLayoutRows(list);
  return static_cast<int32_t>(ids.size());
}
