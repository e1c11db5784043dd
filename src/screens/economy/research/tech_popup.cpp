#include "screens/economy/research/tech_popup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>

#include "app/duration_text.h"
#include "app/number_text.h"
#include "records/player_record.h"
#include "screens/economy/policy/policy_figures.h"
#include "screens/common/research_queue.h"
#include "screens/common/units/build_item_row.h"
#include "screens/economy/research/research_note.h"
#include "screens/common/units/unit_header.h"
#include "screens/screen_set.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/research_path.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/list_refill.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "ui/text_box.h"
#include "world/local_player.h"
#include "units/unit_queries.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/list_items.h"
#include "world/text/rule_tables.h"
#include "world/text/text_lists.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr uint32_t kDescriptionCapacity = 1024;
constexpr size_t kDescriptionLimit = 1023;
constexpr size_t kEffectLineLimit = 63;
constexpr float kLeastRate = 0.01f;
constexpr uint32_t kTradable = 0x1, kDesignPrerequisite = 0x4, kFacilityPrerequisite = 0x10;
constexpr int32_t kCategoryButton = 10;
constexpr uint8_t kDesignHeld = 0x01;

int32_t TechCount(const World& w) {
  return std::max(0, std::min<int32_t>(w.gameState.techCount, static_cast<int32_t>(w.techs.size())));
}

bool TechInPlay(const World& w, int32_t t) {
  return t > 0 && t < TechCount(w) && w.techs[static_cast<size_t>(t)].category != 0;
}

bool Knows(const World& w, int32_t player, int32_t t) {
  const PlayerTechState* row = TechRow(w, player);
  return row && t >= 0 && t < TechCount(w) && row[t].known != 0;
}

float WholeLevel(const World& w, int32_t player) {
  return player >= 0 && player < kMaxPlayers ? std::floor(w.players[player].techLevel) : 0.0f;
}

const int16_t* PrerequisitesOf(const World& w, int32_t index, int32_t kind) {
  if (kind == kProjectTechnology && index >= 0 && index < TechCount(w))
    return w.techs[static_cast<size_t>(index)].prerequisites;
  if (kind == kProjectDesign && index > 0 && static_cast<size_t>(index) < w.unitClasses.size())
    return w.unitClasses[static_cast<size_t>(index)].requiredTechs;
  return nullptr;
}

// A technology u within the player's level that needs t.
bool NeedsWithinLevel(const World& w, int32_t player, int32_t u, int32_t t) {
  if (!TechInPlay(w, u)) return false;
  const TechRecord& r = w.techs[static_cast<size_t>(u)];
  return (r.prerequisites[0] == t || r.prerequisites[1] == t) && static_cast<float>(r.techLevel) <= WholeLevel(w, player);
}

struct Walk {
  const World& w;
  int32_t player;
  std::vector<TechTreeRow> rows;
  std::set<int32_t> listed;   // indices with a row
  std::set<int32_t> visited;  // technologies walked

  void Add(int32_t index, const char* name, bool unknown) { rows.push_back({index, name ? name : "", unknown}); }

  void Prerequisites(int32_t index, int32_t kind) {
    const int16_t* needs = PrerequisitesOf(w, index, kind);
    if (!needs) return;
    for (int i = 0; i < 2; ++i) {
      const int32_t t = needs[i];
      if (t <= 0 || t >= TechCount(w) || !listed.insert(t).second) continue;
      Add(t, w.techs[static_cast<size_t>(t)].name.c_str(), !Knows(w, player, t));
      Prerequisites(t, kProjectTechnology);
    }
  }

  void DependentTechs(int32_t t) {
    for (int32_t u = 1; u < TechCount(w); ++u) {
      if (!NeedsWithinLevel(w, player, u, t) || !listed.insert(u).second) continue;
      Add(u, w.techs[static_cast<size_t>(u)].name.c_str(), !Knows(w, player, u));
      DependentTechs(u);
    }
  }

  void DependentDesigns(int32_t t) {
    if (!visited.insert(t).second) return;
    const float level = WholeLevel(w, player);
    const uint32_t own = player >= 0 && player < kMaxPlayers ? w.players[player].classMask : 0;
    for (size_t c = 1; c < w.unitClasses.size(); ++c) {
      const UnitClassRecord& cls = w.unitClasses[c];
      if (cls.name[0] == '\0' || (cls.flags & (kClassFacility | kClassObsolete))) continue;
      if (cls.requiredTechs[0] != t && cls.requiredTechs[1] != t) continue;
      if (static_cast<float>(cls.level) > level || !(cls.availability & own)) continue;
      if (cls.buildThreshold != 0 && static_cast<float>(cls.buildThreshold) < level) continue;
      if (!listed.insert(static_cast<int32_t>(c)).second) continue;
      const bool held = (ClassAvailabilityByte(w, player, static_cast<int32_t>(c)) & kDesignHeld) != 0;
      Add(static_cast<int32_t>(c), std::string(cls.name, strnlen(cls.name, sizeof cls.name)).c_str(), !held);
    }
    for (int32_t u = 1; u < TechCount(w); ++u)
      if (NeedsWithinLevel(w, player, u, t)) DependentDesigns(u);
  }
};

// The player's first project for the item, cancelled ones included.
const ProjectEntry* ItemProject(const World& w, int32_t player, const TechItem& item) {
  if (player < 0 || player >= kMaxPlayers) return nullptr;
  const ListNode& head = w.projectLists[player];
  for (const ListNode* node = head.next(); node && node != &head; node = node->next()) {
    const auto* p = static_cast<const ProjectEntry*>(node);
    if (p->kind == item.kind && p->index == static_cast<uint32_t>(item.index)) return p;
  }
  return nullptr;
}

// A research time at the rate, "UNKNOWN" (marked by flag 0x1) when the
// rate is too small to tell.
void SetResearchTime(Control* c, float points, float rate) {
  if (!c) return;
  const bool unknown = !(rate >= kLeastRate) || !(rate > 0.0f);
  SetText(c, unknown ? "UNKNOWN" : FormatDuration(points / rate).c_str());
  c->flags = unknown ? (c->flags | 0x1u) : (c->flags & ~0x1u);
}

const char* PrerequisiteName(const World& w, int32_t t) {
  return TechInPlay(w, t) ? w.techs[static_cast<size_t>(t)].name.c_str() : "None";
}

// What the sheet shows of its item, read under the lock.
struct Sheet {
  std::string name, text, prereq1, prereq2, category;
  int32_t level = 0, picture = 0;
  bool second = false;
  float price = 0.0f, points = 0.0f, rate = 0.0f;
  UnitClassRecord design;
};

Sheet ReadSheet(const World& w, const TechItem& item) {
  plat::CriticalSectionLock lock(g_simulationLock);
  Sheet s;
  const PlayerRecord* r = LocalPlayer(g_world);
  s.rate = r ? ResearchRate(*r) : 0.0f;
  const int16_t* needs = PrerequisitesOf(w, item.index, item.kind);
  s.prereq1 = PrerequisiteName(w, needs[0]);
  s.prereq2 = PrerequisiteName(w, needs[1]);
  s.second = needs[1] != 0;
  if (item.kind == kProjectTechnology) {
    const TechRecord& t = w.techs[static_cast<size_t>(item.index)];
    s.name = t.name.c_str();
    s.level = t.techLevel;
    s.price = t.price;
    s.points = t.researchCost;
    s.picture = t.category;
    s.text = TechDescription(t);
    const char* c = TextListEntry(g_textLists, kListTechcategory, t.category);
    s.category = c ? c : "";
  } else {
    s.design = w.unitClasses[static_cast<size_t>(item.index)];
    s.name.assign(s.design.name, strnlen(s.design.name, sizeof s.design.name));
    s.level = s.design.level;
    s.price = DesignResearchCost(s.design);
    s.points = DesignResearchPoints(s.design);
    s.category = "Unit Design";
  }
  return s;
}

}  // namespace

TechItem DecodeTechParameter(const World& world, intptr_t parameter) {
  TechItem item;
  if (parameter < 0 && -parameter < static_cast<intptr_t>(world.unitClasses.size())) {
    item.kind = kProjectDesign;
    item.index = static_cast<int32_t>(-parameter);
  } else if (parameter >= 0 && parameter < TechCount(world)) {
    item.kind = kProjectTechnology;
    item.index = static_cast<int32_t>(parameter);
  } else if (parameter >= kFirstProjectId && parameter <= static_cast<intptr_t>(UINT32_MAX)) {
    if (const ProjectEntry* p = FindProjectById(world, static_cast<uint32_t>(parameter))) {
      item.kind = p->kind;
      item.index = static_cast<int32_t>(p->index);
      item.project = p->id;
    }
  }
  return item;
}

int32_t OpinionIndex(int32_t rating) { return std::clamp((rating + 10000) / 4500, 0, 4); }

std::string TechEffectLine(int32_t type, int32_t value) {
  if (type <= 0 || type >= kTechEffectCount) return {};
  char line[kEffectLineLimit + 1];
  std::snprintf(line, sizeof line, "%s %+d %%", g_ruleTables.techTreeEffects.entries[type].name.c_str(), value);
  return line;
}

std::string TechDescription(const TechRecord& tech) {
  const char* popular = TextListEntry(g_textLists, kListPublicopinion, OpinionIndex(tech.popularOpinion));
  const char* world = TextListEntry(g_textLists, kListPublicopinion, OpinionIndex(tech.worldOpinion));
  std::string text = std::string(tech.text.c_str()) + "\n\nPopular Opinion: " + (popular ? popular : "") +
                     "\nWorld Opinion: " + (world ? world : "") + "\n" +
                     TechEffectLine(tech.effectCodes[0], tech.effectPercents[0]) + "\n" +
                     TechEffectLine(tech.effectCodes[1], tech.effectPercents[1]) + "\n";
  if (tech.flags & kDesignPrerequisite) text += "This is a pre-requisite for Unit Designs.";
  if (tech.flags & kFacilityPrerequisite) text += "This is a pre-requisite for Facility Construction.";
  if (!(tech.flags & kTradable)) text += "This is not a Tradable development.";
  if (text.size() > kDescriptionLimit) text.resize(kDescriptionLimit);
  return text;
}

float DesignResearchPoints(const UnitClassRecord& cls) {
  const float factor = cls.kind < 4 ? kBuildCategoryFactor[cls.kind] : 1.0f;
  return (static_cast<float>(cls.strengthPerSize) * cls.buildWorkPerPoint + 1.0f) * factor;
}

std::vector<TechTreeRow> PrerequisiteRows(const World& world, int32_t player, int32_t index, int32_t kind) {
  Walk walk{world, player, {}, {}, {}};
  walk.Prerequisites(index, kind);
  return walk.rows;
}

std::vector<TechTreeRow> DependentTechRows(const World& world, int32_t player, int32_t tech) {
  Walk walk{world, player, {}, {}, {}};
  walk.listed.insert(tech);
  walk.DependentTechs(tech);
  return walk.rows;
}

std::vector<TechTreeRow> DependentDesignRows(const World& world, int32_t player, int32_t tech) {
  Walk walk{world, player, {}, {}, {}};
  walk.DependentDesigns(tech);
  return walk.rows;
}

// The progress panel.

namespace {

class TechProgressPanel : public Screen {
 public:
  TechProgressPanel() : Screen("POPUP_TECH_ss1", FormLookups{.tags = kTechProgressTags, .ids = {}}) {}
  void Refresh() override {
    float total = 0.0f, remaining = 0.0f, rate = 0.0f;
    int32_t status = 0;
    bool paused = false;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const World& w = g_world;
      const ProjectEntry* p = FindProjectById(w, static_cast<uint32_t>(id));
      const PlayerRecord* r = LocalPlayer(g_world);
      if (!p || !r) return;
      if (p->kind == kProjectTechnology && static_cast<int32_t>(p->index) < TechCount(w))
        total = w.techs[p->index].researchCost;
      else if (p->kind == kProjectDesign && p->index < w.unitClasses.size())
        total = DesignResearchPoints(w.unitClasses[p->index]);
      remaining = p->remainingCost;
      status = ResearchItemStatus(w, w.gameState.localPlayer, p->kind, static_cast<int32_t>(p->index), p);
      paused = (p->displayFlags & kProjectHeld) != 0;
      rate = ResearchRate(*r);
    }
    if (auto* bar = dynamic_cast<SlideBarControl*>(Tag(*this, "PROGBAR"))) {
      SliderSetMaxFloat(bar, total);
      SliderSetValueFloat(bar, total - remaining);
    }
    const bool closed = status == kResearchUnfunded || status == kResearchBlocked;
    SetHidden(Tag(*this, "HIDECOMP"), closed);
    SetHidden(Tag(*this, "STATUSSS1"), !closed);
    if (closed) {
      SetText(Tag(*this, "STATUSSS1"), TextListEntry(g_textLists, kListTechstatus, status));
      return;
    }
    Control* turns = Tag(*this, "TURNS");
    SetResearchTime(turns, remaining, rate);
    if (paused) SetText(turns, "PAUSED");
  }
};

}  // namespace

std::unique_ptr<Screen> MakeTechProgressPanel() { return std::make_unique<TechProgressPanel>(); }

// The pop-up.

void TechPopup::BindControls() {
  description = MakeTextBox("DESCRIPTION", 0, currentForm);
  tree = MakeListBox("LIST1", 0, currentForm, kListIndicators, this);
  StyleResearchNote(*this);
}

void TechPopup::OnOpen() {
  for (const char* tag : {"NEXTBUT2", "PREVBUT2", "NEXT", "PREV"}) SetHidden(Tag(*this, tag), true);
  Sheet sheet;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    item = DecodeTechParameter(g_world, id);
    if (item.kind != 0) sheet = ReadSheet(g_world, item);
  }
  // A project gone since the caller took its id leaves nothing to show.
  if (item.kind == 0) {
    Close();
    return;
  }
  const auto& [name, text, prereq1, prereq2, category, level, picture, second, price, points, rate, design] = sheet;
  const bool tech = item.kind == kProjectTechnology;
  SetHidden(Tag(*this, "TECHPIC"), !tech);
  SetHidden(Tag(*this, "UNITPIC"), tech);
  SetHidden(Tag(*this, "UNITPICT"), tech);
  if (tech) ShowTechPicture(currentForm, picture, 0);
  else DrawUnitPicture(currentForm, design, nullptr, -1, 1);
  if (Control* host = Tag(*this, "CLASSPAR"); host && classRow) {
    SetHidden(host, false);
    classRow->Show(tech ? -static_cast<intptr_t>(picture) : static_cast<intptr_t>(design.typeByte), host);
  }
  SetText(Tag(*this, "TECHNAME"), name.c_str());
  if (auto* s = dynamic_cast<StringControl*>(Tag(*this, "TECHLEV"))) s->SetTextFormat("%d", level);
  SetNumberWhereRoom(Tag(*this, "COST"), price);
  Control* days = Tag(*this, "DAYS");
  if (tech) SetResearchTime(days, points, rate);
  else if (days) SetText(days, FormatDuration(points).c_str()), days->flags &= ~0x1u;
  SetText(Tag(*this, "TECH1"), prereq1.c_str());
  SetText(Tag(*this, "TECH2"), prereq2.c_str());
  SetHidden(Tag(*this, "TECH2"), !second);
  SetHidden(Tag(*this, "VIEWUNIT"), tech);
  for (int32_t i = 1; i <= 6; ++i)
    if (Control* b = Id(*this, kCategoryButton + i)) SetText(b, TextListEntry(g_textLists, kListTechcategory, i));
  for (int32_t i = 0; i <= 6; ++i) SetHidden(Id(*this, kCategoryButton + i), !(tech && i == picture));
  SetText(Tag(*this, "TECHCAT"), category.c_str());
  if (description) TextBoxSetText(description, tech ? text.c_str() : "", kDescriptionCapacity, 1);
  for (const char* tag : {"PRETECH", "NEXTECH", "UNITECH"}) SetHidden(Tag(*this, tag), !tech);
}

void TechPopup::Refresh() {
  if (item.kind == 0) return;
  std::vector<TechTreeRow> rows;
  bool showProgress = false, pending = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const int32_t local = w.gameState.localPlayer;
    const bool tech = item.kind == kProjectTechnology;
    if (!tech || PressedBit(*this, "PRETECH")) rows = PrerequisiteRows(w, local, item.index, item.kind);
    else if (PressedBit(*this, "NEXTECH")) rows = DependentTechRows(w, local, item.index);
    else rows = DependentDesignRows(w, local, item.index);
    const ProjectEntry* p = item.project ? FindProjectById(w, item.project) : ItemProject(w, local, item);
    item.project = p ? p->id : 0;
    showProgress = p && (p->displayFlags & kProjectPursued) && !(p->displayFlags & kProjectClosed);
    const int32_t status = ResearchItemStatus(w, local, item.kind, item.index, p);
    SetText(Tag(*this, "STATUS"), TextListEntry(g_textLists, kListTechstatus, status));
    const int16_t* needs = PrerequisitesOf(w, item.index, item.kind);
    for (int i = 0; i < 2 && needs; ++i) pending |= TechInPlay(w, needs[i]) && !Knows(w, local, needs[i]);
  }
  if (tree) {
    const ListPlace place = ClearKeepingPlace(tree);
    for (const TechTreeRow& row : rows) {
      Control* c = ListAddTextItem(tree, row.name.c_str(), 0, row.index, 0, 0, 0);
      if (auto* s = dynamic_cast<StringControl*>(c); s && row.unknown) s->textColour = kUnknownItemColour;
    }
    RestoreSelectedValue(tree, place);
  }
  Control* dock = Tag(*this, "PAR1");
  SetHidden(dock, !showProgress);
  if (showProgress && dock) g_screens.techProgress->Show(item.project, dock);
  ResearchQueueListEvent(currentForm, item.project, item.index, item.kind);
  SetHidden(Tag(*this, "PENDREQ"), !pending);
}

void TechPopup::OnCommand(Control* control, int32_t) {
  if (!control || control == tree) return;
  if (Is(control, "CLOSE")) {
    Close();
  } else if (Is(control, "PRETECH") || Is(control, "NEXTECH") || Is(control, "UNITECH")) {
    Refresh();
  } else if (Is(control, "VIEWUNIT")) {
    if (item.kind != kProjectDesign) return;
    bool missile = false;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      missile = (g_world.unitClasses[static_cast<size_t>(item.index)].flags & kClassStock) != 0;
    }
    if (missile) g_screens.missileDesignView.Popup(item.index, nullptr);
    else g_screens.unitBuild.Popup(item.index, nullptr);
  } else if (Is(control, "BEGIN")) {
    MessageParams news{static_cast<uint32_t>(item.index)};
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      World& w = g_world;
      const int32_t local = w.gameState.localPlayer;
      if (local < 0 || local >= kMaxPlayers) return;
      RequestResearchPath(w, local, static_cast<uint32_t>(item.index), static_cast<uint32_t>(item.kind));
      if (item.kind == kProjectDesign) news.p2 = w.unitClasses[static_cast<size_t>(item.index)].typeByte;
    }
    Popup(kKeepScreenId, nullptr);
    const uint32_t type = item.kind == kProjectDesign ? kMsgDesignResearchBegun : kMsgTechResearchBegun;
    plat::CriticalSectionLock lock(g_simulationLock);
    const int32_t local = g_world.gameState.localPlayer;
    if (local >= 0 && local < kMaxPlayers) AddLocalNewsItem(g_world, g_world.players[local], type, 0, news);
  } else if (!Is(control, "PREV") && !Is(control, "NEXT") && !Is(control, "NEXTBUT2") &&
             !Is(control, "PREVBUT2")) {
    if (item.project != 0) ResearchQueueButton(control, item.project, nullptr);
    Refresh();
  }
}

void TechPopup::OnActivate(Control* control, int32_t) {
  if (!control || control != tree || tree->selectedValue == 0) return;
  const intptr_t index = tree->selectedValue;
  Popup(PressedBit(*this, "UNITECH") ? -index : index, nullptr);
}
