#pragma once
// What a play test asks of a laid-out form: whether a control shows (it and
// every parent unhidden), its tag as text, whether its texts read whole, and
// whether a list shows as many rows as its box holds.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "app/gfx/fonts.h"
#include "ui/string_control.h"
#include "ui/text_fit.h"

inline bool ShownInTree(const Control* c) {
  for (; c; c = c->parent)
    if (c->Hidden()) return false;
  return true;
}

// The text the form's control of the tag shows, "" for none.
inline std::string ShownText(Control* form, const char* tag) {
  const auto* t = dynamic_cast<const StringControl*>(FormFindControlByTag(form, tag));
  return t && ShownInTree(t) ? t->text : std::string();
}

inline std::string TagOf(const Control* c) { return std::string(c->tag, strnlen(c->tag, sizeof c->tag)); }

// Every shown text under the control reads whole, none cut to dots; how
// many there are.
inline int32_t TextsReadWhole(Control* root, const std::string& where) {
  int32_t shown = 0;
  ControlTreeForEach(root, kAnyDepth, 0, [&](Control* c) {
    const auto* t = dynamic_cast<const StringControl*>(c);
    if (!t || !ShownInTree(c) || t->text.empty()) return;
    ++shown;
    EXPECT_EQ(t->ShownText().text, t->text) << where << " " << TagOf(c) << " " << c->id;
  });
  return shown;
}

// Shown texts side by side on a row of the form keep at least a space
// between them, so a label never runs into its figure.
inline void TextsApart(Control* root, const std::string& where) {
  struct Span {
    const Control* c;
    plat::Rect row;
    int32_t left, right, space;
  };
  std::vector<Span> spans;
  ControlTreeForEach(root, kAnyDepth, 0, [&](Control* c) {
    const auto* t = dynamic_cast<const StringControl*>(c);
    if (!t || !ShownInTree(c) || t->text.empty() || !t->Font()) return;
    plat::Rect box{};
    const FittedText shown = t->ShownText(&box);
    const int32_t width = TextWidth(shown.font, shown.text);
    const uint32_t format = StringTextFormat(c->kind, c->flags, t->alignment);
    int32_t left = box.left;
    if (format & kTextCentre) left = (box.left + box.right - width) / 2;
    else if (format & kTextRight) left = box.right - width;
    spans.push_back({c, ControlAbsoluteRect(c), left, left + width, TextWidth(t->Font(), " ")});
  });
  for (const Span& a : spans) {
    for (const Span& b : spans) {
      if (a.c != b.c && a.left <= b.left && a.row.top < b.row.bottom && b.row.top < a.row.bottom) {
        EXPECT_GE(b.left - a.right, a.space) << where << " " << TagOf(a.c) << " runs into " << TagOf(b.c);
      }
    }
  }
}

// The rows of the list shown whole in its box as it is scrolled (by whole
// rows, for rows that host a form). When they do not
// all fit, the box has no room left for another row beside its arrows: what
// the rows in view leave of its height is less than a row and an arrow's
// strip.
inline int32_t RowsFillTheirBox(ListBoxControl* list, const std::string& where) {
  if (!list || !list->firstRow) return 0;
  const plat::Rect client = ListGetClientRect(list);
  int32_t inView = 0, rows = 0;
  for (const Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row), ++rows) {
    const plat::Rect at = ListRowScreenRect(list, row);
    inView += at.top >= client.top && at.bottom <= client.bottom;
  }
  const plat::Rect box = ControlAbsoluteRect(list);
  const int32_t rowHeight = list->firstRow->rect.bottom - list->firstRow->rect.top;
  const int32_t strip = list->downIndicator->rect.bottom - list->downIndicator->rect.top;
  if (inView < rows) {
    EXPECT_LT(box.bottom - box.top - inView * rowHeight, rowHeight + strip)
        << where << ": " << inView << " rows of " << rowHeight << " in a box of " << box.bottom - box.top;
  }
  return inView;
}
