#pragma once
// A class's row in the class lists (MILITARY_UNIT), the template every row
// is drawn with, the class number as its key: the class picture, its name,
// its strength (or a stock's size), its build time and the icons of what the
// class is and can do. Window thread; the row reads the class table under
// the simulation lock.
#include <cstddef>
#include <cstdint>

#include "platform/window.h"
#include "ui/screen.h"

class Control;
struct UnitClassRecord;

// Which of the row icons 30 to 37 names the class's way of moving.
int32_t UnitRowIcon(const UnitClassRecord& cls);

inline constexpr const char* kUnitRowTags[] = {"UNITPIC", "UNITPICT", "UNAME", "USTR", "UDAYS"};
inline constexpr int32_t kUnitRowIds[] = {5, 6, 10, 30, 31, 32, 33, 34, 35, 36, 37, 205, 206};

class UnitRow : public Screen {
 public:
  UnitRow() : Screen("MILITARY_UNIT", FormLookups{.tags = kUnitRowTags, .ids = kUnitRowIds}) {}
  void BindControls() override;
  void OnOpen() override;
  // Code 99: the host row's width.
  void OnHostNotify(int32_t code, int32_t value) override;

  static constexpr size_t kIconCount = 13;

 private:
  void FitToWidth(int32_t width);
  void StackToWidth(int32_t width);

  Control* nameText_ = nullptr;
  Control* strengthText_ = nullptr;
  Control* daysText_ = nullptr;
  Control* pictures_[2] = {};
  plat::Rect pictureRects_[2] = {};
  int32_t nameLeft_ = 0, nameTop_ = 0, nameBottom_ = 0;
  plat::Rect strengthRect_{}, daysRect_{};
  plat::Rect iconRects_[kIconCount] = {};
  int32_t iconsLeft_ = 0;
  bool iconsPlaced_ = false;
};
