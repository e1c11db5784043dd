// Every screen's form is shipped and holds what its screen looks up: the
// start-up walk over the list of all screens loads each form from the built
// data root, and each tag and id the screen declares is found in it. The
// forms shipped are the catalogue's, each screen with a tree of its own.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "app/app_object.h"
#include "platform/paths.h"
#include "screens/screen_catalogue.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "support/private_game_root.h"
#include "ui/control_tree.h"
#include "ui/form_file.h"
#include "ui/screen.h"

namespace {

// Panels docked under the map fit their dock's level: a form wider than its
// box draws past it, and clicks on the overhang fall through to the map.
const std::map<std::string, int32_t> kDockedWidths = {
    {"MAP1", 300},        {"ORDERS1", 300},     {"MAP1_ss1", 220},    {"MAP1_ss1a1", 220}, {"MAP1_ss4", 220},
    {"MAP1_ss5", 220},    {"MAP1_ss5a", 220},   {"MAP1_ss6", 220},    {"MAP1_ss7", 220},   {"MAP1_ss8", 220},
    {"MAP1_ss9", 220},    {"MAP1_FILTER", 220}, {"MAP1_SS4A", 220},   {"MAP1_SS4B", 220},  {"MAP1_SS4C", 220},
    {"MAP1_SS4D", 220},
    {"MILITARY1", 300},   {"MILITARY1_ss1", 220}, {"MILITARY1_ss1a", 220},
    {"DIPLOMACY1", 300},
    {"DIPLOMACY1_SS4", 220}, {"DIPLOMACY1_SS1", 220}, {"DIPLOMACY1_SS1D", 220}, {"DIPLOMACY1_SS11", 220},
    {"DIPLOMACY1_SS12", 220}, {"DIPLOMACY1_SS13", 220},
    {"DIPLOMACY1_SS2", 220},
    {"DIPLOMACY1_SS2a", 220}, {"DIPLOMACY1_SS2a1", 220}, {"DIPLOMACY1_SS2b", 220},
    {"DIPLOMACY1_SS2c", 220},
    {"DIPLOMACY1_SS3", 220},
    {"MILITARY1_ss03", 220}, {"MILITARY1_ss3", 220}, {"MILITARY1_ss3a", 220}, {"MILITARY1_ss3b", 220},
    {"MILITARY1_ss3c", 220}, {"MILITARY1_ss7", 220}, {"MILITARY1_ss2", 220}, {"DOMPOLICY1_SS7", 220},
    {"Military1_ss2a", 220}, {"MILITARY1_ss1b", 220}, {"MILITARY1_ss1c", 220}, {"MILITARY1_ss1a2", 220},
    {"MILITARY1_ss4a", 220}, {"MILITARY1_ss4", 220}, {"MILITARY1_ss4b", 220}, {"MILITARY1_ss4c", 220},
    {"MILITARY1_ss4d", 220},
    {"DOMPOLICY1", 300},  {"STATUS1_SS2", 220}, {"DOMPOLICY1_ss01", 220}, {"DOMPOLICY1_ss2", 220},
    {"DOMPOLICY1_ss1", 220}, {"DOMPOLICY1_ss1a", 220}, {"DOMPOLICY1_ss20b", 220}, {"DOMPOLICY1_ss2b", 220},
    {"ORDERS1_ss3", 220}, {"ORDERS1_ss3a", 220}, {"ORDERS1_ss3b", 220}, {"ORDERS1_ss3c", 220},
    {"MAP1_ss6a", 220},   {"MAP1_ss6b", 220},   {"MAP1_ss6c", 220},   {"MAP1_ss6d", 220},  {"MAP1_ss6e", 220},
    {"MAP1_ss6f", 220},   {"MAP1_ss8b", 220},   {"MAP1_ss8c", 220},   {"MAP1_ss8c2", 220}, {"MAP1_ss8d", 220},
    {"MAP1_ss9a", 220},   {"MAP1_ss9a1", 220},
    {"ORDERS1_ss3d", 220}, {"ORDERS1_ss3e", 220}, {"ORDERS1_ss4", 220}, {"ORDERS1_ss5", 220}, {"ORDERS1_ss5a", 220},
    {"ORDERS1_ss6", 220}, {"ORDERS1_ss6a", 220},
    {"OPS1", 300},        {"OPS1_SS1", 220},  {"MILITARY1_ss6", 220}, {"MILITARY1_ss5", 220},
    {"OPS1_SS2", 220}, {"OPS1_SS2a", 220}, {"OPS1_SS2b", 220}, {"OPS1_SS2c", 220}, {"OPS1_SS2d", 220},
    {"OPS1_SS3", 220}, {"OPS1_SS3c1", 220},
    {"OPS1_SS4", 220}, {"OPS1_SS4d", 220},
    {"OPS1_SS4b", 220},
    {"OPS1_SS4a", 220},
    {"OPS1_SS4c", 220},
    {"CABINET1_SS1", 220}, {"CABINET1_SS1a", 220}, {"CABINET1_SS1b", 220},
    // The hex columns' panels fit the comparison panel's columns too.
    {"MAP2_ss1", 104},    {"MAP2_ss2", 104},
};
// Side panels placed as the top or the bottom of the 250 px side box, with
// another in the other half: taller, the bottom one covers the top one.
const std::map<std::string, int32_t> kSideHalfHeights = {
    {"DIPLOMACY2a", 125}, {"DIPLOMACY2b", 125}, {"DIPLOMACY3", 125}, {"MILITARY3", 125}, {"OPS2", 125},
};

TEST(FormManifest, EveryScreensFormHasTheTagsAndIdsItsScreenLooksUp) {
  const std::string oldRoot = plat::DataRoot();
  char oldHaps[sizeof g_app.hapsDirectory];
  std::memcpy(oldHaps, g_app.hapsDirectory, sizeof oldHaps);
  plat::SetDataRoot(PrivateGameRoot());
  std::strcpy(g_app.hapsDirectory, "HAPS\\");

  int forms = 0;
  ASSERT_NE(g_screens.titleBar->formName, nullptr);
  LoadScreenListForms(g_screens);
  for (Screen* s = Screen::AllScreens(); s; s = s->nextScreen) {
    if (!s->formName) continue;
    if (!s->form) {
      ADD_FAILURE() << s->formName << ": no form file " << FormFilePath(s->formName);
      continue;
    }
    ++forms;
    EXPECT_EQ(s->currentForm, s->form);
    EXPECT_EQ(s->form->owner, s);
    for (const char* tag : s->lookups.tags)
      EXPECT_NE(FormFindControlByTag(s->form, tag), nullptr) << s->formName << " has no control tagged " << tag;
    for (const int32_t id : s->lookups.ids)
      EXPECT_NE(FormFindControlById(s->form, id), nullptr) << s->formName << " has no control with id " << id;
    if (const auto docked = kDockedWidths.find(s->formName); docked != kDockedWidths.end()) {
      EXPECT_LE(Width(s->form), docked->second) << s->formName << " is wider than its dock";
    }
    if (const auto half = kSideHalfHeights.find(s->formName); half != kSideHalfHeights.end()) {
      EXPECT_LE(Height(s->form), half->second) << s->formName << " is taller than its half of the side box";
    }
  }
  EXPECT_GE(forms, 3);
  // Every screen of the set holds its form but the two that have none.
  int32_t setForms = 0;
  for (const Screen* s = &g_screens.popupFrames; s; s = s->nextScreen) setForms += s->form != nullptr;
  EXPECT_EQ(setForms, kCatalogueScreens - 2);
  // Screens that share a tag hold a tree each; a container's member
  // carries the tag the container gave it.
  std::set<const Control*> graphs;
  for (const ProductPopupRow& row : g_screens.productPopupRows) graphs.insert(row.graph.form);
  for (const Screen& graph : g_screens.productGraphs.screens) graphs.insert(graph.form);
  for (const HexIndustryPanel& panel : g_screens.hexInfoPopup.industryPanels) graphs.insert(panel.graph.form);
  for (const HexIndustryPanel* panel : {&g_screens.mapScreen.hexInfo.distance.selectedUnit, &g_screens.mapScreen.hexInfo.distance.targetUnit})
    graphs.insert(panel->graph.form);
  graphs.erase(nullptr);
  EXPECT_EQ(graphs.size(), 70u);
  const Screen& cargoPopup = g_screens.cargoPanels[0];
  ASSERT_NE(cargoPopup.form, nullptr);
  EXPECT_STREQ(cargoPopup.formName, "POPUP_MILITARY1A9a");
  EXPECT_EQ(cargoPopup.form->owner, &cargoPopup);
  // The forms stay loaded and bound: deleted, they would leave their screens
  // holding controls that are gone (a later load replaces them).

  std::memcpy(g_app.hapsDirectory, oldHaps, sizeof oldHaps);
  plat::SetDataRoot(oldRoot);
}

TEST(FormManifest, TheFormsShippedAreTheCataloguesTagsAndTheLayoutEditors) {
  std::set<std::string> tags;
  for (const CatalogueRow& row : ScreenCatalogue())
    for (const CatalogueTag& t : row.tags)
      if (t.count && t.tag) tags.insert(t.tag);
  const std::filesystem::path haps = std::filesystem::path(VD_GAME_EXE).parent_path() / "HAPS";
  std::set<std::string> shipped;
  for (const auto& entry : std::filesystem::directory_iterator(haps))
    if (entry.path().extension() == ".HAP") shipped.insert(entry.path().stem().string());
  // The layout editor's own form is the one form no screen of the set loads.
  shipped.erase("FORMEDIT");
  EXPECT_EQ(shipped, tags);
}

}  // namespace
