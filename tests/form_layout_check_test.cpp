// Every compiled form is laid out so a player can read and use it at every
// display mode the options offer: each control inside its parent, no
// sibling drawn over another unless the form means it, every fixed text
// inside its control at the control's own font, every edit field reached
// and put into typing by a click, no see-through fill on a form's root, and
// the side panels inside the side box. The check first proves it finds each
// fault in a small form made here, then runs over the shipped forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/fonts.h"
#include "platform/paths.h"
#include "screens/frontend/option_pages.h"
#include "support/private_game_root.h"
#include "support/control_layout.h"
#include "support/global_guard.h"
#include "ui/box_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/form_file.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"

namespace {

enum class Fault { kOutsideParent, kOverlap, kTextCut, kEditDeaf, kSeeThrough, kSideTooTall, kOffScreen };
constexpr const char* kFaultNames[] = {"outside its parent", "over a sibling",   "text cut",
                                       "edit ignores a click", "see-through fill", "taller than the side box",
                                       "off the screen"};
constexpr int kFaultKinds = 7;

struct Finding {
  Fault fault;
  std::string where;
};

// Sibling pairs meant to share their place, by form and the two names (the
// tag, or for an untagged control its quoted text), with the reason. A "*"
// first name stands for every pair of the form, a "*" second name for every
// sibling of the first; a name ending in "*" for every name it begins.
struct MeantOverlap {
  const char* form;
  const char* first;
  const char* second;
  const char* why;
};
constexpr MeantOverlap kMeantOverlaps[] = {
    {"MILITARY1_ss4a1", "*", "", "each unit type's figures share their rows; the page hides all but one type's"},
    {"POPUP_MISSILE_SS2", "*", "", "each unit type's figures share their rows; the page hides all but one type's"},
    {"POPUP_MILITARY3", "*", "", "each unit type's figures share their rows; the page hides all but one type's"},
    {"POPUP_MISSILE1a", "49*", "49*", "each carrier kind is marked as one that may carry the class or one that may not, one at a time"},
    {"FORMEDIT", "*", "", "the layout editor's sheets share one place; it shows one at a time"},
    {"SIDEBAR0", "MINIMAPRECT", "MINIMAPBOX", "the view box is drawn over the minimap it frames"},
    {"VICTORY_SS1", "CHANGEGOV1", "UNABLEGOV1", "a form the region cannot support is greyed by a line over its button"},
    {"VICTORY_SS1", "CHANGEGOV2", "UNABLEGOV2", "a form the region cannot support is greyed by a line over its button"},
    {"VICTORY_SS1", "CHANGEGOV3", "UNABLEGOV3", "a form the region cannot support is greyed by a line over its button"},
    {"VICTORY_SS1", "CHANGEGOV4", "UNABLEGOV4", "a form the region cannot support is greyed by a line over its button"},
    {"GAME_SS3", "OKSAVE", "SAVEHIDE", "the question to replace a save takes the place of Save and Cancel, hidden while it asks"},
    {"GAME_SS3", "CANBUT", "SAVEHIDE", "the question to replace a save takes the place of Save and Cancel, hidden while it asks"},
    {"DIPLOMACY1_SS2c", "HIDEBOX", "HIDECONFIRM", "the question to end an agreement takes the place of its button"},
    {"ORDERS1c", "CARGO", "MISSILE", "the row names the cargo bar by what the unit carries, one label at a time"},
    {"MAP1_ss6d", "HIDEAUTO", "*", "the cover hides the manual controls while the computer builds"},
    {"POPUP_MISSILE1", "SUBPARENT4", "HIDEAUTOB", "the computer's build settings cover the build list while it builds"},
    {"POPUP_DIPLOMACY_SS1e", "130", "STRENGTH", "the strength shows as a bar or as its figure, one at a time"},
    {"DIPPLAYERLIST", "RELATION", "BELLISLDR", "a neutral region's row shows the slider, any other its relation marker"},
    {"MULTI_WAIT1", "HEADER", "LOSTHOST", "the host-left notice takes the header's place, hidden while it shows"},
    {"MULTI_WAIT1", "HEADER", "NEWHOST", "the host-left notice takes the header's place, hidden while it shows"},
    {"MULTI_WAIT1", "START", "CLOSE", "Start is offered while loading, Close at any other time"},
    {"MULTI_WAIT1B", "FLAG", "DEAD", "a region out of the game has its flag crossed out"},
    {"SM_PLAYER1", "MENU", "QUITBOX", "the quit question takes the menu's place, hidden while it asks"},
    {"OPS1_SS4cFILL", "MILOPS", "INTELOPS", "the row names its kind of operation, one label at a time"},
    {"OPS1_SS4b", "CALPARENT", "HIDECONFIRM", "the launch question takes the calendar's place, hidden while it asks"},
    {"MILITARY1B", "BASEPIC", "BASEBUT", "the department's picture is its button"},
    {"MAP1_ss6a", "PAUSE", "RESUME", "a facility being built offers Pause, a paused one Resume"},
    {"MAP1_ss6a", "ACTIVATE", "DEACTIVATE", "an active facility offers Deactivate, any other Activate"},
    {"POPUP_BASE1a", "STATUS", "STATUSOFF", "the light names the facility online or offline, one word at a time"},
    {"POPUP_BASE1e", "PAUSE", "RESUME", "a facility being built offers Pause, a paused one Resume"},
    {"POPUP_BASE1e", "ACTIVATE", "DEACTIVATE", "an active facility offers Deactivate, any other Activate"},
    {"POPUP_DEPOT1", "PAUSE", "RESUME", "a facility being built offers Pause, a paused one Resume"},
    {"POPUP_DEPOT1", "ACTIVATE", "DEACTIVATE", "an active facility offers Deactivate, any other Activate"},
    {"POPUP_DEPOT1", "PREVBUT", "NEXTBUT2", "the second step pair stays hidden in the first pair's place"},
    {"POPUP_DEPOT1", "NEXTBUT", "PREVBUT2", "the second step pair stays hidden in the first pair's place"},
    {"POPUP_BASE1", "PREVBUT", "NEXTBUT2", "the second step pair stays hidden in the first pair's place"},
    {"POPUP_BASE1", "NEXTBUT", "PREVBUT2", "the second step pair stays hidden in the first pair's place"},
    {"POPUP_BASE1c", "CONFIRM", "CONFIRM2", "the question names the units when there are some, one question at a time"},
    {"MAP1_ss6b", "CONFIRM", "CONFIRM2", "the question to destroy takes the place of the one to remove"},
    {"MAP1_ss6c", "HEADER", "RALLY", "the rally point's state is named by one label at a time"},
    {"MAP1_ss6c", "HEADER", "SELECT", "the rally point's state is named by one label at a time"},
    {"MAP1_ss4", "UNITPIC", "UNITPICT", "a unit's second symbol is drawn over its picture"},
    {"POPUP_ULIST1c", "UNITPIC", "UNITPICT", "a unit's second symbol is drawn over its picture"},
    {"POPUP_MISSILE", "UNITPIC", "UNITPICT", "a unit's second symbol is drawn over its picture"},
    {"POPUP_ULIST1", "UNITHEADER", "PRODHEADER", "the list's header names units or production, one at a time"},
    {"POPUP_ULIST1a", "213", "3", "a one-member class's strength as a percentage takes the place of the count pair"},
    {"POPUP_ULIST1a", "213", "4", "a one-member class's strength as a percentage takes the place of the count pair"},
    {"MAP1_SS4B1", "*", "", "each figure is a bar or a number by the option, one at a time"},
    {"POPUP_BASE2", "*", "", "each figure is a bar or a number by the option, the number written over the bar as its hint"},
    {"POPUP_BASE3", "*", "", "each figure is a bar or a number by the option, the number written over the bar as its hint"},
    {"MILITARY_UNIT", "UNITPIC", "UNITPICT", "a unit's second symbol is drawn over its picture"},
    {"POPUP_MILITARY1", "UNITPIC", "UNITPICT", "a unit's second symbol is drawn over its picture"},
    {"OPS1_SS4d2", "\"Target\"", "*", "the first line names the target, its warhead or its yield, one at a time"},
    {"OPS1_SS4dfill", "INDPIC", "LANDPIC", "a target row shows its facility's picture, or the land mark where there is none"},
    {"MAP1_ss8b", "665", "666", "a weapon is marked free to launch or as needing release, one mark at a time"},
    {"MAP1_ss8b", "TARGET", "CLEARTARG", "a weapon with a target offers Clear where one without offers Pick"},
    {"POPUP_SILO1g1", "665", "666", "a weapon is marked free to launch or as needing release, one mark at a time"},
    {"POPUP_SILO1g1", "TARGET", "CLEARTARG", "a weapon with a target offers Clear where one without offers Pick"},
    {"POPUP_TECH_ss1", "HIDECOMP", "STATUSSS1", "an unfunded or blocked project shows its status in place of the time left"},
    {"ORDERS1_ss4", "COVER*", "PROG*", "a programme the units may not take is covered over its button"},
    {"ORDERS1_ss4", "TRAINING*", "PROG*", "the first four programmes are covered while the units train"},
    {"ORDERS1_ss4", "TRAINING*", "COVER*", "a programme closed to the units and while they train shows one cover"},
    {"POPUP_MILITARY1A1", "COVER*", "PROG*", "a programme the unit may not take is covered over its button"},
    {"POPUP_MILITARY1A1", "TRAINING*", "PROG*", "the first four programmes are covered while the unit trains"},
    {"POPUP_MILITARY1A1", "TRAINING*", "COVER*", "a programme closed to the unit and while it trains shows one cover"},
    {"ORDERS1_ss5", "GRIDTIP", "\"Train\"", "a unit in training has Train covered"},
    {"ORDERS1_ss5", "GRIDSPLIT1", "\"Split\"", "a unit too small to split has Split covered"},
    {"ORDERS1_ss5", "GRIDINACT", "\"Base\"", "an inactive unit has Base covered"},
    {"ORDERS1_ss5", "GRIDDEPLOY", "\"Deploy\"", "a unit without crew has Deploy covered"},
    {"POPUP_MILITARY1A", "GRIDTIP", "\"Train\"", "a unit in training has Train covered"},
    {"POPUP_MILITARY1A", "GRIDSPLIT1", "\"Split\"", "a unit too small to split has Split covered"},
    {"POPUP_MILITARY1A", "GRIDINACT", "\"Base\"", "an inactive unit has Base covered"},
    {"POPUP_MILITARY1A", "GRIDDEPLOY", "\"Deploy\"", "a unit without crew has Deploy covered"},
    {"POPUP_MILITARY1A6", "GRIDUPG2", "UPGRADE", "a unit with no upgrade has its button covered"},
    {"POPUP_MILITARY1A6", "GRIDREF*", "ROLE", "a unit that cannot change its role yet, or has none to change to, has its button covered"},
    {"POPUP_MILITARY1A6", "GRIDCHEM*", "SHELLS", "a unit barred from, using or without chemical shells has its button covered"},
    {"POPUP_MILITARY1A6C", "STD", "CHEM", "the shells loaded are named by one line at a time"},
    {"POPUP_MILITARY1c", "HOLD", "UNHOLD", "an item on hold offers Resume, any other Hold"},
    {"ORDERS1", "CLASSHIDE", "ADD", "the note that the units are mixed takes the place of the class and type buttons"},
    {"ORDERS1", "CLASSHIDE", "REM", "the note that the units are mixed takes the place of the class and type buttons"},
    {"ORDERS1_ss6", "UNITPIC", "UNITPICT", "a unit's second symbol is drawn over its picture"},
    {"ORDERS1b", "UNITPIC", "UNITPICT", "a unit's second symbol is drawn over its picture"},
    {"POPUP_MILITARY2", "UNITPIC", "UNITPICT", "a unit's second symbol is drawn over its picture"},
    {"POPUP_MILITARY3A", "15*", "25*", "each figure is a bar or a number by the option, one at a time"},
    {"POPUP_MISSILE_SS3b", "30*", "20*", "a kind of platform the design cannot use is covered over its button"},
    {"MILITARY_PROGRESS", "CARGOICON", "NAME", "the row moves its name past the mark it shows"},
    {"MILITARY_PROGRESS", "MISICON", "NAME", "the row moves its name past the mark it shows"},
    {"MILITARY_PROGRESS", "LANDEDICON", "NAME", "the row moves its name past the mark it shows"},
    {"MILITARY_PROGRESS", "RESICON", "NAME", "the row moves its name past the mark it shows"},
    {"MISSILE_PROGRESS", "TARGICON", "NAME", "the row moves its name past the target mark when it shows"},
    {"MILITARY1_ss3a", "LANDF*", "AIRF*", "each domain's class filters share one row; the page shows one domain's"},
    {"MILITARY1_ss3a", "LANDF*", "SEAF*", "each domain's class filters share one row; the page shows one domain's"},
    {"MILITARY1_ss3a", "AIRF*", "SEAF*", "each domain's class filters share one row; the page shows one domain's"},
    {"MILITARY1_ss1c", "LANDF*", "AIRF*", "each category's class filters share one row; the page shows one category's"},
    {"MILITARY1_ss1c", "LANDF*", "SEAF*", "each category's class filters share one row; the page shows one category's"},
    {"MILITARY1_ss1c", "AIRF*", "SEAF*", "each category's class filters share one row; the page shows one category's"},
};

// Controls meant to reach past their parent, by form and tag.
struct MeantOutside {
  const char* form;
  const char* tag;
  const char* why;
};
constexpr MeantOutside kMeantOutside[] = {
    {"DIPLOMACY1", "PARENT1", "the minister's cabinet hangs beside the page, where the dock's second level opens"},
    {"DOMPOLICY1", "PARENT1", "the minister's cabinet hangs beside the page, where the dock's second level opens"},
    {"MILITARY1", "PARENT1", "the minister's cabinet hangs beside the page, where the dock's second level opens"},
    {"OPS1", "PARENT1", "the minister's cabinet hangs beside the page, where the dock's second level opens"},
    {"ECONOMY1", "PARENT1", "the minister's cabinet hangs beside the page, where the dock's second level opens"},
};

// The right column's side panels: the part of the side box each one is
// placed in, a whole box or its top or bottom half. A panel placed as a
// half shows only its part of that name where it has one.
struct SidePanel {
  int32_t height;
  const char* part;
};
const std::map<std::string, SidePanel>& SidePanels() {
  constexpr int32_t kWhole = kSideBoxHeight, kHalf = kSideBoxHeight / 2;
  static const std::map<std::string, SidePanel> panels = {
      {"ECONOMY3_SS1", {kWhole, ""}},    {"DIPLOMACY2a_SS1", {kWhole, ""}},  {"STATUS2", {kWhole, ""}},
      {"DOMPOLICY2", {kWhole, ""}},      {"MAP2", {kWhole, ""}},             {"MAP3", {kWhole, ""}},
      {"FILTER1", {kWhole, ""}},         {"ECONOMY3", {kHalf, "TOP"}},       {"DIPLOMACY2a", {kHalf, "TOP"}},
      {"DIPLOMACY2b", {kHalf, "TOP"}},   {"MILITARY2", {kHalf, "TOP"}},      {"OPS2", {kHalf, "TOP"}},
      {"ECONOMY2", {kHalf, "BOTTOM"}},   {"ECONOMY2A", {kHalf, "BOTTOM"}},   {"ECONOMY2B", {kHalf, "BOTTOM"}},
      {"DIPLOMACY3", {kHalf, "BOTTOM"}}, {"PRODUCT2_SS2", {kHalf, "BOTTOM"}}, {"PRODUCT2_SS2a", {kHalf, "BOTTOM"}},
      {"MILITARY3", {kHalf, "BOTTOM"}},
  };
  return panels;
}


std::string Name(const Control* c) {
  const std::string tag = TagOf(c);
  if (!tag.empty()) return tag;
  if (c->kind == kKindString || c->kind == kKindText || c->kind == kKindEdit) {
    const auto* s = static_cast<const StringControl*>(c);
    if (!s->text.empty()) return "\"" + s->text + "\"";
  }
  return "(kind " + std::to_string(c->kind) + " at " + std::to_string(c->rect.left) + "," +
         std::to_string(c->rect.top) + ")";
}

std::vector<Control*> Children(const Control* parent) {
  std::vector<Control*> out;
  if (Control* first = parent->firstChild) {
    Control* c = first;
    do {
      out.push_back(c);
      c = c->NextInRing();
    } while (c && c != first);
  }
  return out;
}

bool StartsHidden(const Control* c) { return (c->flags & kCtlStartHidden) || (c->state & kStateHidden); }
bool Empty(const plat::Rect& r) { return r.right <= r.left || r.bottom <= r.top; }
plat::Rect RectOf(const Control* c) { return {c->rect.left, c->rect.top, c->rect.right, c->rect.bottom}; }
bool Contains(const plat::Rect& outer, const plat::Rect& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// The text a string kind shows as the form gives it.
std::string FixedText(const Control* c) {
  if (c->kind == kKindString) return static_cast<const StringControl*>(c)->text;
  const auto* t = static_cast<const TextControl*>(c);
  return t->sourceText.empty() ? t->text : t->sourceText;
}

// An empty box holding the other whole is its frame, grid or backdrop.
bool Frame(const Control* box, const Control* inside) {
  return box->kind == kKindBox && !box->firstChild && Contains(RectOf(box), RectOf(inside));
}

bool NameMatches(const std::string& pattern, const std::string& name) {
  if (!pattern.empty() && pattern.back() == '*') return name.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
  return name == pattern;
}

bool MeantToOverlap(const std::string& form, const Control* a, const Control* b) {
  for (const MeantOverlap& m : kMeantOverlaps) {
    if (form != m.form) continue;
    const std::string ta = TagOf(a), tb = TagOf(b);
    const std::string na = ta.empty() ? Name(a) : ta, nb = tb.empty() ? Name(b) : tb;
    if (std::string(m.first) == "*" || (NameMatches(m.first, na) && NameMatches(m.second, nb)) ||
        (NameMatches(m.first, nb) && NameMatches(m.second, na)))
      return true;
  }
  return false;
}

bool MeantOutsideParent(const std::string& form, const Control* c) {
  return std::any_of(std::begin(kMeantOutside), std::end(kMeantOutside),
                     [&](const MeantOutside& m) { return form == m.form && TagOf(c) == m.tag; });
}

// The width and height a single line of text takes at the font; several
// lines are wrapped at the width given.
void Measure(const BitmapFont* font, const std::string& text, bool wrap, int32_t width, int32_t* w, int32_t* h) {
  if (!wrap) {
    MeasureText(font, text.c_str(), w, h);
    return;
  }
  plat::Rect box{0, 0, width, 0};
  *h = DrawTextAt(&box, const_cast<BitmapFont*>(font), text.c_str(), kTextWordBreak | kTextCalcRect, 0);
  *w = box.right;
}

// The line height takes in the font's whole descent; a line keeps its
// capitals and the most of its descenders in four fifths of it.
bool TallEnough(int32_t needed, int32_t lineHeight, int32_t height) {
  return int64_t{needed - lineHeight} * 5 + int64_t{lineHeight} * 4 <= int64_t{height} * 5;
}

void CheckText(const std::string& form, const Control* c, std::vector<Finding>& out) {
  const auto* s = static_cast<const StringControl*>(c);
  const std::string text = FixedText(c);
  if (text.empty()) return;
  const BitmapFont* font = s->Font();
  if (!font) return;
  const int32_t width = Width(c), height = Height(c);
  int32_t w = 0, h = 0, lineWidth = 0, lineHeight = 0;
  const bool wrap = (c->flags & kCtlMultiLine) != 0;
  Measure(font, text, wrap, width, &w, &h);
  MeasureText(font, " ", &lineWidth, &lineHeight);
  if (w > width || !TallEnough(h, lineHeight, height))
    out.push_back({Fault::kTextCut, form + " " + Name(c) + " needs " + std::to_string(w) + "x" + std::to_string(h) +
                                        " in " + std::to_string(width) + "x" + std::to_string(height)});
}

// A click at the middle of the field reaches it through the form and
// starts the typing.
void CheckEdit(const std::string& form, Control* root, Control* edit, std::vector<Finding>& out) {
  GlobalGuard keep(g_controls);
  g_controls = {};
  // A part hidden at the start is shown before its field is used.
  std::vector<std::pair<Control*, uint32_t>> shown;
  for (Control* up = edit->parent; up; up = up->parent) {
    shown.emplace_back(up, up->state);
    up->state &= ~kStateHidden;
  }
  const plat::Rect r = ControlAbsoluteRect(edit);
  const int32_t x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  // A cousin over it is an overlap of their parents, reported as that.
  Control* hit = ControlHitTest(edit->parent ? edit->parent->firstChild : root, x, y, kAnyDepth, 1);
  bool typing = false;
  if (hit == edit) {
    edit->HandleMouse(static_cast<int32_t>(plat::kWmLButtonDown), plat::kMkLButton, x, y);
    typing = g_controls.edit == edit;
    edit->HandleMouse(static_cast<int32_t>(plat::kWmLButtonUp), 0, x, y);
  }
  if (g_controls.capture) ReleaseCaptureControl(nullptr, 0, 0, 0, 0);
  EndTextEdit();
  for (const auto& [up, state] : shown) up->state = state;
  if (!typing)
    out.push_back({Fault::kEditDeaf, form + " " + Name(edit) + (hit == edit ? " takes no typing" : " is under " + (hit ? Name(hit) : std::string("nothing")))});
}

void CheckTree(const std::string& form, Control* root, Control* parent, std::vector<Finding>& out) {
  const std::vector<Control*> kids = Children(parent);
  const plat::Rect inside{0, 0, Width(parent), Height(parent)};
  for (size_t i = 0; i < kids.size(); ++i) {
    Control* c = kids[i];
    if (!Empty(RectOf(c)) && !Contains(inside, RectOf(c)) && !MeantOutsideParent(form, c))
      out.push_back({Fault::kOutsideParent, form + " " + Name(c) + " in " + Name(parent)});
    if (IsStringKind(c)) CheckText(form, c, out);
    if (c->kind == kKindEdit && !StartsHidden(c)) CheckEdit(form, root, c, out);
    if (Empty(RectOf(c))) continue;
    for (size_t j = i + 1; j < kids.size(); ++j) {
      Control* d = kids[j];
      // Two parts hidden at the start are shown in turn; a part shown over
      // a control that stays shown is a fault.
      if ((StartsHidden(c) && StartsHidden(d)) || Empty(RectOf(d)) || !plat::RectsOverlap(RectOf(c), RectOf(d))) continue;
      if (Frame(c, d) || Frame(d, c) || MeantToOverlap(form, c, d)) continue;
      out.push_back({Fault::kOverlap, form + " " + Name(c) + " and " + Name(d)});
    }
    CheckTree(form, root, c, out);
  }
}

std::vector<Finding> CheckForm(const std::string& form, Control* root) {
  std::vector<Finding> out;
  const uint32_t alpha = root->fills[kLookNormal] >> 24;
  if (root->frameStyle == 0 && alpha != 0 && alpha != 0xFF)
    out.push_back({Fault::kSeeThrough, form + " fill alpha " + std::to_string(alpha)});
  if (const auto side = SidePanels().find(form); side != SidePanels().end()) {
    const Control* part = *side->second.part ? FormFindControlByTag(root, side->second.part) : nullptr;
    const int32_t height = part ? Height(part) : Height(root);
    if (height > side->second.height)
      out.push_back({Fault::kSideTooTall, form + " is " + std::to_string(height) + " high for " +
                                              std::to_string(side->second.height)});
  }
  for (const DisplayMode& mode : DisplayModes()) {
    const plat::Rect screen{0, 0, mode.width, mode.height};
    // A form placed at its own position must be wholly on the screen; one
    // a host places is measured by its size.
    const plat::Rect r = RectOf(root);
    if (!Contains(screen, r) && !Contains(screen, {0, 0, Width(root), Height(root)}))
      out.push_back({Fault::kOffScreen, form + " " + std::to_string(Width(root)) + "x" + std::to_string(Height(root)) +
                                            " at " + std::to_string(mode.width) + "x" + std::to_string(mode.height)});
  }
  CheckTree(form, root, root, out);
  return out;
}

// Forms still waiting for their layout pass, with the faults each has now.
// A form leaves the list once it is clear; its count may only go down.
const std::map<std::string, int>& FormsAwaitingLayout() {
  static const std::map<std::string, int> forms = {
#include "form_layout_awaiting.inc"
  };
  return forms;
}

class FormLayoutCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetDataRoot(PrivateGameRoot());
    std::strcpy(g_app.hapsDirectory, "HAPS\\");
    hadFonts_ = g_platform.fontTable != nullptr;
    if (!hadFonts_) LoadFontTable();
  }
  void TearDown() override {
    if (!hadFonts_) FreeAllFonts(g_platform);
    plat::SetDataRoot(oldRoot_);
  }

  const std::string oldRoot_ = plat::DataRoot();
  GlobalGuard<char[sizeof g_app.hapsDirectory]> haps_{g_app.hapsDirectory};
  bool hadFonts_ = false;
};

// Small forms made here, each with one fault the check must name, and one
// without.
ControlInit Init(const char* tag, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t flags = 0) {
  ControlInit init;
  init.tag = tag;
  init.flags = flags;
  init.left = left, init.top = top, init.width = width, init.height = height;
  return init;
}
Control* Box(const char* tag, int32_t left, int32_t top, int32_t width, int32_t height, uint32_t fill = 0xFF1C2630) {
  ControlInit init = Init(tag, left, top, width, height);
  init.kind = kKindBox;
  init.fillNormal = fill;
  return new BoxControl(init);
}
Control* Label(const char* tag, const char* text, int32_t left, int32_t top, int32_t width, int32_t height,
               uint32_t font = 2) {
  ControlInit init = Init(tag, left, top, width, height);
  init.text = text;
  StringInit look;
  look.fontSlot = font;
  auto* c = new StringControl(init, look);
  c->text = text;
  return c;
}
Control* Field(const char* tag, int32_t left, int32_t top, uint32_t flags) {
  StringInit look;
  look.fontSlot = 2;
  return new EditControl(Init(tag, left, top, 60, 16, flags), look, 8, 0);
}
Control* With(Control* parent, std::initializer_list<Control*> kids) {
  for (Control* k : kids) ControlAddChild(parent, k);
  return parent;
}

TEST_F(FormLayoutCheck, EachSampleFaultIsFoundAndACleanFormPasses) {
  const struct {
    const char* name;
    Control* (*make)();
    int fault;  // -1: none
  } rows[] = {
      {"CLEAN", [] { return With(Box("CLEAN", 0, 0, 200, 100), {Label("A", "Name", 4, 4, 60, 16), Field("B", 70, 4, kCtlCaptureOnly)}); }, -1},
      {"OUTSIDE", [] { return With(Box("OUTSIDE", 0, 0, 200, 100), {Box("KID", 150, 4, 60, 16)}); },
       static_cast<int>(Fault::kOutsideParent)},
      {"OVERLAP", [] { return With(Box("OVERLAP", 0, 0, 200, 100), {Label("A", "Ceasefire", 4, 4, 80, 16), Label("B", "Stay", 40, 4, 80, 16)}); },
       static_cast<int>(Fault::kOverlap)},
      {"SHOWNOVER", [] {
         Control* part = Box("PART", 4, 4, 120, 16, 0);
         part->flags |= kCtlStartHidden, part->state |= kStateHidden;
         return With(Box("SHOWNOVER", 0, 0, 200, 100), {Label("A", "Ceasefire", 4, 4, 80, 16), With(part, {Label("B", "Stay", 0, 0, 80, 16)})});
       }, static_cast<int>(Fault::kOverlap)},
      {"WIDE", [] { return With(Box("WIDE", 0, 0, 200, 100), {Label("A", "GDP per head", 4, 4, 40, 16)}); },
       static_cast<int>(Fault::kTextCut)},
      {"LOW", [] { return With(Box("LOW", 0, 0, 200, 100), {Label("A", "Land", 4, 4, 80, 8)}); },
       static_cast<int>(Fault::kTextCut)},
      {"COVERED", [] { return With(Box("COVERED", 0, 0, 200, 100), {Field("B", 70, 4, kCtlCaptureOnly), Box("LID", 60, 0, 90, 30)}); },
       static_cast<int>(Fault::kEditDeaf)},
      {"THIN", [] { return Box("THIN", 0, 0, 200, 100, 0xE01C2630); }, static_cast<int>(Fault::kSeeThrough)},
      {"DOMPOLICY2", [] { return Box("DOMPOLICY2", 0, 0, 224, kSideBoxHeight + 1); }, static_cast<int>(Fault::kSideTooTall)},
      {"HUGE", [] { return Box("HUGE", 0, 0, 1056, 976); }, static_cast<int>(Fault::kOffScreen)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Control* root = row.make();
    const std::vector<Finding> found = CheckForm(row.name, root);
    delete root;
    if (row.fault < 0) {
      EXPECT_TRUE(found.empty()) << found.front().where;
      continue;
    }
    ASSERT_FALSE(found.empty());
    for (const Finding& f : found) EXPECT_EQ(static_cast<int>(f.fault), row.fault) << f.where;
  }
}

TEST_F(FormLayoutCheck, ShippedFormsHaveNoFaultsButThoseAwaitingTheirLayout) {
  const std::filesystem::path haps = std::filesystem::path(VD_GAME_EXE).parent_path() / "HAPS";
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(haps))
    if (entry.path().extension() == ".HAP") names.insert(entry.path().stem().string());
  ASSERT_GT(names.size(), 300u);
  int counts[kFaultKinds] = {};
  for (const std::string& name : names) {
    Control* root = LoadFormFile(name.c_str(), nullptr, nullptr, nullptr);
    if (!root) {
      ADD_FAILURE() << name << " does not load";
      continue;
    }
    const std::vector<Finding> found = CheckForm(name, root);
    delete root;
    for (const Finding& f : found) ++counts[static_cast<int>(f.fault)];
    const auto awaiting = FormsAwaitingLayout().find(name);
    const int allowed = awaiting == FormsAwaitingLayout().end() ? 0 : awaiting->second;
    if (static_cast<int>(found.size()) > allowed)
      for (const Finding& f : found) ADD_FAILURE() << kFaultNames[static_cast<int>(f.fault)] << ": " << f.where;
    EXPECT_FALSE(awaiting != FormsAwaitingLayout().end() && static_cast<int>(found.size()) < allowed)
        << name << " has " << found.size() << " faults now: lower its count (or drop it) in the awaiting list";
  }
  for (int k = 0; k < kFaultKinds; ++k) std::printf("%-26s %d\n", kFaultNames[k], counts[k]);
}

}  // namespace
