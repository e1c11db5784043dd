#pragma once
// Two pages of the status department: the news viewer, which shows one
// item of the region's news list (its regions, category, importance and
// the place it concerns) with its picture page, and the scenario page.
// They post nothing; the viewer marks the item read and may hide a type's
// headlines.
#include <cstdint>
#include <string>

#include "screens/common/news_items.h"
#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kNewsViewerTags[] = {"LIST1", "LEVEL", "HEADLINE", "NEWSDATE", "HIDEH",
                                                  "SHOWPIC", "CENTER", "LVLDESC"};
inline constexpr int32_t kNewsViewerIds[] = {51, 52, 53, 54, 55, 56, 57, 210, 211, 310, 311};
inline constexpr const char* kNewsPictureTags[] = {"PICTURE"};
inline constexpr const char* kScenarioInfoTags[] = {"SCENARIO", "REGION",   "STDATE",  "VICTORY",   "ENDHIDE",
                                                    "ENDDATE",  "CAPHEX",   "HIDEHEX", "GOVTYPE",   "HIDEELECT",
                                                    "ELECTDATE", "HEX",     "STACK",   "CAPCENTRE"};

class NewsPicturePanel : public Screen {
 public:
  NewsPicturePanel() : Screen("STATUS1_SS4a", FormLookups{.tags = kNewsPictureTags, .ids = {}}) {}
  void OnOpen() override;
  void BindControls() override;

  Control* picture = nullptr;
};

class NewsViewerPanel : public Screen {
 public:
  NewsViewerPanel() : Screen("STATUS1_SS4", FormLookups{.tags = kNewsViewerTags, .ids = kNewsViewerIds}) {}
  void OnOpen() override;
  // Shows the item the id names (a message serial), once per item.
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;

  // Shows the item into the form; an item not found empties the page.
  void ShowItem(World& world, const NewsItemView& item);

  uint32_t lastDrawn = 0;
  uint32_t position = 0;  // x low, y high; 0 for none
  TextBoxControl* body = nullptr;
  Control* level = nullptr;
  Control* category = nullptr;
  NewsPicturePanel picturePage;
};

class ScenarioInfoPanel : public Screen {
 public:
  ScenarioInfoPanel() : Screen("STATUS1_SS5", FormLookups{.tags = kScenarioInfoTags, .ids = {}}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  // The lines from a world.
  void Fill(const World& world);
};
