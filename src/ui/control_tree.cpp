#include "ui/control_tree.h"

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "ui/control.h"

namespace {

// Calls fn on every other control of start's ring, walking back through the
// prev links, until fn returns a control.
template <typename Fn>
Control* FirstOfOtherSiblings(Control* start, Fn fn) {
  for (Control* s = start->PrevInRing(); s && s != start; s = s->PrevInRing())
    if (Control* found = fn(s)) return found;
  return nullptr;
}

template <typename Match>
Control* FindControl(Control* start, int32_t depth, int32_t withSiblings, const Match& match) {
  if (!start) return nullptr;
  if (withSiblings) {
    if (Control* found =
            FirstOfOtherSiblings(start, [&](Control* s) { return FindControl(s, depth, 0, match); }))
      return found;
  }
  if (match(start)) return start;
  if (start->firstChild && depth != 0) return FindControl(start->firstChild, depth - 1, 1, match);
  return nullptr;
}

bool Outside(const plat::Rect& r, const plat::Rect& clip) {
  return r.right <= clip.left || r.left >= clip.right || r.bottom <= clip.top || r.top >= clip.bottom;
}

void MoveBy(Control* c, int32_t dx, int32_t dy) {
  c->rect.left += dx;
  c->rect.right += dx;
  c->rect.top += dy;
  c->rect.bottom += dy;
}

}  // namespace

Control* FindControlByTag(Control* start, const char* tag, int32_t depth, int32_t withSiblings) {
  if (!tag) return nullptr;
  return FindControl(start, depth, withSiblings, [tag](const Control* c) { return ControlTagMatches(c->tag, tag); });
}

Control* FindControlById(Control* start, int32_t id, int32_t depth, int32_t withSiblings) {
  return FindControl(start, depth, withSiblings, [id](const Control* c) { return c->id == id; });
}

Control* FormFindControlByTag(Control* form, const char* tag) {
  if (!form || !tag) return nullptr;
  if (ControlTagMatches(form->tag, tag)) return form;
  return FindControlByTag(form->firstChild, tag, kAnyDepth, 1);
}

Control* FormFindControlById(Control* form, int32_t id) {
  if (!form) return nullptr;
  if (form->id == id) return form;
  return FindControlById(form->firstChild, id, kAnyDepth, 1);
}

Control* ControlHitTest(Control* start, int32_t x, int32_t y, int32_t depth, int32_t withSiblings) {
  if (!start) return nullptr;
  if (withSiblings) {
    if (Control* hit =
            FirstOfOtherSiblings(start, [&](Control* s) { return ControlHitTest(s, x, y, depth, 0); }))
      return hit;
  }
  if ((start->state & kStateHidden) || (start->flags & kCtlClickThrough)) return nullptr;
  const plat::Rect r = ControlAbsoluteRect(start);
  if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) return nullptr;
  if (start->firstChild && depth != 0) {
    if (Control* deeper = ControlHitTest(start->firstChild, x, y, depth - 1, 1)) return deeper;
  }
  return start;
}

Control* ControlAttachForm(Control* container, Control* form) {
  if (!container) return form;
  // Shown again where it already hangs (every refresh of a panel that
  // places its pages): nothing moved, nothing to draw again.
  if (form && container->firstChild == form && form->parent == container) return form;
  Control* previousHost = form ? form->parent : nullptr;
  container->firstChild = form;
  container->Invalidate();
  if (form) {
    form->parent = container;
    for (Control* c = form->NextInRing(); c && c != form; c = c->NextInRing()) c->parent = container;
  }
  // A page moved to another host leaves the old one empty, not pointing at a
  // form it no longer holds (and that may be deleted under it).
  if (previousHost && previousHost != container && previousHost->firstChild &&
      previousHost->firstChild->parent == container) {
    previousHost->firstChild = nullptr;
    previousHost->Invalidate();
  }
  return form;
}

Control* ControlAddChild(Control* container, Control* child) {
  if (!child) return nullptr;
  if (!container || child == container) return child;
  container->Invalidate();
  if (container->firstChild) {
    container->firstChild->AppendSibling(child);
  } else {
    child->Unlink();
    container->firstChild = child;
    child->parent = container;
    child->state |= kStateDirty;
  }
  return child;
}

void ControlTreeForEach(Control* start, int32_t depth, int32_t withSiblings,
                        const std::function<void(Control*)>& callback) {
  if (!start) return;
  if (withSiblings) callback(start);
  Control* first = start->firstChild;
  if (depth == 0 || !first) return;
  Control* c = first;
  do {
    Control* following = c->NextInRing();
    ControlTreeForEach(c, depth - 1, 1, callback);
    c = following;
  } while (c && c != first);
}

Control* ControlDeepClone(const Control* form) {
  if (!form) return nullptr;
  Control* clone = form->Clone();
  if (Control* first = form->firstChild) {
    const Control* c = first;
    do {
      ControlAddChild(clone, ControlDeepClone(c));
      c = c->NextInRing();
    } while (c && c != first);
  }
  return clone;
}

void ControlDrawTree(Control* control, int32_t depth, int32_t draw, const plat::Rect* clip, int32_t onlyDirty) {
  if (!control || (control->state & kStateHidden)) return;
  if (clip && Outside(ControlAbsoluteRect(control), *clip)) return;
  control->TickAnimation();
  const bool always = (control->flags & kCtlAlwaysRedraw) != 0;
  const bool drawn = draw && (!onlyDirty || (control->state & kStateDirty) || always);
  if (drawn) {
    if (always) FlushAllDrawing(g_renderer);
    control->Draw(clip);
  }
  Control* first = control->firstChild;
  if (depth == 0 || !first) return;
  const int32_t childOnlyDirty = drawn ? 0 : onlyDirty;
  Control* c = first;
  do {
    Control* following = c->NextInRing();
    ControlDrawTree(c, depth - 1, 1, clip, childOnlyDirty);
    c = following;
  } while (c && c != first && c->parent == control);
}

void ControlDrawAtOffset(int32_t dx, int32_t dy, int32_t depth, int32_t draw, int32_t withSiblings,
                         const plat::Rect* clip, int32_t onlyDirty, Control* control) {
  if (!control) return;
  auto each = [&](auto fn) {
    fn(control);
    if (!withSiblings) return;
    for (Control* c = control->NextInRing(); c && c != control; c = c->NextInRing()) fn(c);
  };
  each([&](Control* c) { MoveBy(c, dx, dy); });
  each([&](Control* c) { ControlDrawTree(c, depth, draw, clip, onlyDirty); });
  each([&](Control* c) { MoveBy(c, -dx, -dy); });
}
