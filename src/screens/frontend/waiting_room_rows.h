#pragma once
// The rows of the network game's waiting room, one per region: while the
// players' machines report in (loading view) and in the players view with
// the host's kick button; and the question that confirms a kick.
#include <cstdint>
#include <string>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

struct NetSlot;

inline constexpr int kWaitingRoomRows = 16;

// The name a region goes by in these rows: the scenario's name for its
// number, else the record's own.
std::string WaitingRoomRegionName(const World& world, int32_t player);
// The row's status word: a person's machine "Waiting" until it reports,
// then "Ready"; any other slot the "playerstatus" text for the region's kind.
std::string WaitingRoomStatus(const NetSlot& slot, int32_t kind);

class WaitingRoomLoadRow : public Screen {
 public:
  WaitingRoomLoadRow();
  void Refresh() override;
  int32_t player = 0;
};

class WaitingRoomPlayers : public Screen {
 public:
  WaitingRoomPlayers();
  void BindControls() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;
  int32_t player = 0;
};

class KickPopup : public Screen {
 public:
  KickPopup();
  void OnOpen() override;
  void OnCommand(Control* control, int32_t id) override;
  int32_t player = 0;
};
