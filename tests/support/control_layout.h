#pragma once
// What a play test asks of a laid-out form: whether a control shows (it and
// every parent unhidden) and its tag as text.
#include <cstring>
#include <string>

#include "ui/control.h"

inline bool ShownInTree(const Control* c) {
  for (; c; c = c->parent)
    if (c->Hidden()) return false;
  return true;
}

inline std::string TagOf(const Control* c) { return std::string(c->tag, strnlen(c->tag, sizeof c->tag)); }
