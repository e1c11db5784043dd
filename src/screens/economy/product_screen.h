#pragma once
// The production department (PRODUCT1). The game frame sets the time scale
// of its graphs when a game starts.
#include <cstdint>

#include "ui/screen.h"

class Product1 : public Screen {
 public:
  Product1() : Screen("PRODUCT1") {}

  // Days per graph step: 365.0 when the options count in years, else 1.0.
  float graphTimeScale = 1.0f;
};
