#include "ui/form_file.h"

#include <cfenv>
#include <cstdio>
#include <cstring>
#include <utility>

#include "app/app_object.h"
#include "app/calendar.h"
#include "app/file_helpers.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "records/le_bytes.h"
#include "ui/bitmap_control.h"
#include "ui/box_control.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/form_string_pool.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"

namespace {

constexpr uint32_t kBitmapSets = 9;
constexpr uint16_t kMaxFormControls = 0xFFFF;  // record indices are 16-bit

// One list of a record's fields serves both directions: f(offset, field)
// loads or stores the field at its offset of the 256-byte image.
template <typename F>
void VisitCommon(FormControlRecord& r, F&& f) {
  f(0, r.zero);
  f(4, r.next);
  f(8, r.prev);
  f(12, r.listWord);
  f(16, r.kind);
  f(18, r.index);
  for (size_t i = 0; i < sizeof r.tag; ++i) f(20 + i, r.tag[i]);
  f(32, r.flags);
  f(36, r.state);
  f(40, r.frameStyle);
  for (size_t i = 0; i < 3; ++i) f(41 + i, r.outlineWidths[i]);
  for (size_t i = 0; i < 3; ++i) f(44 + 4 * i, r.fills[i]);
  for (size_t i = 0; i < 3; ++i) f(56 + 4 * i, r.outlines[i]);
  f(68, r.id);
  f(72, r.hostedWord);
  f(76, r.text);
  f(80, r.owner);
  f(84, r.firstChild);
  f(88, r.parent);
  f(92, r.rect.left);
  f(96, r.rect.top);
  f(100, r.rect.right);
  f(104, r.rect.bottom);
}

template <typename F>
void VisitRect(size_t at, FormRect& rect, F&& f) {
  f(at, rect.left);
  f(at + 4, rect.top);
  f(at + 8, rect.right);
  f(at + 12, rect.bottom);
}

bool IsStringRecord(int16_t kind) { return kind == kKindText || kind == kKindString || kind == kKindEdit; }
bool IsTextRecord(int16_t kind) { return kind == kKindText || kind == kKindEdit; }

template <typename F>
void VisitPart(FormControlRecord& r, F&& f) {
  if (IsStringRecord(r.kind)) {
    FormStringPart& s = r.strings;
    f(108, s.text);
    f(112, s.selectedText);
    f(116, s.bufferSize);
    f(120, s.fontSlot);
    f(124, s.font);
    for (size_t i = 0; i < 4; ++i) f(128 + i, s.bytes[i]);
    f(132, s.word1);
    f(136, s.alignment);
    f(140, s.textColour);
    f(144, s.selectedTextColour);
    f(148, s.word2);
    if (!IsTextRecord(r.kind)) return;
    f(152, s.sourceText);
    f(156, s.selectedSourceText);
    for (size_t i = 0; i < 6; ++i) f(160 + 4 * i, s.words[i]);
    f(184, s.word3);
    f(188, s.extra);
    if (r.kind != kKindEdit) return;
    f(192, s.extraEdit);
    f(196, s.editSize);
    f(200, s.classes);
  } else if (r.kind == kKindBitmap) {
    FormBitmapPart& b = r.bitmap;
    f(108, b.texture);
    VisitRect(112, b.normal, f);
    f(128, b.selectedSet);
    VisitRect(132, b.selected, f);
    f(148, b.focusedSet);
    VisitRect(152, b.focused, f);
    f(168, b.frameCount);
    f(169, b.frame);
    f(170, b.frameDelay);
    f(171, b.delayCounter);
    f(172, b.framesPerRow);
    for (size_t i = 0; i < 3; ++i) f(173 + i, b.spare[i]);
  } else if (r.kind == kKindSlideBar) {
    FormSlideBarPart& s = r.slideBar;
    uint16_t* words[8] = {&s.position, &s.defaultPosition, &s.lowMark,    &s.notches,
                          &s.highMark, &s.rememberedPosition, &s.thumbLength, &s.exponent};
    for (size_t i = 0; i < 8; ++i) f(108 + 2 * i, *words[i]);
    f(124, s.maximum);
  }
}

struct Loader {
  const uint8_t* image;
  template <typename T>
  void operator()(size_t at, T& field) const {
    if constexpr (sizeof(T) == 1)
      field = static_cast<T>(image[at]);
    else
      le::LoadField(image, at, field);
  }
};

struct Storer {
  uint8_t* image;
  template <typename T>
  void operator()(size_t at, T& field) const {
    if constexpr (sizeof(T) == 1)
      image[at] = static_cast<uint8_t>(field);
    else
      le::StoreField(image, at, field);
  }
};

FormControlRecord DecodeRecord(const uint8_t* at) {
  FormControlRecord r{};
  VisitCommon(r, Loader{at});
  VisitPart(r, Loader{at});
  return r;
}

void EncodeRecord(FormControlRecord& r, uint8_t* at) {
  VisitCommon(r, Storer{at});
  VisitPart(r, Storer{at});
}

// The pool offsets a record holds, with what each names.
std::vector<std::pair<uint32_t, const char*>> RecordTexts(const FormControlRecord& r) {
  std::vector<std::pair<uint32_t, const char*>> out{{r.text, "text"}};
  if (!IsStringRecord(r.kind)) return out;
  const FormStringPart& s = r.strings;
  out.insert(out.end(), {{s.text, "string"}, {s.selectedText, "selected string"}});
  if (!IsTextRecord(r.kind)) return out;
  out.insert(out.end(), {{s.sourceText, "source text"}, {s.selectedSourceText, "selected source text"},
                         {s.extra, "further string"}});
  if (r.kind == kKindEdit) out.push_back({s.extraEdit, "edit string"});
  return out;
}

bool Refuse(std::string* why, std::string reason) {
  if (why) *why = std::move(reason);
  return false;
}

std::string RecordName(size_t i) { return "record " + std::to_string(i); }

// The checks that keep every walk finite and every read inside the image.
bool CheckRecords(const std::vector<FormControlRecord>& records, const uint8_t* pool, uint32_t poolSize,
                  std::string* why) {
  const size_t count = records.size() - 1;
  for (size_t i = 1; i <= count; ++i) {
    const FormControlRecord& r = records[i];
    const std::pair<uint32_t, const char*> links[4] = {
        {r.next, "next"}, {r.prev, "previous"}, {r.firstChild, "first child"}, {r.parent, "parent"}};
    for (const auto& [link, what] : links)
      if (link > count)
        return Refuse(why, RecordName(i) + ": its " + what + " link " + std::to_string(link) +
                               " is above the count " + std::to_string(count));
    for (const auto& [offset, what] : RecordTexts(r)) {
      if (offset == 0) continue;
      if (offset >= poolSize)
        return Refuse(why, RecordName(i) + ": its " + what + " offset " + std::to_string(offset) +
                               " lies outside the pool of " + std::to_string(poolSize) + " bytes");
      if (!std::memchr(pool + offset, 0, poolSize - offset))
        return Refuse(why, RecordName(i) + ": its " + what + " at " + std::to_string(offset) +
                               " has no terminator inside the pool");
    }
  }
  return true;
}

// The links must make one tree rooted at record 1: every record reached
// once, each ring closed with next and previous agreeing, each member naming
// its ring's parent, a lone child linked to nothing (never to itself).
bool CheckTree(const std::vector<FormControlRecord>& records, std::string* why) {
  const size_t count = records.size() - 1;
  const FormControlRecord& root = records[1];
  if (root.parent || root.next || root.prev)
    return Refuse(why, "record 1 (the root) is linked to a parent or to siblings");
  std::vector<uint8_t> seen(count + 1, 0);
  seen[1] = 1;
  std::vector<std::pair<uint32_t, int>> parents{{1, 1}};  // record, depth
  while (!parents.empty()) {
    const auto [parent, depth] = parents.back();
    parents.pop_back();
    const uint32_t first = records[parent].firstChild;
    if (!first) continue;
    if (depth >= kMaxFormDepth)
      return Refuse(why, RecordName(parent) + " nests deeper than " + std::to_string(kMaxFormDepth) + " levels");
    uint32_t at = first;
    do {
      const FormControlRecord& r = records[at];
      if (seen[at]) return Refuse(why, RecordName(at) + " is reached twice");
      seen[at] = 1;
      if (r.parent != parent)
        return Refuse(why, RecordName(at) + " names parent " + std::to_string(r.parent) + " but lies under " +
                               std::to_string(parent));
      if (!r.next || !r.prev) {
        if (r.next || r.prev || at != first)
          return Refuse(why, RecordName(at) + ": its next and previous links disagree");
        parents.push_back({at, depth + 1});
        break;
      }
      if (r.next == at || records[r.next].prev != at)
        return Refuse(why, RecordName(at) + ": its next and previous links disagree");
      parents.push_back({at, depth + 1});
      at = r.next;
    } while (at != first);
  }
  for (size_t i = 1; i <= count; ++i)
    if (!seen[i]) return Refuse(why, RecordName(i) + " is not in the tree under record 1");
  return true;
}

// Slots 0-8; the low byte names the set, anything else is set 0.
int32_t BitmapSetOf(uint32_t word) {
  const uint32_t set = word & 0xFFu;
  return set < kBitmapSets ? static_cast<int32_t>(set) : 0;
}

int32_t OptionalBitmapSetOf(uint32_t word) { return word == kFormNoImage ? -1 : BitmapSetOf(word); }

plat::Rect ToRect(const FormRect& r) { return plat::Rect{r.left, r.top, r.right, r.bottom}; }
FormRect FromRect(const plat::Rect& r) { return FormRect{r.left, r.top, r.right, r.bottom}; }

class PoolView {
 public:
  PoolView(const uint8_t* pool) : pool_(pool) {}
  // The whole string; empty for offset 0.
  std::string At(uint32_t offset) const {
    return offset ? std::string(reinterpret_cast<const char*>(pool_ + offset)) : std::string();
  }
  // The string cut to the control's buffer size (its own length when 0).
  std::string Cut(uint32_t offset, uint32_t bufferSize) const {
    std::string s = At(offset);
    if (bufferSize && s.size() > bufferSize) s.resize(bufferSize);
    return s;
  }

 private:
  const uint8_t* pool_;
};

Control* MakeControl(const FormControlRecord& r, const PoolView& pool) {
  Control* c = nullptr;
  if (IsStringRecord(r.kind)) {
    const FormStringPart& s = r.strings;
    StringControl* sc = nullptr;
    if (r.kind == kKindString) {
      sc = new StringControl;
    } else {
      TextControl* tc = nullptr;
      if (r.kind == kKindEdit) {
        auto* ec = new EditControl;
        ec->extraEdit = pool.Cut(s.extraEdit, s.bufferSize);
        ec->editSize = s.editSize;
        ec->classes = s.classes;
        tc = ec;
      } else {
        tc = new TextControl;
      }
      tc->sourceText = pool.Cut(s.sourceText, s.bufferSize);
      tc->selectedSourceText = pool.Cut(s.selectedSourceText, s.bufferSize);
      std::memcpy(tc->words, s.words, sizeof tc->words);
      tc->word3 = s.word3;
      tc->extra = pool.Cut(s.extra, s.bufferSize);
      sc = tc;
    }
    sc->recordText = pool.At(r.text);
    sc->text = pool.Cut(s.text, s.bufferSize);
    sc->hasText = s.text != 0;
    sc->selectedText = pool.Cut(s.selectedText, s.bufferSize);
    sc->bufferSize = s.bufferSize;
    sc->fontSlot = s.fontSlot < 16 ? s.fontSlot : 0;
    std::memcpy(sc->bytes, s.bytes, sizeof sc->bytes);
    sc->word1 = s.word1;
    sc->alignment = s.alignment;
    sc->textColour = s.textColour;
    sc->selectedTextColour = s.selectedTextColour;
    sc->word2 = s.word2;
    c = sc;
  } else if (r.kind == kKindBitmap) {
    const FormBitmapPart& b = r.bitmap;
    auto* bc = new BitmapControl;
    bc->images[kLookNormal] = BitmapImage{BitmapSetOf(r.hostedWord), ToRect(b.normal)};
    bc->images[kLookSelected] = BitmapImage{OptionalBitmapSetOf(b.selectedSet), ToRect(b.selected)};
    bc->images[kLookFocused] = BitmapImage{OptionalBitmapSetOf(b.focusedSet), ToRect(b.focused)};
    bc->frameCount = b.frameCount;
    bc->frame = b.frame;
    bc->frameDelay = b.frameDelay;
    bc->delayCounter = b.delayCounter;
    bc->framesPerRow = b.framesPerRow;
    std::memcpy(bc->spare, b.spare, sizeof bc->spare);
    c = bc;
  } else if (r.kind == kKindSlideBar) {
    const FormSlideBarPart& s = r.slideBar;
    auto* sb = new SlideBarControl;
    sb->position = s.position;
    sb->defaultPosition = s.defaultPosition;
    sb->lowMark = s.lowMark;
    sb->notches = s.notches;
    sb->highMark = s.highMark;
    sb->rememberedPosition = s.rememberedPosition;
    sb->thumbLength = s.thumbLength;
    sb->exponent = s.exponent;
    sb->maximum = s.maximum;
    c = sb;
  } else if (r.kind == kKindNull || r.kind == kKindBox) {
    c = new BoxControl;
  } else {
    c = new Control;
    c->kind = r.kind;
  }
  if (!IsStringRecord(r.kind)) {
    c->text = pool.At(r.text);
    c->hasText = r.text != 0;
  } else {
    c->flags |= kCtlOwnsText;
  }
  c->index = r.index;
  std::memcpy(c->tag, r.tag, sizeof c->tag);
  c->flags |= r.flags;
  c->frameStyle = r.frameStyle;
  std::memcpy(c->outlineWidths, r.outlineWidths, sizeof c->outlineWidths);
  std::memcpy(c->fills, r.fills, sizeof c->fills);
  std::memcpy(c->outlines, r.outlines, sizeof c->outlines);
  c->id = r.id;
  c->rect = ToRect(r.rect);
  return c;
}

void BindControl(Control* c, const FormBinding* bindings) {
  if (!bindings || !c->tag[0]) return;
  for (const FormBinding* b = bindings; b->name && b->name[0]; ++b) {
    if (!ControlTagMatches(c->tag, b->name)) continue;
    if (b->target) *b->target = c;
    return;
  }
}

// Preorder: a control, then the subtrees of its children in ring order.
std::vector<Control*> DepthFirst(Control* root) {
  std::vector<Control*> order;
  std::vector<Control*> stack{root};
  while (!stack.empty()) {
    Control* c = stack.back();
    stack.pop_back();
    order.push_back(c);
    if (!c->firstChild) continue;
    std::vector<Control*> ring;
    Control* child = c->firstChild;
    do {
      ring.push_back(child);
      child = child->NextInRing();
    } while (child && child != c->firstChild);
    for (auto it = ring.rbegin(); it != ring.rend(); ++it) stack.push_back(*it);
  }
  return order;
}

uint32_t IndexOf(const Control* c) { return c ? c->index : 0; }

}  // namespace

uint32_t FormStringPool::Add(const std::string& text) {
  const auto offset = static_cast<uint32_t>(bytes_.size());
  bytes_.insert(bytes_.end(), text.begin(), text.end());
  bytes_.push_back('\0');
  return offset;
}

uint32_t FormStringPool::AddOptional(const std::string& text) { return text.empty() ? 0 : Add(text); }

void Control::SaveRecordPart(FormControlRecord& record, FormStringPool& pool) const {
  record.text = hasText || !text.empty() ? pool.Add(text) : 0;
}

void StringControl::SaveRecordPart(FormControlRecord& record, FormStringPool& pool) const {
  record.text = pool.AddOptional(recordText);
  FormStringPart& s = record.strings;
  s.text = hasText || !text.empty() ? pool.Add(text) : 0;
  s.selectedText = pool.AddOptional(selectedText);
  s.bufferSize = bufferSize;
  s.fontSlot = fontSlot;
  std::memcpy(s.bytes, bytes, sizeof s.bytes);
  s.word1 = word1;
  s.alignment = alignment;
  s.textColour = textColour;
  s.selectedTextColour = selectedTextColour;
  s.word2 = word2;
}

void TextControl::SaveRecordPart(FormControlRecord& record, FormStringPool& pool) const {
  StringControl::SaveRecordPart(record, pool);
  FormStringPart& s = record.strings;
  s.sourceText = pool.AddOptional(sourceText);
  s.selectedSourceText = pool.AddOptional(selectedSourceText);
  std::memcpy(s.words, words, sizeof s.words);
  s.word3 = word3;
  s.extra = pool.AddOptional(extra);
}

void EditControl::SaveRecordPart(FormControlRecord& record, FormStringPool& pool) const {
  TextControl::SaveRecordPart(record, pool);
  FormStringPart& s = record.strings;
  s.extraEdit = pool.AddOptional(extraEdit);
  s.editSize = editSize;
  s.classes = classes;
}

void BitmapControl::SaveRecordPart(FormControlRecord& record, FormStringPool& pool) const {
  Control::SaveRecordPart(record, pool);
  FormBitmapPart& b = record.bitmap;
  record.hostedWord = images[kLookNormal].set < 0 ? 0 : static_cast<uint32_t>(images[kLookNormal].set);
  b.normal = FromRect(images[kLookNormal].source);
  b.selectedSet = static_cast<uint32_t>(images[kLookSelected].set);
  b.selected = FromRect(images[kLookSelected].source);
  b.focusedSet = static_cast<uint32_t>(images[kLookFocused].set);
  b.focused = FromRect(images[kLookFocused].source);
  b.frameCount = frameCount;
  b.frame = frame;
  b.frameDelay = frameDelay;
  b.delayCounter = delayCounter;
  b.framesPerRow = framesPerRow;
  std::memcpy(b.spare, spare, sizeof b.spare);
}

void SlideBarControl::SaveRecordPart(FormControlRecord& record, FormStringPool& pool) const {
  Control::SaveRecordPart(record, pool);
  FormSlideBarPart& s = record.slideBar;
  s.position = position;
  s.defaultPosition = defaultPosition;
  s.lowMark = lowMark;
  s.notches = notches;
  s.highMark = highMark;
  s.rememberedPosition = rememberedPosition;
  s.thumbLength = thumbLength;
  s.exponent = exponent;
  s.maximum = maximum;
}

void StampFormWords(uint32_t* words, const plat::LocalTime& now) {
  GameDate date{};
  date.year = now.year;
  date.month = static_cast<uint8_t>(now.month);
  date.day = static_cast<uint8_t>(now.day);
  {
    // The calendar counts days in the game's rounding, whatever thread saves.
    const int kept = std::fegetround();
    std::fesetround(FE_TOWARDZERO);
    DateToDayNumber(date);
    std::fesetround(kept);
  }
  words[0] = static_cast<uint32_t>(date.dayNumber);
  words[1] = uint32_t{now.year} | (uint32_t{static_cast<uint8_t>(now.month)} << 16) |
             (uint32_t{static_cast<uint8_t>(now.day)} << 24);
  words[2] = uint32_t{static_cast<uint8_t>(now.hour)} | (uint32_t{static_cast<uint8_t>(now.minute)} << 8) |
             (uint32_t{static_cast<uint16_t>(now.second * 1000 + now.milliseconds)} << 16);
}

std::string FormFilePath(const char* name) { return std::string(g_app.hapsDirectory) + (name ? name : "") + ".HAP"; }

Control* ParseFormRecords(FormHeader* headerOut, std::span<const uint8_t> image, const FormBinding* bindings,
                          Screen* owner, std::string* why) {
  if (image.size() < kFormRecordBytes) {
    Refuse(why, "it is shorter than its 256-byte header");
    return nullptr;
  }
  FormHeader header;
  for (size_t i = 0; i < kFormHeaderDwords; ++i) header.dwords[i] = le::Load32(image.data() + 4 * i);
  const uint32_t count = header.dwords[kFormCount];
  const uint32_t poolSize = header.dwords[kFormPoolSize];
  if (count == 0) {
    Refuse(why, "it holds no control");
    return nullptr;
  }
  if (count > kMaxFormControls) {
    Refuse(why, "its count " + std::to_string(count) + " is more than a form can number");
    return nullptr;
  }
  const uint64_t poolStart = uint64_t{kFormRecordBytes} * (count + 1);
  if (image.size() < poolStart + poolSize) {
    Refuse(why, "it is " + std::to_string(image.size()) + " bytes, shorter than its " + std::to_string(count) +
                    " records and " + std::to_string(poolSize) + "-byte pool");
    return nullptr;
  }
  std::vector<FormControlRecord> records(count + 1);
  for (size_t i = 1; i <= count; ++i) records[i] = DecodeRecord(image.data() + kFormRecordBytes * i);
  const uint8_t* pool = image.data() + poolStart;
  if (!CheckRecords(records, pool, poolSize, why) || !CheckTree(records, why)) return nullptr;

  if (headerOut) *headerOut = header;
  const PoolView view(pool);
  std::vector<Control*> controls(count + 1, nullptr);
  for (size_t i = 1; i <= count; ++i) controls[i] = MakeControl(records[i], view);
  // Rings in next order from each first child, so every ring stands as the
  // file has it; the linking marks controls dirty, the file's state counts.
  for (size_t i = 1; i <= count; ++i) {
    const uint32_t first = records[i].firstChild;
    if (!first) continue;
    uint32_t at = first;
    do {
      ControlAddChild(controls[i], controls[at]);
      at = records[at].next;
    } while (at && at != first);
  }
  for (size_t i = 1; i <= count; ++i) {
    Control* c = controls[i];
    c->state = records[i].state;
    c->owner = owner;
    BindControl(c, bindings);
  }
  return controls[1];
}

Control* LoadFormFile(const char* name, Screen* owner, FormHeader* headerOut, const FormBinding* bindings) {
  const std::string path = FormFilePath(name);
  const auto image = plat::ReadFileBytes(path);
  if (!image || image->empty()) return nullptr;
  std::string why;
  Control* root = ParseFormRecords(headerOut, *image, bindings, owner, &why);
  if (!root) std::fprintf(stderr, "Form file %s refused: %s\n", path.c_str(), why.c_str());
  return root;
}

std::vector<uint8_t> BuildFormImage(FormHeader& header, Control* root) {
  if (!root) return {};
  const std::vector<Control*> order = DepthFirst(root);
  if (order.size() > kMaxFormControls) return {};
  for (size_t i = 0; i < order.size(); ++i) order[i]->index = static_cast<uint16_t>(i + 1);
  const size_t count = order.size();
  std::vector<uint8_t> records(kFormRecordBytes * (count + 1), 0);
  FormStringPool pool;
  for (size_t i = 0; i < count; ++i) {
    const Control* c = order[i];
    FormControlRecord r{};
    // The root's siblings and parent lie outside the saved tree.
    const bool isRoot = c == root;
    r.next = isRoot ? 0 : IndexOf(c->NextInRing());
    r.prev = isRoot ? 0 : IndexOf(c->PrevInRing());
    r.kind = c->kind;
    r.index = c->index;
    std::memcpy(r.tag, c->tag, sizeof r.tag);
    r.flags = c->flags;
    r.state = c->state;
    r.frameStyle = c->frameStyle;
    std::memcpy(r.outlineWidths, c->outlineWidths, sizeof r.outlineWidths);
    std::memcpy(r.fills, c->fills, sizeof r.fills);
    std::memcpy(r.outlines, c->outlines, sizeof r.outlines);
    r.id = c->id;
    r.firstChild = IndexOf(c->firstChild);
    r.parent = isRoot ? 0 : IndexOf(c->parent);
    r.rect = FromRect(c->rect);
    c->SaveRecordPart(r, pool);
    EncodeRecord(r, records.data() + kFormRecordBytes * (i + 1));
  }

  uint32_t* d = header.dwords;
  d[kFormSaveCount] += 1;
  d[kFormCount] = static_cast<uint32_t>(count);
  d[kFormPoolSize] = static_cast<uint32_t>(pool.size());
  StampFormWords(d + kFormStampDay, plat::GetLocalTime());
  for (size_t i = 0; i < kFormHeaderDwords; ++i) le::Store32(records.data() + 4 * i, d[i]);
  records.insert(records.end(), pool.bytes().begin(), pool.bytes().end());
  return records;
}

plat::Status SaveFormFile(FormHeader& header, Control* root, const char* name) {
  FormHeader updated = header;
  const std::vector<uint8_t> image = BuildFormImage(updated, root);
  if (image.empty()) return plat::kFail;
  const plat::Status status = WriteWholeFile(FormFilePath(name), {BufferPiece{image.data(), image.size()}});
  if (plat::Failed(status)) return status;
  header = updated;
  return plat::kOk;
}
