#pragma once
// Form sources: the text a form is authored in (FORMAT.md beside this file)
// turned into a control tree for the game's own form writer, and a loaded
// form printed back as source.
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "ui/form_file.h"

class Control;

struct ControlTreeDeleter {
  void operator()(Control* c) const;
};
using ControlTree = std::unique_ptr<Control, ControlTreeDeleter>;

// A parsed source: the tree, the header as the writer is to be handed it
// (save count one below the source's), and the save stamp as a local time.
struct FormSource {
  ControlTree root;
  FormHeader header;
  plat::LocalTime stamp;
  std::string error;  // "name:line: reason" when refused; then no tree
};

FormSource ParseFormSource(const std::string& text, const std::string& sourceName);

// The source of a form as loaded (the header as the file holds it).
std::string PrintFormSource(const FormHeader& header, const Control* root);

// A clock that always reads the source's stamp, so a compiled form's bytes
// depend on its source only.
class StampClock : public plat::ClockSource {
 public:
  explicit StampClock(const plat::LocalTime& stamp) : stamp_(stamp) {}
  uint64_t MonotonicMs() override { return 0; }
  void SleepMs(uint32_t) override {}
  plat::LocalTime Now() override { return stamp_; }

 private:
  plat::LocalTime stamp_;
};

// The file image of a source, or an empty image with the error.
std::vector<uint8_t> CompileFormSource(const std::string& text, const std::string& sourceName, std::string* error);
