#include "world/text/message_types.h"

#include "world/text/csv_frame.h"

namespace {

// The 45 cells after a row's id, by column (1 = the first after the id).
struct NewsRowCells {
  int32_t number[46] = {};
  char* text[46] = {};
  float real[46] = {};
  ~NewsRowCells() {
    for (char*& t : text) FreeAndClear(t);
  }
};

bool IsTextColumn(int c) { return (c >= 9 && c <= 13) || (c >= 36 && c <= 41); }
bool IsRealColumn(int c) { return c >= 42 && c <= 45; }
bool IsRecipientColumn(int c) { return c == 19 || c == 20; }
bool IsShortColumn(int c) { return c >= 22 && c <= 25; }

// Reals whose use no rule bounds more closely.
constexpr float kLargestReal = 1.0e9f;

void ReadRow(TextTokenizer& t, NewsRowCells& cells) {
  for (int c = 1; c <= 45; ++c) {
    if (IsTextColumn(c)) {
      cells.text[c] = ReadFieldString(t, "");
    } else if (IsRealColumn(c)) {
      cells.real[c] = ReadRealCell(t, 0.0f, -kLargestReal, kLargestReal);
    } else if (c == 8) {
      cells.number[c] = ReadFieldBool(t, 0);
    } else if (IsRecipientColumn(c)) {
      cells.number[c] = ReadIntCell(t, 0, 0, 32);
    } else if (IsShortColumn(c)) {
      cells.number[c] = ReadIntCell(t, 0, INT16_MIN, INT16_MAX);
    } else {
      cells.number[c] = ReadByteCell(t);
    }
  }
}

uint8_t Byte(int32_t v) { return static_cast<uint8_t>(static_cast<uint32_t>(v) & 0xFFu); }
int16_t Short(int32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFFu)); }

// An empty template is no template.
char* NullWhenEmpty(char*& text) {
  char* taken = text;
  text = nullptr;
  if (taken && taken[0] == '\0') FreeAndClear(taken);
  return taken;
}

char* Take(char*& text) {
  char* taken = text;
  text = nullptr;
  return taken;
}

// Recipient v (1..32) is bit v - 1; other values name nobody.
uint32_t RecipientBit(int32_t v) { return v >= 1 && v <= 32 ? 1u << (v - 1) : 0u; }

void FillRecord(MessageTypeRecord& r, NewsRowCells& c) {
  r.flags = Byte(c.number[1]);
  r.department = Byte(c.number[5]);
  r.enabled = Byte(c.number[2]);
  r.priority = Byte(c.number[7]);
  r.screenSetting = Byte(c.number[6]);
  r.frequencyKind = Byte(c.number[3]);
  r.frequencyParam = Byte(c.number[4]);
  r.muteFlags = c.number[8] ? 2 : 0;
  r.subject.reset(Take(c.text[9]));
  for (int i = 0; i < 3; ++i) r.bodyTemplates[i].reset(NullWhenEmpty(c.text[11 + i]));
  r.statusTemplate.reset(NullWhenEmpty(c.text[10]));
  for (int i = 0; i < 6; ++i) r.replyCodes[i] = Byte(c.number[30 + i]);
  r.replySet = Byte(c.number[21]);
  r.attachmentKind = Byte(c.number[18]);
  for (int i = 0; i < 6; ++i) r.replyTexts[i].reset(Take(c.text[36 + i]));
  for (int i = 0; i < 4; ++i) r.paramKinds[i] = Byte(c.number[14 + i]);
  for (int i = 0; i < 3; ++i) r.values[i] = Short(c.number[22 + i]);
  r.sound = Short(c.number[25]);
  for (int i = 0; i < 4; ++i) r.reals[i] = c.real[42 + i];
  for (int i = 0; i < 4; ++i) r.bytes[i] = Byte(c.number[26 + i]);
  r.recipientMask = RecipientBit(c.number[19]);
  r.recipientMask |= RecipientBit(c.number[20]);
}

}  // namespace

int32_t LoadNewsItems(MessageTypeTable& table, const char* name) {
  TextTokenizer t;
  if (LoadCsvText(t, "INI\\", name, ".CSV") < 0) return plat::kFail;
  char* value = FindKeyword(t, "MAXNUM", false);
  if (!value) return plat::kFail;
  t.cursor = value;
  const int32_t maxId = ReadFieldInt32(t, 0);
  if (maxId <= 0 || maxId > kMaxMessageTypeId) return plat::kFail;
  SkipLine(t);

  const size_t count = static_cast<size_t>(maxId) + 1;
  std::vector<MessageTypeRecord> records(count);
  for (auto& state : table.playerMessageState) state.assign(count, PlayerMessageState{});
  while (!AtEndOfText(t)) {
    int32_t id = 0;
    if (BeginNumberedRow(t, 46, 1, maxId, id) == RowStart::kRow) {
      NewsRowCells cells;
      ReadRow(t, cells);
      FillRecord(records[static_cast<size_t>(id)], cells);
    }
    SkipLine(t);
  }
  table.records = std::move(records);
  return plat::kOk;
}
