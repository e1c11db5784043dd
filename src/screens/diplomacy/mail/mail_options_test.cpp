// The mailbox options page's levels, deletion age and the unhiding of kinds.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "screens/diplomacy/mail/mail_options.h"
#include "sim/message_test_support.h"

namespace {

TEST(MailOptions, LevelsDeleteDaysAndUnhiding) {
  for (const auto& [level, frame, description] : {std::tuple{0, 0, 0}, {33, 3, 3}, {39, 4, 3}, {32, 3, 2}}) {
    EXPECT_EQ(MailOptionGaugeFrame(level), frame) << level;
    EXPECT_EQ(MailOptionDescription(level), description) << level;
  }
  for (const auto& [text, days] : {std::pair{"", 7}, {"-5", 7}, {"x", 7}, {"0", 0}, {"12", 12}})
    EXPECT_EQ(ParseMailDeleteDays(text, 7), days) << text;

  MessageTestWorld w(4);
  for (uint32_t t = 0; t < 4; ++t) w.Type(t).muteFlags = 0x3;
  UnhideMessageTypes();
  EXPECT_EQ(g_ruleTables.messageTypes.records[0].muteFlags, 0x3);
  for (uint32_t t = 1; t < 4; ++t) EXPECT_EQ(g_ruleTables.messageTypes.records[t].muteFlags, 0x2) << t;
}

}  // namespace
