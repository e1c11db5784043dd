#pragma once
// Two pages of the status department: the news viewer, which shows one
// item of the region's news list (its regions, category, importance and
// the place it concerns) with its picture page, and the scenario page.
// They post nothing; the viewer marks the item read and may hide a type's
// headlines.
#include <cstdint>
#include <string>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kNewsViewerTags[] = {"LIST1", "LEVEL", "HEADLINE", "NEWSDATE", "HIDEH",
                                                  "SHOWPIC", "CENTER", "LVLDESC"};
inline constexpr int32_t kNewsViewerIds[] = {51, 52, 53, 54, 55, 56, 57, 210, 211, 310, 311};
inline constexpr const char* kNewsPictureTags[] = {"PICTURE"};
inline constexpr const char* kScenarioInfoTags[] = {"SCENARIO", "REGION",   "STDATE",  "VICTORY",   "ENDHIDE",
                                                    "ENDDATE",  "CAPHEX",   "HIDEHEX", "GOVTYPE",   "HIDEELECT",
                                                    "ELECTDATE", "HEX",     "STACK",   "CAPCENTRE"};

// PlayerMessage flags: the item was opened in the viewer.
inline constexpr uint32_t kNewsItemRead = 0x4;
// What a message type's newsitems row keeps beside its known fields: the
// picture categories (bits 0 to 6) in its first spare byte; a type's
// headlines are hidden by the user's mute bit.
inline constexpr int32_t kPictureCategoriesByte = 0;
inline constexpr uint8_t kHideHeadlinesBit = 0x1;
// Argument kinds of a message type.
inline constexpr uint8_t kArgRegion = 1, kArgRegionB = 36, kArgUnit = 6, kArgHex = 31;

// What the viewer shows of an item, copied under the mail lock so that the
// item may expire while it is shown.
struct NewsItemView {
  bool found = false;
  uint32_t typeId = 0;
  int32_t day = 0;
  uint8_t importance = 0;
  uint32_t args[4] = {};
  std::string headline, text;
};
// The owner's item with the serial, marked read; not found when it is gone.
NewsItemView ReadNewsItem(World& world, int32_t owner, uint32_t serial);
// The item's place: the first hex argument, else the position of the first
// unit argument's unit (looked up under the simulation lock); 0 for none.
uint32_t NewsItemPosition(World& world, const NewsItemView& item);

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
