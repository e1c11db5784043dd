#include "screens/common/units/build_item_row.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "app/duration_text.h"
#include "records/player_record.h"
#include "screens/common/units/unit_class_row.h"
#include "sim/daily/product_fields.h"
#include "sim/daily/research_fields.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "units/unit_player_fields.h"
#include "world/local_player.h"
#include "world/data_tables.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

// Research slower than this a day gives no useful estimate.
constexpr float kLeastResearchRate = 0.01f;

void SetWhole(Control* control, int32_t value) {
  if (!control) return;
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  SetControlText(control, text);
}

void SetPrice(Control* row, float price) {
  // Money is shown in whole amounts, cut rather than rounded.
  SetControlNumberText(0, 0, "", 0, "", 0, static_cast<double>(price), Tag(row, "PRICEBUILD"));
}

// The id a detail panel reads: a class row shows the class's group badge,
// every other panel (the class sheet) looks the class up by its index.
intptr_t DetailId(const Screen* panel, const UnitClassRecord& cls) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (dynamic_cast<const UnitClassRow*>(panel)) return cls.typeByte;
  const std::vector<UnitClassRecord>& classes = g_world.unitClasses;
  if (&cls < classes.data() || &cls >= classes.data() + classes.size()) return 0;
  return static_cast<intptr_t>(&cls - classes.data());
}

// A unit ordered short of full strength costs and takes more per element:
// its material part and its days scale by the square root of the share.
float ShortUnitScale(float quantity) { return quantity < 1.0f ? std::sqrt(quantity) : quantity; }

float CategoryFactor(uint8_t category) { return category < 4 ? kBuildCategoryFactor[category] : 1.0f; }

// The builder's price of one unit of class weight: its goods' unit cost.
float BuildSecondaryRate(const PlayerRecord& player) {
  return product::Get(player, unitfields::kSupplyProduct, product::kUnitCost);
}

// A unit of the class at the share of full strength: its elements' money
// and the goods they take at the builder's rate, the bytes the build queue
// charges and the class sheet prices.
float UnitBuildPrice(const UnitClassRecord& cls, float quantity, float secondaryRate) {
  const float n = static_cast<float>(cls.strengthPerSize);
  const float h = cls.kind == 2 || cls.kind == 3 ? 0.5f : 1.0f;
  return n * cls.costPerElement * ShortUnitScale(quantity) + (n * cls.weight * h * quantity + 0.9f) * secondaryRate +
         0.9f;
}

float UnitBuildDays(const UnitClassRecord& cls, float quantity) {
  return static_cast<float>(cls.strengthPerSize) * cls.buildWorkPerPoint * ShortUnitScale(quantity) + 1.0f;
}

}  // namespace

float DesignResearchCost(const UnitClassRecord& cls) {
  return (static_cast<float>(cls.strengthPerSize) * cls.costPerElement + 0.9f) * CategoryFactor(cls.kind);
}

float DesignResearchDays(const UnitClassRecord& cls, float rate) {
  return (static_cast<float>(cls.strengthPerSize) * cls.buildWorkPerPoint + 1.0f) * CategoryFactor(cls.kind) / rate;
}

float ResearchRate(const PlayerRecord& player) { return RecordF32(player, kResearchSpentToday); }

void DrawBuildItemRow(Control* row, int32_t designMode, const UnitClassRecord& cls, float* quantity,
                      int32_t points, BuildItemDetail detailA, BuildItemDetail detailB) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!row) return;
  const PlayerRecord* local = LocalPlayer(g_world);
  const float n = static_cast<float>(cls.strengthPerSize);
  auto* slider = dynamic_cast<SlideBarControl*>(Tag(row, "STRSLDR"));
  // A unit without the strength slider is ordered whole, so it is priced and
  // timed whole.
  const bool sized = designMode == 0 && points == 0;
  if (sized && quantity && !(cls.strengthPerSize >= 3 && slider)) *quantity = 1.0f;
  const float q = quantity ? *quantity : 1.0f;
  SetControlText(Tag(row, "DAYS"), FormatDuration(UnitBuildDays(cls, q)).c_str());
  if (designMode == 0) {
    SetHidden(Tag(row, "BUILDHIDE"), false);
    SetPrice(row, UnitBuildPrice(cls, q, local ? BuildSecondaryRate(*local) : 0.0f));
    if (points != 0) {
      SetWhole(Tag(row, "PTS"), cls.slotSize);
    } else {
      if (cls.strengthPerSize >= 3 && slider) {
        slider->notches = static_cast<uint16_t>(cls.strengthPerSize);
        SliderSetValueFloat(slider, q - 0.5f);
        SetHidden(slider, false);
      } else {
        SetHidden(slider, true);
      }
      SetWhole(Tag(row, "STR"), static_cast<int32_t>(n * q));
    }
  } else {
    const float factor = CategoryFactor(cls.kind);
    SetPrice(row, DesignResearchCost(cls));
    if (Control* research = Tag(row, "RESTIME")) {
      const float rate = local ? ResearchRate(*local) : 0.0f;
      const bool unknown = !(rate >= kLeastResearchRate) || !(rate > 0.0f);
      if (unknown) {
        SetControlText(research, "UNKNOWN");
      } else {
        SetControlText(research, FormatDuration((n * cls.buildWorkPerPoint + 1.0f) * factor / rate).c_str());
      }
      SetControlFlag(research, kStateSelected, unknown ? 1 : 0);
    }
    if (points != 0) {
      SetWhole(Tag(row, "PTS"), cls.slotSize);
    } else {
      SetWhole(Tag(row, "STR"), cls.strengthPerSize);
    }
  }
  if (Control* kind = Tag(row, "CLASS")) {
    SetControlFlag(kind, kStateSelected, 0);
    SetControlText(kind, TextListText(kListMilclass, cls.typeByte));
  }
  for (const BuildItemDetail& d : {detailA, detailB}) {
    if (!d.panel || !d.anchor) continue;
    SetHidden(d.anchor, false);
    d.anchor->Invalidate();
    d.panel->Show(DetailId(d.panel, cls), d.anchor);
  }
}
