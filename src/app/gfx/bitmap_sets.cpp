#include "app/gfx/bitmap_sets.h"

// The images, their loaders and the fades come with the content; start-up
// already calls these in their place and order.
int32_t ShowSplashScreens() { return 0; }
int32_t LoadUiBitmaps(ScreenManager&) { return 0; }
int32_t ShowLoadingScreen(int32_t) { return 0; }
