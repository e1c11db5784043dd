#include "world/text/ai_params.h"

#include "world/text/csv_frame.h"

namespace {

// Reads `rows` lines of `perRow` cells each into values, in reading order;
// surplus cells of a line are ignored.
// A line too long to be a row is skipped whole, its values kept.
template <typename Read>
void ReadRows(TextTokenizer& t, int rows, int perRow, int cellsPerValue, Read read) {
  int i = 0;
  for (int row = 0; row < rows; ++row, i += perRow) {
    if (BeginTableLine(t, perRow * cellsPerValue))
      for (int cell = 0; cell < perRow; ++cell) read(i + cell);
    SkipLine(t);
  }
}

// A build step's role (bits 0-4) and options (bits 5-7).
constexpr int32_t kLastBuildStep = 255;
// Weightings are added to a handful of small bonuses.
constexpr float kLargestWeighting = 100.0f;

}  // namespace

int32_t LoadAIParams(AiParams& params, const char* name) {
  TextTokenizer t;
  if (LoadCsvText(t, "AI\\", name, ".CSV") < 0) return plat::kFail;
  t.cursor = t.text;
  if (EnterKeywordBlock(t, "buildsequence", true))
    ReadRows(t, 9, 16, 1, [&](int i) { params.buildSequence[i] = ReadLongCell(t, 0, 0, kLastBuildStep); });
  if (EnterKeywordBlock(t, "unitweighting", true))
    ReadRows(t, 52, 30, 1, [&](int i) {
      params.unitWeighting[i] = ReadRealCell(t, 0.0f, -kLargestWeighting, kLargestWeighting);
    });
  if (EnterKeywordBlock(t, "missileweighting", true))
    ReadRows(t, 8, 30, 1, [&](int i) {
      params.missileWeighting[i] = ReadRealCell(t, 0.0f, -kLargestWeighting, kLargestWeighting);
    });
  if (EnterKeywordBlock(t, "aireqresponse", true)) {
    ReadRows(t, 16, 8, 3, [&](int i) {
      AiRequestResponse& r = params.requestResponses[i];
      r.flag = ReadFieldBool(t, 0);
      // Compared with a category and a class's type byte.
      r.category = ReadIntCell(t, 0, 0, 255);
      r.role = ReadIntCell(t, 0, 0, 255);
    });
  }
  return plat::kOk;
}
