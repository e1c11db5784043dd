#pragma once
// A diplomatic offer: what the proposer gives and what it asks for in
// return, with the approach, the dates and a message. Offers travel as
// DIPOFFER text: in the player message that delivers them, in command 180
// that carries one out, and from computer players. The deal editor fills
// the record, the mail view and the simulation read the text back.
//
// The groups name units, technologies and unit designs by id and index,
// never by pointer: a unit can be destroyed while an offer waits in a
// mailbox, and whoever reads the offer looks the unit up again.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct World;

inline constexpr int kAgreementTypes = 128;  // agreement bytes 1..127 are used
inline constexpr int kAreaTags = 4;          // land tags offered and requested
inline constexpr int kDealFrequencies = 5;   // payfrequency entries 0..4
inline constexpr int kDealProducts = 12;     // product indexes 0..11
inline constexpr int kOfferKinds = 7;        // approaches 0..6

// A payment or a delivery of goods proposed in an offer: the fields of a
// recurring item. A non-zero id names an existing recurring item that the
// proposal cancels.
struct DealItem {
  uint8_t state = 0;
  uint8_t receiver = 0;
  uint8_t giver = 0;
  uint8_t byte3 = 0;
  uint16_t serial = 0;
  uint8_t frequency = 0;  // payfrequency index 0..4
  uint8_t byte7 = 0;
  int16_t paymentCount = 0;  // 0: continuous
  uint8_t product = 0;       // 0..11
  uint8_t byte11 = 0;
  uint32_t flags = 0;  // bit 0: goods (amount in units of the product), else money
  uint32_t word16 = 0;
  float amount = 0.0f;  // of each payment
  float arrears = 0.0f;
  uint32_t words[5] = {};
  uint32_t id = 0;

  bool goods() const { return (flags & 1u) != 0; }
};

// Default payment counts by frequency 0..4.
int DefaultPaymentCount(int frequency);

// A unit in an offer, with its deal quantity (the number of missiles, or
// the strength asked of a unit held off the map).
struct OfferUnit {
  uint32_t unitId = 0;
  uint8_t quantity = 0;
};

struct OfferItemGroup {
  // Byte i for agreement type i: 0 not part of the deal; 1..127 make it;
  // 128..255 (negative as a signed byte) cancel it.
  std::array<uint8_t, kAgreementTypes> agreements{};
  uint32_t areaMask = 0;  // bit n: land tag n + 1 is part of the deal
  // Per land tag, its hexes: column in the low signed 16 bits, row in the high.
  std::array<std::vector<uint32_t>, kAreaTags> areas;
  std::vector<DealItem> dealItems;
  std::vector<OfferUnit> units;
  std::vector<int32_t> discoveries;  // technology indexes
  std::vector<int32_t> designs;      // unit-class numbers

  bool HasDiscovery(int32_t tech) const;
  bool HasDesign(int32_t classIndex) const;
  bool HasUnit(uint32_t unitId) const;
};

// Offer flags.
inline constexpr uint32_t kOfferAnswer = 1u << 0;         // an answer to a received offer
inline constexpr uint32_t kOfferWhileHostile = 1u << 2;   // may be made while hostile

struct DipOffer {
  uint8_t firstPlayer = 0;   // the addressee of an offer being written
  uint8_t secondPlayer = 0;  // the proposer of an offer being written
  uint8_t kind = 0;          // the approach 0..6
  uint32_t sentDay = 0;      // stamp 1: day number of sending
  uint32_t sentTick = 0;     // stamp 2
  uint32_t expiryDay = 0;    // stamp 3
  uint32_t stamp4 = 0;       // carried unchanged
  OfferItemGroup offered;    // what the second player gives
  OfferItemGroup requested;  // what the second player asks for
  uint32_t flags = 0;
  std::optional<std::string> message;  // free text, or none
  std::string text;                    // the DIPOFFER text last written
};

// Writes the DIPOFFER text into the offer's own text (replacing an earlier
// one) and returns it. Agreements are written only for types the regional
// treaty table names.
const std::string& WriteDipOffer(const World& world, DipOffer& offer);

// Reads a DIPOFFER text into the offer, which is cleared first. With swap
// the two players and the two groups change places and the answer flag is
// set. With markTags the offer's land tags are marked on the world's map
// (each tag emptied the first time a group names it) and shown.
//
// The text may come from a peer: entries whose values are out of range
// (agreement indexes, frequencies, products, counts, quantities, tags,
// coordinates, technology and class numbers, amounts that are negative or
// not finite) are dropped while reading, and unknown units are skipped. A
// missing keyword ends reading early with what was read so far.
void ParseDipOffer(World& world, const char* text, DipOffer& offer, bool swap, bool markTags);
