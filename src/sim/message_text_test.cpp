#include "sim/message_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sim/dip_offer.h"
#include "sim/message_test_support.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/hex_extra.h"

namespace {

struct TextWorld : MessageTestWorld {
  TextWorld() : MessageTestWorld(600, 240, 20) {}

  std::string Param(uint8_t kind, uint32_t value) {
    char out[kParamTextSize];
    std::memset(out, 'Z', sizeof out);
    FormatMessageParameter(*world, kind, value, out);
    // Everything after the text is zero.
    for (size_t i = std::strlen(out); i < sizeof out; ++i) EXPECT_EQ(out[i], 0) << "kind " << int(kind);
    return out;
  }
};

std::string Fill(const char* templateText, const char* a = "A", const char* b = "B", const char* c = "C",
                 const char* d = "D", size_t size = 4096) {
  const char* params[4] = {a, b, c, d};
  std::string out(size, '\x7f');
  const size_t n = FormatMessageTemplate(templateText, params, out.data(), size);
  EXPECT_EQ(out[n], '\0');
  EXPECT_EQ(std::strlen(out.c_str()), n);
  return out.substr(0, n);
}

TEST(MessageTemplate, FillsUpToFourStrings) {
  EXPECT_EQ(Fill("%s met %s at %s on %s."), "A met B at C on D.");
  EXPECT_EQ(Fill("Only %s here."), "Only A here.");
  EXPECT_EQ(Fill("No parameters."), "No parameters.");
  EXPECT_EQ(Fill("%s%s%s%s%s"), "ABCD%s");
  EXPECT_EQ(Fill("%s", nullptr), "");
  EXPECT_EQ(Fill(nullptr), "");
}

TEST(MessageTemplate, OtherConversionsPrintAsTheyStand) {
  EXPECT_EQ(Fill("%n %d %x %5s %-s %p"), "%n %d %x %5s %-s %p");
  EXPECT_EQ(Fill("100%% of %s"), "100% of A");
  EXPECT_EQ(Fill("ends with %"), "ends with %");
  EXPECT_EQ(Fill("%%s is %s"), "%s is A");
}

TEST(MessageTemplate, CutToTheBuffer) {
  EXPECT_EQ(Fill("abcdef %s", "XYZ", "", "", "", 9), "abcdef X");
  EXPECT_EQ(Fill("abc", "", "", "", "", 1), "");
}

TEST(MessageParameter, KindsGiveTheirTexts) {
  TextWorld t;
  World& w = *t.world;
  t.SetRegionName(2, "Kessaria");
  std::strcpy(t.P(4).name, "Fourland");
  t.SetListEntry(kListProducts, 4, "Steel");
  t.SetListEntry(kListCabinets, 1, "Treasury");
  t.SetListEntry(kListSocials, 2, "Pensions");
  t.SetListEntry(kListTradeitems, 6, "Goods");
  t.SetListEntry(kListBfcovertop, 0, "Sabotage");
  t.SetListEntry(kListDefcons, 3, "Alert 3");
  t.SetListEntry(kListProdunits, 5, " bbl");
  t.SetListEntry(kListMilclass, 2, "Navy");
  t.SetListEntry(kListBfspytarget, 1, "Plans");
  t.SetListEntry(kListBffundtarget, 1, "Rebels");
  t.SetListEntry(kListSattypes, 0, "Spy sat");
  t.SetListEntry(kListMilbranchunit, 3, "Wing");
  w.techs.resize(6);
  w.techs[5].name.assign("Radar");
  w.unitClasses.resize(3);
  std::strcpy(w.unitClasses[2].name, "Rifles");
  w.people.assign(kPeopleBlockSize, 0);
  std::strcpy(reinterpret_cast<char*>(w.people.data() + 3 * kPeopleEntrySize + 40), "Ada Lark");
  t.NameTreaty(12, "Open Borders");
  auto* unit = new UnitRecord{};
  unit->id = 0x02000009u;
  unit->classIndex = 2;
  InsertUnitInRing(w, *unit);

  EXPECT_EQ(t.Param(0, 5), "");
  EXPECT_EQ(t.Param(1, 3), "Kessaria");
  EXPECT_EQ(t.Param(36, 3), "Kessaria");
  EXPECT_EQ(t.Param(1, 4), "Fourland");
  EXPECT_EQ(t.Param(1, 32), "");
  EXPECT_EQ(t.Param(2, 4), "Steel");
  EXPECT_EQ(t.Param(2, 999), "");
  EXPECT_EQ(t.Param(3, 1234567), "1,234,567");
  EXPECT_EQ(t.Param(3, static_cast<uint32_t>(-5)), "-5");
  EXPECT_EQ(t.Param(4, MessageReal(2500000.0f)), "$ 2.50 M");
  EXPECT_EQ(t.Param(4, MessageReal(950.7f)), "$ 950");
  EXPECT_EQ(t.Param(5, MessageReal(12.5f)), "$ 12.50");
  EXPECT_EQ(t.Param(6, 0x02000009u), "Rifles");
  EXPECT_EQ(t.Param(6, 0x02000008u), "");
  EXPECT_EQ(t.Param(7, 3), "Ada Lark");
  EXPECT_EQ(t.Param(7, 256), "");
  EXPECT_EQ(t.Param(8, 1), "Treasury");
  EXPECT_EQ(t.Param(9, 2), "Pensions");
  EXPECT_EQ(t.Param(10, 5), "Radar");
  EXPECT_EQ(t.Param(10, 6), "");
  EXPECT_EQ(t.Param(12, 2), "AI");
  EXPECT_EQ(t.Param(14, 2), "Rifles");
  EXPECT_EQ(t.Param(28, 2), "Rifles");
  EXPECT_EQ(t.Param(28, 3), "");
  EXPECT_EQ(t.Param(15, 12), "Open Borders");
  EXPECT_EQ(t.Param(15, 13), "");
  EXPECT_EQ(t.Param(15, 500), "");
  EXPECT_EQ(t.Param(18, 6), "Goods");
  EXPECT_EQ(t.Param(20, kTestDay), "January 2, 2000");
  EXPECT_EQ(t.Param(22, MessageReal(0.0f)), "Approved");
  EXPECT_EQ(t.Param(22, MessageReal(1.0f)), "Denied");
  EXPECT_EQ(t.Param(23, MessageReal(0.0f)), "Passed");
  EXPECT_EQ(t.Param(23, MessageReal(-2.0f)), "Defeated");
  EXPECT_EQ(t.Param(24, MessageReal(0.125f)), "12.5 %");
  EXPECT_EQ(t.Param(25, MessageReal(0.456f)), "45 %");
  EXPECT_EQ(t.Param(26, MessageReal(0.0f)), "Positive");
  EXPECT_EQ(t.Param(26, MessageReal(0.5f)), "Negative");
  EXPECT_EQ(t.Param(27, 0), "Sabotage");
  EXPECT_EQ(t.Param(29, 3), "Alert 3");
  EXPECT_EQ(t.Param(30, 5), " bbl");
  EXPECT_EQ(t.Param(32, 2), "Navy");
  EXPECT_EQ(t.Param(34, 1), "Plans");
  EXPECT_EQ(t.Param(35, 1), "Rebels");
  EXPECT_EQ(t.Param(37, 0), "Spy sat");
  EXPECT_EQ(t.Param(40, 3), "Wing");
  for (uint8_t kind : {11, 13, 19, 21, 33, 38, 39, 41, 200, 255}) EXPECT_EQ(t.Param(kind, 3), "") << int(kind);
}

TEST(MessageParameter, TextsAreCutTo39Characters) {
  TextWorld t;
  const std::string fifty(50, 'p');
  t.SetListEntry(kListProducts, 1, fifty.c_str());
  EXPECT_EQ(t.Param(2, 1), fifty.substr(0, 39));
}

TEST(MessageParameter, HexWithoutLabelWrapsItsColumn) {
  TextWorld t;
  EXPECT_EQ(t.Param(31, PackHex(-2, 5)), "X:238 Y:005");
  EXPECT_EQ(t.Param(31, PackHex(7, 12)), "X:007 Y:012");
  EXPECT_EQ(t.Param(31, PackHex(241, 3)), "X:001 Y:003");
  // A row off the map has no label to look up.
  EXPECT_EQ(t.Param(31, PackHex(3, -4)), "X:003 Y:-04");
}

TEST(MessageParameter, HexLabelIsCutTo39Characters) {
  TextWorld t;
  HexCell& cell = t.world->cells[5 * 240 + 238];
  HexExtra* extra = GetHexExtra(*t.world, cell);
  ASSERT_NE(extra, nullptr);
  const std::string sixty(60, 'L');
  extra->text = TestCopy(sixty.c_str());
  EXPECT_EQ(t.Param(31, PackHex(-2, 5)), sixty.substr(0, 39));
  std::free(extra->text);
  extra->text = TestCopy("Harbour");
  EXPECT_EQ(t.Param(31, PackHex(238, 5)), "Harbour");
}

PlayerMessage* NewMessage(uint32_t type, uint32_t flags = kMessageEmail) {
  auto* m = NewZeroed<PlayerMessage>();
  m->typeId = type;
  m->flags = flags;
  return m;
}

TEST(MessageBody, TemplateVariantFollowsTheVisibilityWord) {
  TextWorld t;
  MessageTypeRecord& type = t.Type(10);
  type.paramKinds[0] = 3;
  t.SetTemplate(10, "First %s", 0);
  t.SetTemplate(10, "Second %s", 1);
  PlayerMessage* m = NewMessage(10);
  m->params[0] = 7;
  const std::pair<uint32_t, const char*> cases[] = {{0, "First 7"}, {1, "Second 7"}, {2, "First 7"}, {4, "Second 7"}};
  for (const auto& [lfsr, want] : cases) {
    t.world->gameState.visibilityLfsr = lfsr;
    FormatGameMessageText(*t.world, *m);
    EXPECT_STREQ(m->texts[1], want) << lfsr;
  }
  DeleteZeroed(m);
}

TEST(MessageBody, StatusLinesUseTheStatusTemplateAndNoBlock) {
  TextWorld t;
  MessageTypeRecord& type = t.Type(11);
  type.attachmentKind = 40;
  type.paramKinds[1] = 3;
  type.statusTemplate.reset(TestCopy("Status %s|%s"));
  t.SetTemplate(11, "Body");
  PlayerMessage* m = NewMessage(11, kMessageStatus);
  m->params[1] = 42;
  FormatGameMessageText(*t.world, *m);
  EXPECT_STREQ(m->texts[1], "Status |42");
  DeleteZeroed(m);
}

TEST(MessageBody, LettersKeepTheirBody) {
  TextWorld t;
  PlayerMessage* m = NewMessage(0);
  m->texts[1] = TestCopy("Dear neighbour");
  FormatGameMessageText(*t.world, *m);
  EXPECT_STREQ(m->texts[1], "Dear neighbour");
  DeleteZeroed(m);
}

TEST(MessageBody, LongBodiesAreCutTo4095Characters) {
  TextWorld t;
  t.Type(12);
  const std::string long_(5000, 'b');
  t.SetTemplate(12, long_.c_str());
  PlayerMessage* m = NewMessage(12);
  FormatGameMessageText(*t.world, *m);
  EXPECT_EQ(std::strlen(m->texts[1]), 4095u);
  DeleteZeroed(m);
}

TEST(MessageBody, ScenarioReportReplacesTheBody) {
  TextWorld t;
  t.Type(13).attachmentKind = 40;
  t.SetTemplate(13, "ignored");
  PlayerMessage* m = NewMessage(13);
  m->owner = 2;
  t.P(2).startEmail = 4;
  t.SetEmailText(0, nullptr);
  t.SetEmailText(4, nullptr);
  FormatGameMessageText(*t.world, *m);
  EXPECT_STREQ(m->texts[1], "Nothing to report.\n");
  t.SetEmailText(0, "Default report");
  FormatGameMessageText(*t.world, *m);
  EXPECT_STREQ(m->texts[1], "Default report");
  t.SetEmailText(4, "Report of four");
  FormatGameMessageText(*t.world, *m);
  EXPECT_STREQ(m->texts[1], "Report of four");
  DeleteZeroed(m);
}

TEST(MessageBody, OfferBlockFollowsTheTemplate) {
  TextWorld t;
  t.Type(400).attachmentKind = 20;
  t.SetTemplate(400, "Offer:");
  t.SetListEntry(kListPayfrequency, 3, "Monthly");
  DipOffer offer;
  offer.expiryDay = kTestDay;
  DealItem pay;
  pay.frequency = 3;
  pay.paymentCount = 12;
  pay.amount = 2500000.0f;
  offer.offered.dealItems.push_back(pay);
  offer.message = "Take it";
  PlayerMessage* m = NewMessage(400);
  m->texts[2] = TestCopy(WriteDipOffer(*t.world, offer).c_str());
  FormatGameMessageText(*t.world, *m);
  EXPECT_STREQ(m->texts[1],
               "Offer:\n----- Items OFFERED:\n12x Monthly $ 2.50 M\n\n----- Items REQUESTED:\n\n"
               "Financial Value: Offered $ 30.00 M, Requested $ 0.\n\nMessage:\nTake it\n\n"
               "Offer Valid Until Jan 2, 2000.\n\n");
  DeleteZeroed(m);
}

TEST(MessageBody, ElectionResultsFollowTheTemplate) {
  TextWorld t;
  for (uint32_t id : {26u, 27u}) {
    t.Type(id).attachmentKind = static_cast<uint8_t>(id);
    t.SetTemplate(id, "Results:\n");
  }
  t.SetListEntry(kListPolpartyleft, 1, "Reds");
  t.SetListEntry(kListPolpartycenter, 0, "Middle");
  t.SetListEntry(kListPolpartyright, 5, "Blues");
  t.SetListEntry(kListPolpartyother, 0, "Greens");
  PlayerRecord& r = t.P(2);
  r.partyShare[0] = 0.3f;
  r.partyShare[1] = 0.456f;
  r.partyShare[2] = 0.2f;
  r.partyShare[3] = 0.044f;
  r.rulingParty = 1;
  r.bandPicks[0] = 1;
  r.bandPicks[1] = 0;
  r.bandPicks[2] = 5;
  // The ruling party first, then the others in number order, then an empty
  // line; shares to the nearest tenth of a per cent.
  const char* want =
      "Results:\n45.6% - Middle   (Ruling Party)\n30.0% - Reds\n20.0% - Blues\n4.4% - Greens\n\n";
  for (uint32_t id : {26u, 27u}) {
    PlayerMessage* m = NewMessage(id);
    m->owner = 2;
    FormatGameMessageText(*t.world, *m);
    EXPECT_STREQ(m->texts[1], want) << id;
    // An owner outside the table has no results.
    m->owner = 40;
    FormatGameMessageText(*t.world, *m);
    EXPECT_STREQ(m->texts[1], "Results:\n") << id;
    DeleteZeroed(m);
  }
}

}  // namespace
