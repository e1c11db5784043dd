#pragma once
// The objects that live for the whole run are built before the entry routine
// in a fixed order and destroyed in reverse: the world, the screen set, the
// interface root, the screens' hooks into the toolkit (which hand the root
// its map view), the ten-list holder, the layout editor's screen, and last
// the application object. They sit in different libraries, so the order is
// set with construction priorities rather than left to the linker.
#define VD_INIT_WORLD __attribute__((init_priority(1001)))
#define VD_INIT_SCREEN_SET __attribute__((init_priority(1002)))
#define VD_INIT_SCREEN_MANAGER __attribute__((init_priority(1003)))
#define VD_INIT_SCREEN_HOOKS __attribute__((init_priority(1004)))
#define VD_INIT_LIST_HOLDER __attribute__((init_priority(1005)))
#define VD_INIT_FORM_EDITOR __attribute__((init_priority(1006)))
#define VD_INIT_APP __attribute__((init_priority(1007)))
