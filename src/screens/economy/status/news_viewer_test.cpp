// The news viewer and the scenario page, on a small world of their own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/player_record.h"
#include "screens/economy/status/news_viewer_panels.h"
#include "sim/daily/elimination.h"
#include "sim/message_test_support.h"
#include "ui/bitmap_control.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/string_control.h"

namespace {

constexpr uint32_t kPlainType = 10, kRegionsType = 11, kUnitType = 12, kHexType = 13;

Control* AddString(Control* root, Screen& owner, const char* tag, int32_t id = 0) {
  Control* c = ControlAddChild(root, new StringControl(controltest::Init(tag, &owner, 0, 0, 60, 12), StringInit{}));
  c->id = id;
  return c;
}

struct ViewerWorld : MessageTestWorld {
  ViewerWorld() {
    Type(kPlainType, 2);
    const uint8_t regions[4] = {kArgRegion, kArgRegionB, kArgRegion, 0};
    std::copy(regions, regions + 4, Type(kRegionsType, 2).paramKinds);
    Type(kUnitType, 2).paramKinds[0] = kArgUnit;
    Type(kHexType, 2).paramKinds[1] = kArgHex;
    for (int i = 0; i < 4; ++i) SetListEntry(kListOrdimportance, i, std::to_string(i).c_str());
  }
  uint32_t File(uint32_t type, uint8_t importance, std::vector<uint32_t> args = {}) {
    auto* m = NewZeroed<PlayerMessage>();
    m->typeId = type;
    m->flags = kMessageNews;
    m->priority = importance;
    m->day = kTestDay;
    m->texts[0] = TestCopy("Headline");
    for (size_t i = 0; i < args.size(); ++i) m->params[i] = args[i];
    world->messageLists[1].Prepend(m);
    return m->serial;
  }
};

TEST(NewsViewer, ShowsTheItemsLevelRegionsAndPlace) {
  ViewerWorld w;
  NewsViewerPanel viewer;
  auto* root = new Control(controltest::Init("STATUS1_SS4", &viewer, 0, 0, 220, 194));
  for (const char* tag : {"HEADLINE", "NEWSDATE", "LVLDESC", "CENTER", "HIDEH", "SHOWPIC"}) AddString(root, viewer, tag);
  viewer.level = ControlAddChild(root, new BitmapControl(controltest::Init("LEVEL", &viewer, 0, 0, 20, 12), {}, {}, {}));
  for (int32_t id : {210, 211}) ControlAddChild(root, new Control(controltest::Init(nullptr, &viewer, 0, 0, 60, 12)))->id = id;
  for (int32_t id : {310, 311}) AddString(root, viewer, nullptr, id);
  viewer.form = viewer.currentForm = root;
  auto show = [&](uint32_t serial) { viewer.ShowItem(*w.world, ReadNewsItem(*w.world, 1, serial)); };
  auto shown = [&](int32_t id) { return !FormFindControlById(root, id)->Hidden(); };
  auto text = [&](const char* tag) { return FormFindControlByTag(root, tag)->text; };

  struct Level {
    uint8_t importance;
    int frame;
    const char* description;
  };
  // (importance + 5) / 11: 0, 3, 23; the frame stops at 4, the text at 3.
  for (const Level& l : {Level{5, 0, "0"}, Level{28, 3, "3"}, Level{255, 4, "3"}}) {
    SCOPED_TRACE(l.importance);
    show(w.File(kPlainType, l.importance));
    EXPECT_EQ(static_cast<BitmapControl*>(viewer.level)->frame, l.frame);
    EXPECT_EQ(viewer.level->text, std::to_string(l.importance));
    EXPECT_EQ(text("LVLDESC"), l.description);
  }

  struct Place {
    const char* name;
    uint32_t type;
    std::vector<uint32_t> args;
    bool rows[2];
    bool centre;
  };
  const Place places[] = {
      {"three regions name two rows", kRegionsType, {2, 3, 4}, {true, true}, false},
      {"a unit no longer there", kUnitType, {777}, {false, false}, false},
      {"a hex", kHexType, {0, 5u | 3u << 16}, {false, false}, true},
  };
  for (const Place& p : places) {
    SCOPED_TRACE(p.name);
    show(w.File(p.type, 10, p.args));
    EXPECT_EQ(shown(210), p.rows[0]);
    EXPECT_EQ(shown(211), p.rows[1]);
    EXPECT_EQ(!FormFindControlByTag(root, "CENTER")->Hidden(), p.centre);
  }

  // The item goes between the selection and the drawing: an empty page.
  const uint32_t gone = w.File(kPlainType, 90);
  ASSERT_TRUE(DeletePlayerMessage(*w.world, 1, gone));
  show(gone);
  EXPECT_EQ(text("HEADLINE"), "");
  EXPECT_EQ(viewer.level->text, "");
  EXPECT_TRUE(FormFindControlByTag(root, "CENTER")->Hidden());
  viewer.form = viewer.currentForm = nullptr;
  delete root;
}

TEST(ScenarioPage, CapitalEndDateAndUnknownTexts) {
  MessageTestWorld w(2, 160, 4);
  World& world = *w.world;
  ScenarioInfoPanel page;
  controltest::PanelForm form(page, "STATUS1_SS5", {"CAPHEX", "HIDEHEX", "ENDHIDE", "ENDDATE", "GOVTYPE", "VICTORY"});
  SetCapitalHex(world.players[1].displayPolicy, CapitalPosition{-1, 2});
  world.players[1].govtype = 9;
  world.scenario.head.svictorycond = 200;
  world.gameState.endDay = 0;
  page.Fill(world);
  EXPECT_EQ(form.Text("CAPHEX"), "X:159 Y:002");
  EXPECT_TRUE(form.Shown("HIDEHEX"));
  EXPECT_FALSE(form.Shown("ENDHIDE"));
  EXPECT_EQ(form.Text("GOVTYPE"), "");
  EXPECT_EQ(form.Text("VICTORY"), "");
}

}  // namespace
