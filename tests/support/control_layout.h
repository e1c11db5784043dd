#pragma once
// What a play test asks of a laid-out form: whether a control shows (it and
// every parent unhidden), its tag as text, and whether its texts read whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/string_control.h"

inline bool ShownInTree(const Control* c) {
  for (; c; c = c->parent)
    if (c->Hidden()) return false;
  return true;
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
