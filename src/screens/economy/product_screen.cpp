#include "screens/economy/product_screen.h"

#include "ui/screen_manager.h"

void SetPendingPopup(Product1& screen, int32_t page) {
  screen.pendingPage = page;
  RequestFullRefresh(g_ui);
}
