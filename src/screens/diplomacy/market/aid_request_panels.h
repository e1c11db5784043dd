#pragma once
// The aid panel's three small panels in the third dock level: the economic
// and the military aid requests (a kind of request picked with option
// buttons, a product or a region from a list; the request button only
// resets the choice) and the world-market vote (the other regions listed,
// back to the aid panel). None of them changes the game.
#include <cstdint>
#include <memory>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// What tells the two request panels apart.
struct AidRequestShape {
  const char* list;       // the list's tag
  int32_t firstOption;    // the option buttons' ids, first to last
  int32_t lastOption;
  const char* extra;      // shown while the last option is selected
  bool keepsPlace;        // reopens where it was left
  bool regions;           // lists the other regions, else the products
};

inline constexpr const char* kEconomicAidTags[] = {"DIPLIST2", "BUT5HIDE", "GRIDWM1", "GRIDWM2", "REQBUT"};
inline constexpr int32_t kEconomicAidIds[] = {101, 102, 103, 104, 105};
inline constexpr const char* kMilitaryAidTags[] = {"DIPLIST3", "BUT9HIDE", "GRIDWM1", "REQBUT"};
inline constexpr int32_t kMilitaryAidIds[] = {106, 107, 108, 109};
inline constexpr const char* kWorldMarketVoteTags[] = {"DIPLIST4", "DIPLIST5", "ACCPBUT"};

class AidRequestPanel : public Screen {
 public:
  AidRequestPanel(const char* formName, FormLookups lookups, const AidRequestShape& shape)
      : Screen(formName, lookups), shape(shape) {}
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  const AidRequestShape shape;
  ListBoxControl* list = nullptr;
};

class EconomicAidRequestPanel : public AidRequestPanel {
 public:
  EconomicAidRequestPanel()
      : AidRequestPanel("DIPLOMACY1_SS11", FormLookups{.tags = kEconomicAidTags, .ids = kEconomicAidIds},
                        AidRequestShape{"DIPLIST2", 101, 105, "BUT5HIDE", false, false}) {}
};

class MilitaryAidRequestPanel : public AidRequestPanel {
 public:
  MilitaryAidRequestPanel()
      : AidRequestPanel("DIPLOMACY1_SS12", FormLookups{.tags = kMilitaryAidTags, .ids = kMilitaryAidIds},
                        AidRequestShape{"DIPLIST3", 106, 109, "BUT9HIDE", true, true}) {}
};

std::unique_ptr<Screen> MakeWorldMarketVotePanel();
