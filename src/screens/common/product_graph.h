#pragma once
// The graph of one product (PRODUCT_GRAPH), shown with the product's index
// as its id in the panel that hosts it. Its drawing comes with the
// production screens; it looks nothing up in its form yet.
#include "ui/screen.h"

class ProductGraphPanel : public Screen {
 public:
  ProductGraphPanel() : Screen("PRODUCT_GRAPH") {}
};
