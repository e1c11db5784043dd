#include "screens/common/units/build_item_row.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "app/duration_text.h"
#include "records/player_record.h"
#include "screens/common/units/unit_class_row.h"
#include "sim/daily/product_fields.h"
#include "sim/daily/research_fields.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/local_player.h"
#include "world/data_tables.h"
#include "world/text/text_lists.h"
#include "world/world.h"

namespace {

// The goods product, whose unit cost prices a class's weight.
constexpr int kGoodsProduct = 10;
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
  if (dynamic_cast<const UnitClassRow*>(panel)) return cls.typeByte;
  const std::vector<UnitClassRecord>& classes = g_world.unitClasses;
  if (&cls < classes.data() || &cls >= classes.data() + classes.size()) return 0;
  return static_cast<intptr_t>(&cls - classes.data());
}

float CategoryFactor(uint8_t category) { return category < 4 ? kBuildCategoryFactor[category] : 1.0f; }

}  // namespace

float DesignResearchCost(const UnitClassRecord& cls) {
  return (static_cast<float>(cls.strengthPerSize) * cls.price + 0.9f) * CategoryFactor(cls.kind);
}

float DesignResearchDays(const UnitClassRecord& cls, float rate) {
  return (static_cast<float>(cls.strengthPerSize) * cls.buildWorkPerPoint + 1.0f) * CategoryFactor(cls.kind) / rate;
}

float BuildSecondaryRate(const PlayerRecord& player) {
  return product::Get(player, kGoodsProduct, product::kUnitCost);
}

float ResearchRate(const PlayerRecord& player) { return RecordF32(player, kResearchSpentToday); }

void DrawBuildItemRow(Control* row, int32_t designMode, const UnitClassRecord& cls, float* quantity,
                      int32_t points, BuildItemDetail detailA, BuildItemDetail detailB) {
  if (!row) return;
  const PlayerRecord* local = LocalPlayer(g_world);
  const float n = static_cast<float>(cls.strengthPerSize);
  const float q = quantity ? *quantity : 1.0f;
  // A unit built short of full strength costs more per element.
  const float scaled = q < 1.0f ? std::sqrt(q) : q;
  const float days = n * cls.buildWorkPerPoint * scaled + 1.0f;
  SetControlText(Tag(row, "DAYS"), FormatDuration(days).c_str());
  if (designMode == 0) {
    SetHidden(Tag(row, "BUILDHIDE"), false);
    const float h = cls.kind == 2 || cls.kind == 3 ? 0.5f : 1.0f;
    const float rate = local ? BuildSecondaryRate(*local) : 0.0f;
    SetPrice(row, n * cls.price * scaled + (n * cls.resourceB * h * q + 0.9f) * rate + 0.9f);
    if (points != 0) {
      SetWhole(Tag(row, "PTS"), cls.slotSize);
    } else {
      auto* slider = dynamic_cast<SlideBarControl*>(Tag(row, "STRSLDR"));
      if (cls.strengthPerSize >= 3 && slider) {
        slider->notches = static_cast<uint16_t>(cls.strengthPerSize);
        SliderSetValueFloat(slider, q - 0.5f);
        SetHidden(slider, false);
      } else {
        if (quantity) *quantity = 1.0f;
        SetHidden(slider, true);
      }
      SetWhole(Tag(row, "STR"), static_cast<int32_t>(n * (quantity ? *quantity : 1.0f)));
    }
  } else {
    const float factor = CategoryFactor(cls.kind);
    SetPrice(row, (n * cls.price + 0.9f) * factor);
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
