// The form reader against arbitrary bytes: it must refuse or build every
// input without a crash, a hang or a sanitizer report, and a tree it builds
// must save again. Built as a libFuzzer program with clang (-DVD_FUZZ=ON);
// the test suite also drives it over a seeded corpus of damaged forms.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/form_file.h"

extern "C" int FormReaderFuzzOne(const uint8_t* data, size_t size) {
  std::string why;
  FormHeader header;
  Control* root = ParseFormRecords(&header, std::span<const uint8_t>(data, size), nullptr, nullptr, &why);
  if (!root) {
    // A refusal always says why.
    if (why.empty()) __builtin_trap();
    return 0;
  }
  int count = 0;
  ControlTreeForEach(root, kAnyDepth, 1, [&](Control*) { ++count; });
  if (count != static_cast<int>(header.dwords[kFormCount])) __builtin_trap();
  FindControlByTag(root, "NOSUCHTAG", kAnyDepth, 1);
  if (BuildFormImage(header, root).empty()) __builtin_trap();
  delete root;
  return 0;
}

#ifdef VD_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FormReaderFuzzOne(data, size); }
#endif
