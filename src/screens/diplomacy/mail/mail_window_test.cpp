// The mailbox's rows, selection and deletion, on a small world of its own.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "app/calendar.h"
#include "screens/diplomacy/mail/mail_window.h"
#include "screens/screen_set.h"
#include "sim/message_test_support.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"

namespace {

struct MailWorld : MessageTestWorld {
  uint32_t File(const char* subject) {
    auto* m = NewZeroed<PlayerMessage>();
    m->flags = kMessageEmail;
    m->sender = 1;
    m->day = kTestDay;
    m->texts[0] = TestCopy(subject);
    m->texts[1] = TestCopy("Body");
    world->messageLists[1].Prepend(m);
    return m->serial;
  }
};

// A list page with a real list box that tells nobody of its selection.
struct Page {
  MailList page;
  std::unique_ptr<ListBoxControl> list{ListBoxConstruct(0, 0, 212, 146, 0, 0, nullptr)};
  Page() { page.list = list.get(); }
};

TEST(MailRows, OrderSelectionAndLooks) {
  MailWorld w;
  const uint32_t a = w.File("A"), b = w.File("B"), c = w.File("C");
  struct Order {
    int32_t atBottom;
    std::vector<uint32_t> rows;
  };
  for (const Order& o : {Order{0, {c, b, a}}, Order{1, {a, b, c}}}) {
    SCOPED_TRACE(o.atBottom);
    g_uiOptions.bnewsatbottom = o.atBottom;
    EXPECT_EQ(MailRowSerials(*w.world, 1, o.atBottom != 0), o.rows);
    Page p;
    MailWindow window;
    p.page.Rebuild(*w.world, window);
    EXPECT_EQ(p.page.Selected(), c);
  }

  struct Colour {
    bool read;
    uint8_t priority;
    uint32_t colour;
  };
  for (const Colour& k : {Colour{true, 50, kMailUrgentColour}, Colour{false, 50, kMailUrgentColour},
                          Colour{true, 49, kMailReadColour}, Colour{false, 49, kMailUnreadColour}})
    EXPECT_EQ(MailSubjectColour(k.read, k.priority), k.colour) << int{k.priority} << k.read;
  for (const auto& [priority, frame] : {std::pair{39, 4}, {28, 3}, {5, 0}, {255, 4}})
    EXPECT_EQ(MailLevelFrame(priority), frame) << priority;
  for (const auto& [mask, frame] : {std::pair{0b100, 2}, {0b1010000, 4}, {0, -1}})
    EXPECT_EQ(MailCategoryFrame(static_cast<uint8_t>(mask)), frame) << mask;
  GameDate day{0, 2010, 3, 3};
  DateToDayNumber(day);
  EXPECT_EQ(MailRowText(day.dayNumber, "Supplies"), "Mar 3 Supplies");
}

TEST(MailDelete, TheNextRowTakesTheSelectionAndTheLastLeavesNone) {
  MailWorld w;
  const uint32_t a = w.File("A"), b = w.File("B");
  w.File("C");
  Page p;
  MailWindow window;
  controltest::PanelForm form(window, "EMAIL1", {"CENTER", "REPLYBUT", "DELETE", "OPENBUT"});
  p.page.Rebuild(*w.world, window);
  ListSetSelection(0, p.list.get(), static_cast<int32_t>(b), 0);
  window.SelectMail(*w.world, b);
  DeleteMailLocked(*w.world, p.page, window, b);
  EXPECT_EQ(p.page.Selected(), a);
  EXPECT_EQ(p.page.shown.size(), 2u);

  window.SelectMail(*w.world, a);
  EXPECT_TRUE(form.Shown("DELETE"));
  DeleteMailLocked(*w.world, p.page, window, a);
  EXPECT_EQ(p.page.Selected(), 0u);
  for (const char* tag : {"CENTER", "REPLYBUT", "DELETE", "OPENBUT"}) EXPECT_FALSE(form.Shown(tag)) << tag;
}

TEST(MailLifetimes, ExpirySparesTheSelectedMailAndTheListDropsTheRest) {
  MailWorld w;
  GlobalGuard<MailUiLink> hooks(g_mailUi);
  MailWindow& window = g_screens.mailWindow;
  GlobalGuard<uint32_t> hex(window.targetHex);
  GlobalGuard<int32_t> reply(window.replyAllowed);
  GlobalGuard<MailList*> page(window.page);
  InstallMailWindowHooks();
  w.File("M");
  const uint32_t n = w.File("N");
  w.File("O");
  w.world->gameState.currentDay = kTestDay + 5;
  g_uiOptions.emaildeldays = 1;
  Page p;
  p.page.Rebuild(*w.world, window);
  window.SelectMail(*w.world, n);
  ExpirePlayerMessages(*w.world, w.world->players[1]);
  window.SelectMail(*w.world, 0);
  p.page.Rebuild(*w.world, window);
  EXPECT_EQ(p.page.shown, std::vector<uint32_t>{n});
}

TEST(MailWindowPlacement, DockedAtTheMapsLowerRight) {
  MailWindow window;
  auto area = std::make_unique<Control>(controltest::Init("AREA", nullptr, 0, 0, 1000, 700));
  Control* saved = g_ui.mapArea;
  g_ui.mapArea = area.get();
  window.form = window.currentForm = new Control(controltest::Init("EMAIL1", &window, 0, 0, 220, 375));
  window.DockMailWindow();
  g_ui.mapArea = saved;
  EXPECT_EQ(window.form->parent, area.get());
  const plat::Rect r = window.form->rect;
  EXPECT_EQ((std::vector<int32_t>{r.left, r.top, r.right, r.bottom}), (std::vector<int32_t>{780, 506, 1000, 700}));
  window.form = window.currentForm = nullptr;
}

}  // namespace
