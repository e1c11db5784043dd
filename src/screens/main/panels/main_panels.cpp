#include "screens/main/panels/main_panels.h"

#include <climits>
#include <utility>

#include "screens/docked_panels.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"

namespace {

constexpr int32_t kKeepEdge = INT32_MIN;

class MapBorder : public Screen {
 public:
  MapBorder() : Screen("MAPBORD") {}
  void BindControls() override {
    hostLink = &g_ui.mapBackdrop;
    OnOpen();
    AttachForm(nullptr);
  }
  // Stretches the frame over the map pane and shows it while the id is 1.
  // The corners are 56 pixels wide, the sides 4 thick; the centre piece is
  // never shown.
  void OnOpen() override {
    Control* f = currentForm;
    Control* pane = g_ui.mapArea;
    if (!f || !pane) return;
    const int32_t w = Width(pane), h = Height(pane);
    f->rect.right = w;
    f->rect.bottom = h;
    struct Edges {
      int32_t left, top, right, bottom;  // kKeepEdge keeps the form's value
    };
    constexpr int32_t k = kKeepEdge;
    const Edges pieces[9] = {{k, k, k, k},          {k, k, w - 56, k},    {w - 56, k, w, k},
                             {k, k, k, h - 4},      {k, k, k, k},         {w - 4, k, w, h - 4},
                             {k, h - 4, k, h},      {k, h - 4, w - 56, h}, {w - 56, h - 4, w, h}};
    for (int32_t piece = 1; piece <= 9; ++piece) {
      Control* c = FormFindControlById(f, piece);
      if (!c || c == f) continue;
      const Edges& e = pieces[piece - 1];
      for (const auto& [edge, value] : {std::pair{&c->rect.left, e.left}, std::pair{&c->rect.top, e.top},
                                        std::pair{&c->rect.right, e.right}, std::pair{&c->rect.bottom, e.bottom}})
        if (value != kKeepEdge) *edge = value;
      c->flags |= kCtlTintFrame;
      c->frameStyle = 3;
      c->fills[kLookNormal] = 0xFFC8C8C8;
      SetHidden(c, id == 0 || piece == 5);
    }
  }
};

class EconomyScreen : public Screen {
 public:
  EconomyScreen() : Screen("ECONOMY1", FormLookups{.tags = kEconomyScreenTags, .ids = {}}) {}
  // Docks as main panel 5; the page id is what the docking gave.
  int32_t AttachForm(Control*) override {
    id = OpenChildPopup(*this, kEconomyPanel);
    return static_cast<int32_t>(id);
  }
  void BindControls() override { g_panelFlags[kEconomyPanel] |= kPanelFlagMarked; }
  // BUDGET opens the status department's budget summary, TRADEBUT the
  // products' profit page.
  void OnCommand(Control* control, int32_t) override {
    if (!control) return;
    if (ControlTagMatches(control->tag, "BUDGET")) g_screens.statusScreen.budget.Show(kKeepScreenId, nullptr);
    else if (ControlTagMatches(control->tag, "TRADEBUT")) g_screens.productProfitPage->Show(kKeepScreenId, nullptr);
  }
};

class ProductProfitPage : public Screen {
 public:
  ProductProfitPage() : Screen("PRODUCT1_SS4a") {}
  void OnOpen() override { ClosePanelsAbove(g_ui, 3, 0); }
  void BindControls() override { DockInSecondBotbar2(*this); }
};

}  // namespace

std::unique_ptr<Screen> MakeMapBorder() { return std::make_unique<MapBorder>(); }

std::unique_ptr<Screen> MakeEconomyScreen() { return std::make_unique<EconomyScreen>(); }
std::unique_ptr<Screen> MakeProductProfitPage() { return std::make_unique<ProductProfitPage>(); }
