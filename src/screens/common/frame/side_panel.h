#pragma once
// A department page's panel in the side screens column: it hangs its form
// at its place in the column and fills it only while the player keeps the
// side screens on (with them off the column shows nothing to fill).
#include <cstdint>

#include "ui/screen.h"

class SidePanel : public Screen {
 public:
  // placement: kPanelFull, kPanelTop or kPanelBottom of ui/panel_helpers.h.
  SidePanel(const char* formName, FormLookups lookups, int32_t placement)
      : Screen(formName, lookups), placement_(placement) {}
  int32_t AttachForm(Control*) override;
  void Refresh() final;

 protected:
  // Puts the figures into the form; Refresh calls it with the side screens on.
  virtual void Fill() = 0;

 private:
  int32_t placement_;
};
