#include "screens/common/frame/tutorial_map_links.h"

TutorialMapLinks g_tutorialMapLinks;
int32_t g_mapWheelLock = 0;
