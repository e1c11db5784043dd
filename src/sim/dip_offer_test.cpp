#include "sim/dip_offer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "sim/offer_description.h"
#include "sim/offer_test_world.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"

namespace {

constexpr const char* kEmptyOffer =
    "DIPOFFER\n"
    "0, 0, 0, 0, 0, 0, 0, 0, 0\n"
    "ITEMSOFFER\n-1\n-1\n-1\n-1\n-1\n-1\n"
    "ITEMSREQUEST\n-1\n-1\n-1\n-1\n-1\n-1\n"
    "\"\"\n";

// A world with named treaties 1..40, 20 technologies, 30 classes and units
// with ids 0x02000001.. of player 2 and 0x03000001.. of player 3.
struct OfferWorld : OfferTestWorld {
  OfferWorld() : OfferTestWorld(240, 20) {
    for (int t = 1; t <= 40; ++t) NameTreaty(t, ("Treaty " + std::to_string(t)).c_str());
    world->techs.resize(20);
    world->unitClasses.resize(30);
    for (uint32_t i = 1; i <= 8; ++i) {
      AddUnit(0x02000000u | i, 2);
      AddUnit(0x03000000u | i, 3);
    }
  }
  UnitRecord* AddUnit(uint32_t id, uint8_t owner) {
    auto* u = new UnitRecord{};
    u->id = id;
    u->owner = owner;
    u->classIndex = 1;
    InsertUnitInRing(*world, *u);
    return u;
  }
  uint32_t TagBits(int column, int row) const {
    return (world->cells[static_cast<size_t>(row) * 240 + static_cast<size_t>(column)].word >> 16) & 0xFFu;
  }
};

void ExpectSameGroup(const OfferItemGroup& a, const OfferItemGroup& b) {
  EXPECT_EQ(a.agreements, b.agreements);
  EXPECT_EQ(a.areaMask, b.areaMask);
  EXPECT_EQ(a.areas, b.areas);
  ASSERT_EQ(a.dealItems.size(), b.dealItems.size());
  for (size_t i = 0; i < a.dealItems.size(); ++i) {
    EXPECT_EQ(a.dealItems[i].flags & 1u, b.dealItems[i].flags & 1u);
    EXPECT_EQ(a.dealItems[i].id, b.dealItems[i].id);
    EXPECT_EQ(a.dealItems[i].frequency, b.dealItems[i].frequency);
    EXPECT_EQ(a.dealItems[i].paymentCount, b.dealItems[i].paymentCount);
    EXPECT_EQ(a.dealItems[i].product, b.dealItems[i].product);
    EXPECT_EQ(a.dealItems[i].amount, b.dealItems[i].amount);
  }
  ASSERT_EQ(a.units.size(), b.units.size());
  for (size_t i = 0; i < a.units.size(); ++i) {
    EXPECT_EQ(a.units[i].unitId, b.units[i].unitId);
    EXPECT_EQ(a.units[i].quantity, b.units[i].quantity);
  }
  EXPECT_EQ(a.discoveries, b.discoveries);
  EXPECT_EQ(a.designs, b.designs);
}

// An offer with every kind of item, a cancelled agreement (255) and a hex in
// column -1.
DipOffer FullOffer() {
  DipOffer o;
  o.firstPlayer = 3;
  o.secondPlayer = 2;
  o.kind = 4;
  o.sentDay = kTestDay;
  o.sentTick = 0xFFFFFFF0u;
  o.expiryDay = kTestDay + 7;
  o.stamp4 = 12345;
  o.flags = kOfferWhileHostile;
  o.offered.agreements[3] = 1;
  o.offered.agreements[17] = 255;
  DealItem money;
  money.frequency = 3;
  money.paymentCount = 12;
  money.amount = 2500000.0f;
  o.offered.dealItems.push_back(money);
  DealItem goods;
  goods.flags = 1;
  goods.product = 7;
  goods.amount = 300.0f;
  o.offered.dealItems.push_back(goods);
  DealItem cancel;
  cancel.id = 0x02000044u;
  o.offered.dealItems.push_back(cancel);
  o.offered.units.push_back({0x02000001u, 1});
  o.offered.units.push_back({0x02000002u, 255});
  o.offered.areaMask = 0b0101;
  o.offered.areas[0] = {PackHex(-1, 4), PackHex(5, 4)};
  o.offered.areas[2] = {PackHex(100, 19)};
  o.offered.discoveries = {4, 9};
  o.offered.designs = {2, 29};
  o.requested.agreements[40] = 2;
  o.requested.units.push_back({0x03000005u, 3});
  o.requested.areaMask = 0b1000;
  o.requested.areas[3] = {PackHex(7, 0)};
  o.message = "Peace, and \"quiet\"";
  return o;
}

TEST(DipOffer, EmptyOfferIsWrittenAsTheBareLines) {
  OfferWorld t;
  DipOffer offer;
  EXPECT_EQ(WriteDipOffer(*t.world, offer), kEmptyOffer);
  EXPECT_EQ(offer.text, kEmptyOffer);
}

TEST(DipOffer, FullOfferIsWrittenLineByLine) {
  OfferWorld t;
  DipOffer offer = FullOffer();
  offer.message = "Peace";
  const std::string want =
      "DIPOFFER\n"
      "3, 2, 0, 4, 2451545, 4294967280, 2451552, 12345, 1\n"
      "ITEMSOFFER\n"
      "3, 1\n17, 255\n-1\n"
      "0, 0, 3, 12, 0, 2500000\n1, 0, 0, 0, 7, 300\n0, 33554500, 0, 0, 0, 0\n-1\n"
      "33554433, 1\n33554434, 255\n-1\n"
      "0, -1, 4\n0, 5, 4\n2, 100, 19\n-1\n"
      "4\n9\n-1\n"
      "2\n29\n-1\n"
      "ITEMSREQUEST\n"
      "40, 2\n-1\n-1\n50331653, 3\n-1\n3, 7, 0\n-1\n-1\n-1\n"
      "\"Peace\"\n";
  EXPECT_EQ(WriteDipOffer(*t.world, offer), want);
}

TEST(DipOffer, UnnamedAgreementsAreNotWritten) {
  OfferWorld t;
  DipOffer offer;
  offer.offered.agreements[41] = 1;  // types 41.. have no name
  offer.offered.agreements[5] = 1;
  EXPECT_NE(WriteDipOffer(*t.world, offer).find("ITEMSOFFER\n5, 1\n-1\n"), std::string::npos);
}

TEST(DipOffer, FullOfferGoesWriteParseWriteByteIdentical) {
  OfferWorld t;
  DipOffer offer = FullOffer();
  offer.message = "Peace";
  const std::string first = WriteDipOffer(*t.world, offer);
  DipOffer back;
  ParseDipOffer(*t.world, first.c_str(), back, false, false);
  EXPECT_EQ(back.firstPlayer, 3);
  EXPECT_EQ(back.secondPlayer, 2);
  EXPECT_EQ(back.kind, 4);
  EXPECT_EQ(back.sentTick, 0xFFFFFFF0u);
  EXPECT_EQ(back.flags, kOfferWhileHostile);
  EXPECT_EQ(back.offered.agreements[17], 255);
  EXPECT_EQ(back.offered.areas[0][0], PackHex(-1, 4));
  ExpectSameGroup(back.offered, offer.offered);
  ExpectSameGroup(back.requested, offer.requested);
  ASSERT_TRUE(back.message);
  EXPECT_EQ(*back.message, "Peace");
  EXPECT_EQ(WriteDipOffer(*t.world, back), first);
}

TEST(DipOffer, MessageEndsAtItsClosingQuote) {
  OfferWorld t;
  DipOffer offer = FullOffer();  // the message holds quotes
  DipOffer back;
  ParseDipOffer(*t.world, WriteDipOffer(*t.world, offer).c_str(), back, false, false);
  ASSERT_TRUE(back.message);
  EXPECT_EQ(*back.message, "Peace, and ");
}

TEST(DipOffer, SwapExchangesPlayersAndGroupsAndMarksAnAnswer) {
  OfferWorld t;
  // Written by player 2 (the proposer, second) for player 3 (first).
  DipOffer offer = FullOffer();
  const std::string text = WriteDipOffer(*t.world, offer);
  DipOffer swapped;
  ParseDipOffer(*t.world, text.c_str(), swapped, true, false);
  EXPECT_EQ(swapped.firstPlayer, 2);
  EXPECT_EQ(swapped.secondPlayer, 3);
  EXPECT_EQ(swapped.flags, kOfferAnswer | kOfferWhileHostile);
  ExpectSameGroup(swapped.offered, offer.requested);
  ExpectSameGroup(swapped.requested, offer.offered);
}

TEST(DipOffer, AnswerFlagTravelsInTheHeader) {
  OfferWorld t;
  DipOffer offer;
  offer.flags = kOfferAnswer;
  DipOffer back;
  ParseDipOffer(*t.world, WriteDipOffer(*t.world, offer).c_str(), back, false, false);
  EXPECT_EQ(back.flags, kOfferAnswer);
}

TEST(DipOffer, CommasWithoutBlanksReadTheSame) {
  OfferWorld t;
  const char* spaced =
      "DIPOFFER\n5, 6, 0, 1, 10, 20, 30, 40, 0\nITEMSOFFER\n3, 1\n-1\n-1\n-1\n-1\n-1\n-1\n"
      "ITEMSREQUEST\n4, 1\n-1\n0, 0, 2, 5, 1, 100\n-1\n-1\n-1\n-1\n-1\n\"Ceasefire\"\n";
  const char* tight =
      "DIPOFFER\n5,6,0,1,10,20,30,40,0\nITEMSOFFER\n3,1\n-1\n-1\n-1\n-1\n-1\n-1\n"
      "ITEMSREQUEST\n4,1\n-1\n0,0,2,5,1,100\n-1\n-1\n-1\n-1\n-1\n\"Ceasefire\"\n";
  DipOffer a, b;
  ParseDipOffer(*t.world, spaced, a, false, false);
  ParseDipOffer(*t.world, tight, b, false, false);
  EXPECT_EQ(a.offered.agreements[3], 1);
  EXPECT_EQ(a.requested.dealItems.size(), 1u);
  EXPECT_EQ(WriteDipOffer(*t.world, a), WriteDipOffer(*t.world, b));
  EXPECT_EQ(a.text, spaced);
}

TEST(DipOffer, WithoutItemsRequestOnlyTheFirstGroupAndNoMessage) {
  OfferWorld t;
  const char* text = "DIPOFFER\n1, 2, 0, 0, 0, 0, 0, 0, 0\nITEMSOFFER\n3, 1\n-1\n-1\n-1\n-1\n4\n-1\n-1\n";
  DipOffer offer;
  ParseDipOffer(*t.world, text, offer, false, false);
  EXPECT_EQ(offer.offered.agreements[3], 1);
  EXPECT_EQ(offer.offered.discoveries, (std::vector<int32_t>{4}));
  EXPECT_EQ(offer.requested.agreements, (std::array<uint8_t, kAgreementTypes>{}));
  EXPECT_FALSE(offer.message);
}

TEST(DipOffer, MissingKeywordsKeepWhatWasRead) {
  OfferWorld t;
  DipOffer offer;
  ParseDipOffer(*t.world, "no offer here", offer, false, false);
  EXPECT_EQ(offer.firstPlayer, 0);
  ParseDipOffer(*t.world, "DIPOFFER\n7, 8, 1, 2, 3, 4, 5, 6, 1\n", offer, false, false);
  EXPECT_EQ(offer.firstPlayer, 7);
  EXPECT_EQ(offer.secondPlayer, 8);
  EXPECT_EQ(offer.kind, 2);
  EXPECT_EQ(offer.expiryDay, 5u);
  EXPECT_EQ(offer.flags, kOfferAnswer | kOfferWhileHostile);
  ParseDipOffer(*t.world, nullptr, offer, false, false);
  EXPECT_EQ(offer.firstPlayer, 0);
}

TEST(DipOffer, OutOfRangeEntriesAreDroppedWhileReading) {
  OfferWorld t;
  const char* text =
      "DIPOFFER\n40, -3, 0, 9, 0, 0, 0, 0, 0\nITEMSOFFER\n"
      "0, 1\n128, 1\n-5, 1\n127, 300\n-1\n"                   // agreements: only 127 (300 keeps 44)
      "0, 0, 5, 1, 0, 10\n0, 0, 1, -2, 0, 10\n0, 0, 1, 1, 12, 10\n"  // frequency 5, count -2, product 12
      "0, 0, 1, 40000, 0, 10\n0, 0, 1, 1, 0, -10\n0, 0, 4, 2, 11, 9\n-1\n"  // count 40000, amount -10; last kept
      "0, 1\n33554433, 256\n33554433, 7\n99999, 1\n33554434\n-1\n"  // id 0, quantity 256, unknown id; empty = 255
      "4, 1, 1\n-2, 1, 1\n0, 70000, 1\n0, 1, 20\n0, 1, -1\n1, 3, 2\n-1\n"  // tags and rows
      "-2\n20\n19\n0\n-1\n"
      "30\n-4\n29\n29\n-1\n"
      "ITEMSREQUEST\n-1\n-1\n-1\n-1\n-1\n-1\n\"\"\n";
  DipOffer offer;
  ParseDipOffer(*t.world, text, offer, false, false);
  EXPECT_EQ(offer.firstPlayer, 0);
  EXPECT_EQ(offer.secondPlayer, 0);
  EXPECT_EQ(offer.kind, 0);
  std::array<uint8_t, kAgreementTypes> agreements{};
  agreements[127] = 44;
  EXPECT_EQ(offer.offered.agreements, agreements);
  ASSERT_EQ(offer.offered.dealItems.size(), 1u);
  EXPECT_EQ(offer.offered.dealItems[0].frequency, 4);
  EXPECT_EQ(offer.offered.dealItems[0].product, 11);
  ASSERT_EQ(offer.offered.units.size(), 2u);
  EXPECT_EQ(offer.offered.units[0].unitId, 0x02000001u);
  EXPECT_EQ(offer.offered.units[0].quantity, 7);
  EXPECT_EQ(offer.offered.units[1].quantity, 255);
  EXPECT_EQ(offer.offered.areaMask, 0b10u);
  EXPECT_EQ(offer.offered.areas[1], (std::vector<uint32_t>{PackHex(3, 2)}));
  EXPECT_TRUE(offer.offered.areas[0].empty());
  EXPECT_EQ(offer.offered.discoveries, (std::vector<int32_t>{19, 0}));
  EXPECT_EQ(offer.offered.designs, (std::vector<int32_t>{29}));
}

TEST(DipOffer, BlankLinesReadAsEntriesWithAZeroFirstField) {
  OfferWorld t;
  const char* text = "DIPOFFER\n1, 2\nITEMSOFFER\n-1\n-1\n-1\n\n-1\n\n-1\n-1\nITEMSREQUEST\n";
  DipOffer offer;
  ParseDipOffer(*t.world, text, offer, false, false);
  // The blank land-tag line is tag 0 at (0, 0); the blank discovery line technology 0.
  EXPECT_EQ(offer.offered.areaMask, 1u);
  EXPECT_EQ(offer.offered.areas[0], (std::vector<uint32_t>{0}));
  EXPECT_EQ(offer.offered.discoveries, (std::vector<int32_t>{0}));
  // The writer ends a tag's list at its empty entry.
  EXPECT_NE(WriteDipOffer(*t.world, offer).find("ITEMSOFFER\n-1\n-1\n-1\n-1\n0\n-1\n"), std::string::npos);
}

TEST(DipOffer, MarkTagsEmptiesEachTagOnceAndMarksItsHexes) {
  OfferWorld t;
  std::vector<int> shown;
  static std::vector<int>* s_shown;
  static int s_recounts;
  s_shown = &shown;
  s_recounts = 0;
  g_mailUi.showAreaTag = [](int32_t tag) { s_shown->push_back(tag); };
  g_mailUi.recountAreaTags = [] { ++s_recounts; };
  // Old marks of tags 0 and 3 and of tag 5, which no offer names.
  t.world->cells[10 * 240 + 10].word |= (1u | 8u | 32u) << 16;
  DipOffer offer = FullOffer();
  const std::string text = WriteDipOffer(*t.world, offer);
  DipOffer read;
  ParseDipOffer(*t.world, text.c_str(), read, false, true);
  EXPECT_EQ(t.TagBits(239, 4), 1u);  // column -1: the last column of its row
  EXPECT_EQ(t.TagBits(5, 4), 1u);
  EXPECT_EQ(t.TagBits(100, 19), 4u);
  EXPECT_EQ(t.TagBits(7, 0), 8u);
  EXPECT_EQ(t.TagBits(10, 10), 32u);  // tags 0 and 3 were emptied first
  EXPECT_EQ(shown, (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(s_recounts, 1);
  // Without marking the map stays as it is.
  t.world->cells[4 * 240 + 239].word = 0;
  ParseDipOffer(*t.world, text.c_str(), read, false, false);
  EXPECT_EQ(t.world->cells[4 * 240 + 239].word, 0u);
  EXPECT_EQ(s_recounts, 1);
}

TEST(DipOffer, ManyRandomOffersRoundTrip) {
  OfferWorld t;
  std::mt19937 rng(9001);
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 300; ++round) {
    DipOffer o;
    o.firstPlayer = static_cast<uint8_t>(pick(0, 31));
    o.secondPlayer = static_cast<uint8_t>(pick(0, 31));
    o.kind = static_cast<uint8_t>(pick(0, 6));
    o.sentDay = static_cast<uint32_t>(rng());
    o.sentTick = static_cast<uint32_t>(rng());
    o.expiryDay = static_cast<uint32_t>(rng());
    o.stamp4 = static_cast<uint32_t>(rng());
    o.flags = static_cast<uint32_t>(pick(0, 1)) | (pick(0, 1) ? kOfferWhileHostile : 0u);
    for (OfferItemGroup* g : {&o.offered, &o.requested}) {
      for (int i = pick(0, 6); i > 0; --i) g->agreements[static_cast<size_t>(pick(1, 40))] = static_cast<uint8_t>(pick(1, 255));
      for (int i = pick(0, 5); i > 0; --i) {
        DealItem d;
        d.flags = static_cast<uint32_t>(pick(0, 1));
        d.id = pick(0, 3) == 0 ? static_cast<uint32_t>(rng()) | 1u : 0u;
        if (d.id == 0xFFFFFFFFu) d.id = 7;  // that id reads as the list's end
        d.frequency = static_cast<uint8_t>(pick(0, 4));
        d.paymentCount = static_cast<int16_t>(pick(0, 32767));
        d.product = static_cast<uint8_t>(pick(0, 11));
        d.amount = static_cast<float>(pick(0, 16777215));  // whole numbers a float holds exactly
        g->dealItems.push_back(d);
      }
      for (int i = pick(0, 4); i > 0; --i) {
        const uint32_t id = (pick(0, 1) ? 0x02000000u : 0x03000000u) | static_cast<uint32_t>(pick(1, 8));
        if (!g->HasUnit(id)) g->units.push_back({id, static_cast<uint8_t>(pick(0, 255))});
      }
      for (int n = 0; n < kAreaTags; ++n) {
        if (pick(0, 2) != 0) continue;
        g->areaMask |= 1u << n;
        for (int i = pick(1, 4); i > 0; --i) {
          const uint32_t hex = PackHex(pick(-300, 300), pick(0, 19));
          if (hex != 0 && std::find(g->areas[n].begin(), g->areas[n].end(), hex) == g->areas[n].end())
            g->areas[n].push_back(hex);
        }
      }
      for (int i = pick(0, 4); i > 0; --i) {
        const int tech = pick(0, 19);
        if (!g->HasDiscovery(tech)) g->discoveries.push_back(tech);
      }
      for (int i = pick(0, 4); i > 0; --i) {
        const int design = pick(0, 29);
        if (!g->HasDesign(design)) g->designs.push_back(design);
      }
    }
    o.message = std::string(static_cast<size_t>(pick(0, 30)), static_cast<char>('a' + pick(0, 25)));
    const std::string text = WriteDipOffer(*t.world, o);
    DipOffer back;
    ParseDipOffer(*t.world, text.c_str(), back, false, false);
    SCOPED_TRACE(text);
    EXPECT_EQ(back.firstPlayer, o.firstPlayer);
    EXPECT_EQ(back.secondPlayer, o.secondPlayer);
    EXPECT_EQ(back.kind, o.kind);
    EXPECT_EQ(back.sentDay, o.sentDay);
    EXPECT_EQ(back.sentTick, o.sentTick);
    EXPECT_EQ(back.expiryDay, o.expiryDay);
    EXPECT_EQ(back.stamp4, o.stamp4);
    EXPECT_EQ(back.flags, o.flags);
    ExpectSameGroup(back.offered, o.offered);
    ExpectSameGroup(back.requested, o.requested);
    EXPECT_EQ(back.message, o.message);
    EXPECT_EQ(WriteDipOffer(*t.world, back), text);
    DipOffer swapped;
    ParseDipOffer(*t.world, text.c_str(), swapped, true, false);
    ExpectSameGroup(swapped.offered, o.requested);
    ExpectSameGroup(swapped.requested, o.offered);
    EXPECT_EQ(swapped.firstPlayer, o.secondPlayer);
    EXPECT_TRUE(swapped.flags & kOfferAnswer);
  }
}

// Everything a parse leaves in an offer is in range, whatever the text.
void ExpectSane(const DipOffer& offer) {
  EXPECT_LT(offer.firstPlayer, kMaxPlayers);
  EXPECT_LT(offer.secondPlayer, kMaxPlayers);
  EXPECT_LT(offer.kind, kOfferKinds);
  for (const OfferItemGroup* g : {&offer.offered, &offer.requested}) {
    EXPECT_EQ(g->agreements[0], 0);
    for (const DealItem& d : g->dealItems) {
      EXPECT_LT(d.frequency, kDealFrequencies);
      EXPECT_LT(d.product, kDealProducts);
      EXPECT_GE(d.paymentCount, 0);
      EXPECT_TRUE(std::isfinite(d.amount) && d.amount >= 0.0f);
    }
    EXPECT_EQ(g->areaMask & ~0xFu, 0u);
    for (const auto& list : g->areas)
      for (uint32_t hex : list) {
        EXPECT_GE(static_cast<int16_t>(hex >> 16), 0);
        EXPECT_LT(static_cast<int16_t>(hex >> 16), 20);
      }
    for (int32_t tech : g->discoveries) EXPECT_TRUE(tech >= 0 && tech < 20);
    for (int32_t design : g->designs) EXPECT_TRUE(design >= 0 && design < 30);
  }
}

TEST(DipOffer, TruncatedTextsParseSafely) {
  OfferWorld t;
  DipOffer offer = FullOffer();
  const std::string text = WriteDipOffer(*t.world, offer);
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    const std::string part = text.substr(0, cut);
    DipOffer read;
    ParseDipOffer(*t.world, part.c_str(), read, cut % 2 == 0, cut % 3 == 0);
    ExpectSane(read);
  }
}

TEST(DipOffer, GarbageAndMutatedTextsParseSafely) {
  OfferWorld t;
  std::mt19937 rng(77);
  const std::string valid = WriteDipOffer(*t.world, *std::make_unique<DipOffer>(FullOffer()));
  static const char kAlphabet[] = "0123456789-,;\" \r\nDIPOFFERITEMSREQUESTx.e+";
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    if (round % 2 == 0) {
      text = valid;
      for (int i = std::uniform_int_distribution<int>(1, 20)(rng); i > 0; --i) {
        const size_t at = std::uniform_int_distribution<size_t>(0, text.size() - 1)(rng);
        switch (rng() % 3) {
          case 0: text[at] = kAlphabet[rng() % (sizeof kAlphabet - 1)]; break;
          case 1: text.erase(at, 1); break;
          default: text.insert(at, 1, static_cast<char>(rng() % 255 + 1)); break;
        }
        if (text.empty()) text = "D";
      }
    } else {
      text = "DIPOFFER\n";
      for (int i = std::uniform_int_distribution<int>(0, 400)(rng); i > 0; --i)
        text += kAlphabet[rng() % (sizeof kAlphabet - 1)];
    }
    DipOffer read;
    ParseDipOffer(*t.world, text.c_str(), read, rng() % 2 == 0, rng() % 4 == 0);
    ExpectSane(read);
  }
}

}  // namespace

// A land tag's area in the offer text: hexes x the hex scale squared, which
// on a large-hex map passes the 32-bit range.
TEST(DipOffer, ALandTagsAreaIsWrittenWhole) {
  const struct {
    uint32_t scale;
    size_t hexes;
    const char* line;
  } rows[] = {{10, 3, "Land Tag 2 (300 sq km) (3)"}, {1000, 3000, "Land Tag 2 (3000000000 sq km) (3000)"}};
  for (const auto& r : rows) {
    OfferTestWorld t;
    t.world->mapHeader.hexScale = r.scale;
    OfferItemGroup group;
    group.areaMask = 1u << 1;
    group.areas[1].assign(r.hexes, 0u);
    char text[256];
    DescribeOfferItems(*t.world, group, text, sizeof text);
    EXPECT_NE(std::string(text).find(r.line), std::string::npos) << text;
  }
}
