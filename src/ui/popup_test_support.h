#pragma once
// For the tests of pop-ups, in the toolkit and in the screens: a screen with
// a plain form, and a fixture that gives the interface a bare root, records
// the pop-up sounds and beeps, and puts everything back afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/app_object.h"
#include "app/audio/sound_system.h"
#include "support/global_guard.h"
#include "ui/box_control.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"

class FormScreen : public Screen {
 public:
  explicit FormScreen(int32_t width = 200, int32_t height = 100) : Screen("FORM") {
    form = new BoxControl(ControlInit{.owner = this, .width = width, .height = height});
    form->fills[kLookNormal] = 0x00112233u;
    currentForm = form;
  }
  ~FormScreen() override {
    if (form->parent) ClosePopupForm(g_ui, form, 1, 1);
    delete form;
  }
};

class PopupFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    g_platform.clientRect = {0, 0, 1024, 768};
    root_ = new BoxControl(ControlInit{.width = 1024, .height = 768});
    g_ui.rootForm = root_;
    g_ui.popupCount = 0;
    g_ui.lastPopupFlags = 0;
    g_ui.keepPopups = 0;
    g_ui.panelDepth = g_ui.savedPanelDepth = 0;
    g_ui.modal = 0;
    sounds.clear();
    beeps = 0;
    g_popupSounds.uiSound = [](int32_t n) { sounds.push_back(n); };
    g_popupSounds.beep = [] { ++beeps; };
  }
  void TearDown() override {
    CloseAllPopups(g_ui, 1);
    g_ui.rootForm = nullptr;
    delete root_;
    g_popupSounds = {};
    g_sound.muted = 0;
    g_ui.popupCount = 0;
    g_ui.lastPopupFlags = 0;
    g_ui.panelDepth = g_ui.savedPanelDepth = 0;
  }

  static inline std::vector<int32_t> sounds;  // the interface sounds played, in order
  static inline int beeps = 0;
  Control* root_ = nullptr;
  GlobalGuard<plat::Rect> client_{g_platform.clientRect};
  GlobalGuard<UiOptions> options_{g_uiOptions};
};
