#pragma once
// The game speed: four tiers whose speeds (game minutes per real second)
// come from the options. A change travels as a session message that the
// main thread applies, the same way on every peer.
#include <cstdint>

struct GameState;
struct SessionMessage;

inline constexpr int32_t kTopSpeedTier = 3;

// What a speed change needs of the network session. Until the session sets
// them there is no network game: no chat line is posted and nothing is sent.
struct GameSpeedNetwork {
  bool (*inNetworkGame)() = nullptr;
  // A chat line from a player to the players of the mask.
  void (*postChatLine)(int32_t sender, uint32_t playerMask, const char* text) = nullptr;
  // Sends a session message to every peer.
  void (*sendToAll)(const SessionMessage& message) = nullptr;
};

extern GameSpeedNetwork g_gameSpeedNetwork;

// The speed of a tier (tiers above 3 count as 3, below 0 as 0): its
// speedrateslices value, doubled while bspeeddouble is set.
int32_t GameSpeedOfTier(int32_t tier);

// The first tier of 0, 1 and 2 whose speed is not below the game speed, else 3.
int32_t GetGameSpeedTier(const GameState& state);

// Asks for the speed of a tier: nothing while the speed is locked (timed
// turns without a change allowed); otherwise a kind-100 session message with
// the tier's speed is queued for the main thread (and, in a network game,
// the change is announced and the message sent to every peer). Safe from
// any thread: it changes nothing itself.
void SetGameSpeed(GameState& state, int32_t tier);
