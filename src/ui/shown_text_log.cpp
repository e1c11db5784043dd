#include "ui/shown_text_log.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "app/gfx/fonts.h"
#include "ui/control.h"
#include "ui/screen.h"
#include "ui/text_fit.h"

namespace {

struct NotedText {
  const void* form;      // the form the text belongs to, compared only
  std::string formName;  // its tag
  std::string name;      // the control's tag or id
  std::string wanted, shown;
  plat::Rect box{}, drawn{};
  int32_t space = 0;  // a space's width in its font: the least gap to a neighbour
  bool cut = false;
  bool scrolls = false;  // a text box's text taller than its box
  bool hidesRows = false;  // a list's rows laid out for another height
};

struct ShownTextLog {
  bool kept = false;
  std::map<const Control*, NotedText> texts;
  const Control* rowsOf = nullptr;  // the list whose rows are being drawn
};

ShownTextLog& NotedTextLog() {
  static ShownTextLog log;
  return log;
}

std::string NotedTagText(const Control* c) { return std::string(c->tag, strnlen(c->tag, sizeof c->tag)); }

// The root of the form the control is part of: a form a list row or a
// host shows, a screen's current form, or the top of its tree.
const Control* FormRootOfText(const Control* c) {
  const Control* n = c;
  for (; n->parent; n = n->parent) {
    if (n->parent->flags & kCtlHost) return n;
    if (n->owner && n->owner->currentForm == n) return n;
  }
  return n;
}

// A line keeps its capitals and the most of its descenders in four fifths
// of the font's line height.
bool FitsHeight(int32_t needed, int32_t lineHeight, int32_t height) {
  return int64_t{needed - lineHeight} * 5 + int64_t{lineHeight} * 4 <= int64_t{height} * 5;
}

// A mark that joins the texts either side of it, as "/" joins a figure to
// its most.
bool JoinsNeighbours(const std::string& text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

std::string DescribeNoted(const NotedText& t) { return t.formName + " " + t.name + " \"" + t.wanted + "\""; }

// The form a text is part of, named with the host it is shown in and the
// host's form.
NotedText NotedTextOf(const Control* control) {
  const Control* form = FormRootOfText(control);
  NotedText t;
  t.form = form;
  t.formName = NotedTagText(form);
  t.name = NotedTagText(control);
  if (const Control* host = form->parent) {
    t.formName += " in " + NotedTagText(host);
    if (host->parent) t.formName += " of " + NotedTagText(FormRootOfText(host));
  }
  if (t.name.empty()) t.name = "id " + std::to_string(control->id);
  // A text row of a list stands outside the list's children: it is named
  // by its list, and its list is the form it shares with the other rows,
  // so two rows drawn into each other are found.
  if (const Control* list = NotedTextLog().rowsOf; list && !control->parent) {
    const NotedText of = NotedTextOf(list);
    t.form = list;
    t.formName = of.formName;
    t.name = of.name + " row " + t.name;
  }
  return t;
}

}  // namespace

void StartShownTextLog() {
  NotedTextLog().texts.clear();
  NotedTextLog().kept = true;
}

void StopShownTextLog() {
  NotedTextLog().texts.clear();
  NotedTextLog().kept = false;
  NotedTextLog().rowsOf = nullptr;
}

bool ShownTextLogKept() { return NotedTextLog().kept; }

void NoteShownText(const Control* control, const std::string& wanted, const std::string& shown, BitmapFont* font,
                   const plat::Rect& box, const plat::Rect& drawn, bool wrapped) {
  if (!NotedTextLog().kept || !control || wanted.empty()) return;
  NotedText t = NotedTextOf(control);
  t.wanted = wanted;
  t.shown = shown;
  t.box = box;
  t.drawn = drawn;
  int32_t lineHeight = 0;
  MeasureText(font, " ", &t.space, &lineHeight);
  const int32_t height = drawn.bottom - drawn.top;
  // A wrapped text cut at its box's foot, or with a word wider than its
  // box; a line cut to dots, or lower than its font.
  t.cut = shown != wanted || drawn.right - drawn.left > box.right - box.left ||
          (!shown.empty() && (drawn.left < box.left || drawn.right > box.right)) ||
          !FitsHeight(wrapped ? height : lineHeight, lineHeight, box.bottom - box.top);
  NotedTextLog().texts[control] = std::move(t);
}

void NoteRowsOfList(const Control* list) {
  if (NotedTextLog().kept) NotedTextLog().rowsOf = list;
}

void NoteScrolledText(const Control* box, const std::string& text) {
  if (!NotedTextLog().kept || !box || text.empty()) return;
  NotedText t = NotedTextOf(box);
  t.wanted = text;
  t.box = ControlAbsoluteRect(box);
  t.scrolls = true;
  NotedTextLog().texts[box] = std::move(t);
}

void NoteHiddenRows(const Control* list, int32_t scrolled) {
  if (!NotedTextLog().kept || !list) return;
  NotedText t = NotedTextOf(list);
  t.wanted = "scrolled by " + std::to_string(scrolled);
  t.box = ControlAbsoluteRect(list);
  t.hidesRows = true;
  NotedTextLog().texts[list] = std::move(t);
}

std::vector<std::string> ShownTextFaults() {
  std::vector<std::string> faults;
  std::vector<const NotedText*> texts;
  for (const auto& [control, t] : NotedTextLog().texts) {
    if (t.hidesRows) {
      faults.push_back("hides rows: " + DescribeNoted(t) + " laid out for another height than its " +
                       std::to_string(t.box.right - t.box.left) + "x" + std::to_string(t.box.bottom - t.box.top));
      continue;
    }
    if (t.scrolls) {
      faults.push_back("scrolls: " + DescribeNoted(t) + " in " + std::to_string(t.box.right - t.box.left) + "x" +
                       std::to_string(t.box.bottom - t.box.top));
      continue;
    }
    if (t.cut) faults.push_back("cut: " + DescribeNoted(t) + " shows \"" + t.shown + "\" in " +
                                std::to_string(t.box.right - t.box.left) + "x" +
                                std::to_string(t.box.bottom - t.box.top));
    texts.push_back(&t);
  }
  // Texts of one form on one line keep a space between them; a line's
  // glyphs take the middle of its height, so rows set close stay apart.
  const auto body = [](const NotedText* t) {
    const int32_t inset = (t->drawn.bottom - t->drawn.top) / 5;
    return std::pair{t->drawn.top + inset, t->drawn.bottom - inset};
  };
  for (const NotedText* a : texts) {
    for (const NotedText* b : texts) {
      if (a == b || a->form != b->form || a->drawn.left > b->drawn.left) continue;
      if (a->drawn.left == b->drawn.left && a > b) continue;
      if (a->drawn.right <= a->drawn.left || b->drawn.right <= b->drawn.left) continue;
      if (JoinsNeighbours(a->wanted) || JoinsNeighbours(b->wanted)) continue;
      const auto [aTop, aBottom] = body(a);
      const auto [bTop, bBottom] = body(b);
      if (aTop >= bBottom || bTop >= aBottom) continue;
      if (b->drawn.left - a->drawn.right < std::min(a->space, b->space))
        faults.push_back("runs together: " + DescribeNoted(*a) + " and " + b->name + " \"" + b->wanted + "\"");
    }
  }
  std::sort(faults.begin(), faults.end());
  return faults;
}
