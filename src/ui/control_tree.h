#pragma once
// Walks over the control tree: finding a control by tag or id, hit testing
// a point, attaching forms and children, cloning a form, and the drawing
// walk that redraws only what is dirty. The finds and the hit test look at
// the other controls of the start's ring first (walking back through the
// prev links), then at the start, then below it; depth -2 means no limit.
#include <cstdint>
#include <functional>

#include "platform/window.h"

class Control;

// Depth for a search without limit.
inline constexpr int32_t kAnyDepth = -2;

Control* FindControlByTag(Control* start, const char* tag, int32_t depth, int32_t withSiblings);
Control* FindControlById(Control* start, int32_t id, int32_t depth, int32_t withSiblings);
// The form itself when it carries the tag, else the first control under it
// that does; null when none (or no form).
Control* FormFindControlByTag(Control* form, const char* tag);
Control* FormFindControlById(Control* form, int32_t id);

// The deepest visible control whose rectangle holds the screen point (x, y);
// hidden and click-through controls are never hit and hide their children.
Control* ControlHitTest(Control* start, int32_t x, int32_t y, int32_t depth, int32_t withSiblings);

// Makes the form (and its ring) the container's children; returns the form.
Control* ControlAttachForm(Control* container, Control* form);
// Adds the child at the tail of the container's children; returns it.
Control* ControlAddChild(Control* container, Control* child);
// Calls the callback on the start (with withSiblings), then walks its
// children down to the depth.
void ControlTreeForEach(Control* start, int32_t depth, int32_t withSiblings,
                        const std::function<void(Control*)>& callback);
// A clone of the control with clones of everything below it.
Control* ControlDeepClone(const Control* form);

// Draws the control and, down to the depth, its children. Hidden controls
// and those wholly outside the clip are skipped with what is below them.
// With onlyDirty a clean control is not drawn (unless kCtlAlwaysRedraw),
// but its children are still visited; under a drawn control everything is
// drawn.
void ControlDrawTree(Control* control, int32_t depth, int32_t draw, const plat::Rect* clip, int32_t onlyDirty);
// Draws the control (and with withSiblings its whole ring) moved by
// (dx, dy), then moves it back.
void ControlDrawAtOffset(int32_t dx, int32_t dy, int32_t depth, int32_t draw, int32_t withSiblings,
                         const plat::Rect* clip, int32_t onlyDirty, Control* control);
