#include "world/text/ai_params.h"

#include "world/text/csv_frame.h"

namespace {

// Reads `rows` lines of `perRow` cells each into values, in reading order;
// surplus cells of a line are ignored.
template <typename Read>
void ReadRows(TextTokenizer& t, int rows, int perRow, Read read) {
  int i = 0;
  for (int row = 0; row < rows; ++row) {
    for (int cell = 0; cell < perRow; ++cell) read(i++);
    SkipLine(t);
  }
}

}  // namespace

int32_t LoadAIParams(AiParams& params, const char* name) {
  TextTokenizer t;
  if (LoadCsvText(t, "AI\\", name, ".CSV") < 0) return plat::kFail;
  t.cursor = t.text;
  if (EnterKeywordBlock(t, "buildsequence", true))
    ReadRows(t, 9, 16, [&](int i) { params.buildSequence[i] = ReadFieldLong(t, 0); });
  if (EnterKeywordBlock(t, "unitweighting", true))
    ReadRows(t, 52, 30, [&](int i) { params.unitWeighting[i] = ReadFieldFloat(t, 0.0f); });
  if (EnterKeywordBlock(t, "missileweighting", true))
    ReadRows(t, 8, 30, [&](int i) { params.missileWeighting[i] = ReadFieldFloat(t, 0.0f); });
  if (EnterKeywordBlock(t, "aireqresponse", true)) {
    ReadRows(t, 16, 8, [&](int i) {
      AiRequestResponse& r = params.requestResponses[i];
      r.flag = ReadFieldBool(t, 0);
      r.category = ReadFieldInt32(t, 0);
      r.role = ReadFieldInt32(t, 0);
    });
  }
  return plat::kOk;
}
