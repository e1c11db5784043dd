#pragma once
// How a region's form of government weighs on its economy and people: one
// row of eleven factors per government type (0 to 4). A type outside the
// table takes row 0, so a damaged record cannot read past it.
#include <cstdint>

inline constexpr float kLeaderStatusTable[5][11] = {
    {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f},
    {1.0f, 1.0f, 0.4f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f},
    {1.0f, 1.0f, 1.5f, 1.5f, 1.0f, 1.0f, 1.0f, -1.0f, 1.2f, 0.0f, 0.5f},
    {0.7f, 0.8f, 1.5f, 2.0f, 0.5f, 0.5f, 0.5f, -2.0f, 1.5f, 0.0f, 0.7f},
    {0.9f, 0.9f, 2.0f, 1.4f, 0.5f, 1.0f, 0.7f, -2.0f, 2.0f, 3.0f, 2.0f},
};

inline float LeaderStatus(uint8_t govtype, int column) {
  if (column < 0 || column >= 11) return 0.0f;
  return kLeaderStatusTable[govtype < 5 ? govtype : 0][column];
}
