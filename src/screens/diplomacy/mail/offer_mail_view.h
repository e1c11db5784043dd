#pragma once
// The body of a typed message in the mail pop-up (POPUP_EMAIL1a1): its text,
// the answers its type offers, the regions it names and, for a diplomatic
// offer, what the offer gives: its units, designs and discovery open in
// their own pop-ups, and its land tags are shown and stepped through on the
// map. The message is held by serial; the offer is read from its text each
// time it is shown. Window thread only.
#include <cstdint>
#include <vector>

#include "screens/common/screen_types_fwd.h"
#include "sim/dip_offer.h"
#include "ui/screen.h"

inline constexpr int kOfferAnswers = 5;
inline constexpr int32_t kOfferFirstAnswerLabel = 11;
inline constexpr int32_t kOfferFirstAnswerButton = 111;
inline constexpr int32_t kOfferViewUnits = 401;
inline constexpr int32_t kOfferStepLandTag = 402;
inline constexpr int32_t kOfferViewDiscovery = 403;
inline constexpr int32_t kOfferViewDesigns = 404;
inline constexpr int32_t kOfferViewMissiles = 406;
inline constexpr int32_t kOfferViewMissileDesigns = 407;
// Each view button's cover is its id plus this.
inline constexpr int32_t kOfferCoverOffset = 10;

inline constexpr const char* kOfferViewTags[] = {"MESSAGE", "DIPHIDE"};
inline constexpr int32_t kOfferViewIds[] = {11,  12,  13,  14,  15,  111, 112, 113, 114, 115, 401, 402, 403, 404,
                                            406, 407, 411, 412, 413, 414, 416, 417, 210, 211, 310, 311};
class OfferMailView : public Screen {
 public:
  OfferMailView() : Screen("POPUP_EMAIL1a1", FormLookups{.tags = kOfferViewTags, .ids = kOfferViewIds}) {}
  void BindControls() override;
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;

  // Shows the local player's message with the serial.
  void Open(World& world, uint32_t messageSerial);
  // Carries out answer k (0 to 4): a settled message is deleted, and the
  // pop-up lets go of it either way.
  void Answer(World& world, int k);
  // Moves on to the next offered land tag and returns it (0 to 3), -1 when
  // the offer has none; the map centres on its first hex.
  int32_t StepLandTag();

  uint32_t serial = 0;
  TextBoxControl* box = nullptr;
  DipOffer offer;
  bool hasOffer = false;
  uint8_t answers[kOfferAnswers] = {};
  // The offered things, each once: ordinary and stock units (ids), ordinary
  // and stock designs (class numbers).
  std::vector<intptr_t> units, missiles, designs, missileDesigns;
  int32_t tagStep = -1;
};
