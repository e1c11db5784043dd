#pragma once
// The computer players' parameters ("AIparams"): build sequences, unit and
// missile weightings, and the responses to requests.
#include <cstdint>

inline constexpr int kBuildSequenceValues = 144;    // 3 domains x 3 tiers x 16
inline constexpr int kUnitWeightingValues = 1560;   // 26 roles x 2 rows x 30
inline constexpr int kMissileWeightingValues = 240; // 4 missile types x 2 rows x 30
inline constexpr int kRequestResponses = 128;       // 16 event kinds x 8

struct AiRequestResponse {
  int32_t flag = 0;
  int32_t category = 0;
  int32_t role = 0;
};

struct AiParams {
  int32_t buildSequence[kBuildSequenceValues] = {};
  float unitWeighting[kUnitWeightingValues] = {};
  float missileWeighting[kMissileWeightingValues] = {};
  AiRequestResponse requestResponses[kRequestResponses] = {};
};

// "AI\" + name + ".CSV": the blocks "buildsequence", "unitweighting",
// "missileweighting" and "aireqresponse", each searched on from the one
// before, their rows on the lines after the keyword. A missing block keeps
// its values. 0, or the generic failure when the file cannot be read.
int32_t LoadAIParams(AiParams& params, const char* name);
