#pragma once
// The status department (main panel 8): a tab bar over the local region's
// news list, and the pages the tabs open (graphs, statistics, scenario,
// the news viewer) with the budget pages the economy department opens.
// It reads the world only and posts nothing.
#include <cstdint>
#include <string>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "screens/economy/status/budget_panels.h"
#include "screens/economy/status/news_viewer_panels.h"
#include "screens/economy/status/region_stats_panels.h"
#include "screens/economy/status/status_graph_panels.h"
#include "ui/screen.h"

inline constexpr const char* kStatusScreenTags[] = {"NEWSLIST", "GRAPHS", "STATS", "SCENARIO", "SCORECARD",
                                                    "MPPING"};
inline constexpr int32_t kStatusDepartment = 8;
// News the player should not miss is listed in this colour.
inline constexpr uint8_t kUrgentNewsImportance = 50;
inline constexpr uint32_t kUrgentNewsColour = 0xFFFA3200;

// Month names by month number; 0 stands for the December before January.
inline constexpr const char* kStatusMonthNames[13] = {"December", "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul",      "Aug", "Sep", "Oct", "Nov", "Dec"};

// One row of the news list: the text shown, the message's serial and
// whether it is urgent.
struct NewsRow {
  std::string text;
  uint32_t serial = 0;
  bool urgent = false;
};
// The local region's news items, in message-list order, formatted under
// the mail lock ("Dec 24 headline").
std::vector<NewsRow> CollectNewsRows(World& world, int32_t player);
// "%.3s %d, %d" of a day number.
std::string StatusDateText(int32_t dayNumber);

class StatusScreen : public Screen {
 public:
  StatusScreen() : Screen("STATUS1", FormLookups{.tags = kStatusScreenTags, .ids = {}}) {}
  // Docks as main panel 8; the page id is what the docking gave.
  int32_t AttachForm(Control* host) override;
  // The side panel, an empty news list, the viewer forgets its item.
  void OnOpen() override;
  // Refills the news list, keeping the selected item and the scroll.
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  // A newly selected item goes to the news viewer.
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* newsList = nullptr;
  StatusGraphPanel graphs;
  RegionStatsPanel stats;
  BudgetSummaryPanel budget;  // with its income and expense pages
  NewsViewerPanel newsViewer;  // with its picture page
  ScenarioInfoPanel scenario;
};
