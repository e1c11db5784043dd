#include "editor/facility_type_panel.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "editor/facility_paint_panel.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "sim/daily/hex_pass.h"
#include "sim/facility_costs.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "app/number_text.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kIndustryFirstProduct = 8;

constexpr const char* kFacilityTypeTags[] = {"UGPICK",  "UDESC",   "BURBAN",      "BTRANSP",     "BBRIDGE",
                                             "BBASE",   "BINDUS",  "SYNTHBUT",    "PARENTCOSTS", "PARENTINDUS",
                                             "PARENTTCHART", "PARENTATTRIB", "BUTNEXT", "BUTPREV", "MAXPOPSLDR",
                                             "MAXPOP",  "UNITSUPSLDR", "UGNEXTUP",    "UGRUBBLE"};
constexpr float kPopulationPerScale = 5000000.0f;
constexpr float kCostPerScale = 1000000000.0f;
constexpr float kRepairFactorTop = 255.0f;
constexpr int32_t kCostByteTop = 255;
// The class flag each button shows.
constexpr struct {
  const char* tag;
  uint32_t bit;
} kFlagButtons[] = {{"BBASE", kClassSettlement},          {"BINDUS", kClassProduction},
                    {"BBRIDGE", kClassBuildsWorks},       {"BURBAN", kClassSettlementPopulation},
                    {"BTRANSP", kClassRoad},              {"SYNTHBUT", kClassFullAvailability}};

void OpenIn(Screen* panel, Control* container) {
  if (!panel || !container) return;
  panel->id = 0;
  panel->AttachForm(container);
  panel->OnOpen();
  panel->Refresh();
}

void SetBar(SlideBarControl* bar, uint16_t exponent, float maximum, float value) {
  if (!bar) return;
  bar->exponent = exponent;
  SliderSetMaxFloat(bar, maximum);
  SliderSetValueFloat(bar, value);
}

// The class's people, support, upgrade and rubble; the upgrade and rubble
// as class numbers, 0 for none; an empty class shows 0.
void ShowClassFigures(Control* form, const UnitClassRecord* cls) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const float populationScale = g_world.mapHeader.scaleSquared;
  SlideBarControl* people = TagAs<SlideBarControl>(form, "MAXPOPSLDR");
  SetBar(people, 3, populationScale * kPopulationPerScale, cls ? populationScale * cls->maxPopulationFactor : 0.0f);
  // A box too narrow for "1 M" keeps what it shows.
  auto* peopleText = dynamic_cast<StringControl*>(Tag(form, "MAXPOP"));
  if (people && peopleText && peopleText->bufferSize >= 3) {
    char text[64];
    peopleText->SetText(FormatNumberText(text, 0, 0, nullptr, 1, nullptr, 0, SliderGetValueFloat(people)));
  }
  // The class record keeps no unit support, repair factor or further cost
  // of its own; their bars stay at 0 rather than show another figure.
  SetBar(TagAs<SlideBarControl>(form, "UNITSUPSLDR"), 2, 1.0f, 0.0f);
  EnterInt(Tag(form, "UGNEXTUP"), cls ? ClassUpgradeClass(*cls) : 0);
  EnterInt(Tag(form, "UGRUBBLE"), cls ? cls->rubbleClass : 0);
}

}  // namespace

void IndustryPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  float shown[3] = {};
  bool any = true;
  if (g_editorMap.mode == 6) {
    const UnitClassRecord* cls = ClassRecordAt(w, g_editorMap.brushValue);
    any = cls && cls->hasExtra;
    for (int k = 0; k < 3 && any; ++k) shown[k] = ClassOutputFactor(*cls, kIndustryFirstProduct + k);
  } else {
    float yields[kHexYieldProducts], caps[kHexYieldProducts];
    const HexPosition& hex = w.gameState.currentHex;
    HexYieldEstimate(w, hex.y * w.mapWidth + hex.x, yields, caps);
    for (int k = 0; k < 3; ++k) shown[k] = yields[kIndustryFirstProduct + k];
  }
  for (int k = 0; k < 3; ++k) {
    SlideBarControl* bar = IdAs<SlideBarControl>(currentForm, k + 1);
    if (!bar) continue;
    bar->exponent = 2;
    SliderSetMaxFloat(bar, 1.0f);
    // A class without outputs has no industry to show.
    SliderSetValueFloat(bar, any ? shown[k] : 0.0f);
  }
}

void CostsPanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitClassRecord* cls = ClassRecordAt(g_world, g_editorMap.brushValue);
  for (int32_t id : {1, 2, 3}) SetBar(IdAs<SlideBarControl>(currentForm, id), 2, 1.0f, 0.0f);
  SetBar(IdAs<SlideBarControl>(currentForm, 4), 2, g_world.mapHeader.scale * kCostPerScale, 0.0f);
  SetBar(IdAs<SlideBarControl>(currentForm, 5), 2, kRepairFactorTop, 0.0f);
  if (SlideBarControl* bar = IdAs<SlideBarControl>(currentForm, 6)) {
    bar->exponent = 2;
    SliderSetMaxInt(bar, kCostByteTop);
    SliderSetValueInt(bar, cls ? cls->costByte : 0);
  }
}

int32_t BrowsedFacilityClass(int32_t value, int32_t step) {
  const int32_t next = value + step;
  if (step > 0 && next - kFirstFacilityClass >= kFacilityPaletteCells) return kFirstFacilityClass;
  return next < 0 ? 0 : next;
}

FacilityTypePanel::FacilityTypePanel() : Screen("MAPEDITORB_SS4", FormLookups{.tags = kFacilityTypeTags, .ids = {}}) {}

void FacilityTypePanel::BindControls() {
  if (g_editorScreens.frame) hostLink = &g_editorScreens.frame->toolHost;
}

void FacilityTypePanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  EditorMapState& e = g_editorMap;
  if (e.brushKind != kBrushObject) {
    e.brushValue = kFirstFacilityClass;
    e.brushKind = kBrushObject;
  }
  Control* form = currentForm;
  // A class number past the table shows an empty class and reads nothing.
  const UnitClassRecord* cls = ClassRecordAt(g_world, e.brushValue);
  if (g_editorLinks.drawClassPicture) g_editorLinks.drawClassPicture(Tag(form, "UGPICK"), e.brushValue, -1);
  e.flags |= kEditorLoadingPanel;
  if (Control* name = Tag(form, "UDESC"))
    name->SetText(cls ? std::string(cls->name, strnlen(cls->name, sizeof cls->name)).c_str() : "");
  for (const auto& b : kFlagButtons)
    if (Control* c = Tag(form, b.tag)) SetControlFlag(c, kStateSelected, cls && (cls->flags & b.bit) ? 1 : 0);
  ShowClassFigures(form, cls);
  OpenIn(costs, Tag(form, "PARENTCOSTS"));
  OpenIn(industry, Tag(form, "PARENTINDUS"));
  OpenIn(chart, Tag(form, "PARENTTCHART"));
  OpenIn(attributes, Tag(form, "PARENTATTRIB"));
  e.flags &= ~kEditorLoadingPanel;
}

void FacilityTypePanel::OnCommand(Control* control, int32_t) {
  if (!control) return;
  int32_t step = 0;
  if (ControlTagMatches(control->tag, "BUTNEXT")) step = 1;
  if (ControlTagMatches(control->tag, "BUTPREV")) step = -1;
  if (step != 0) SetMapEditMode(kBrushObject, BrowsedFacilityClass(g_editorMap.brushValue, step));
}
