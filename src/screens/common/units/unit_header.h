#pragma once
// The identity of a unit or a unit class on any form that carries its
// controls: the header of the unit pop-ups (flag, designation, annual cost,
// crew, orders button, warhead markers, platform panel), the class picture
// with its overlay, and the technology pictures. A control the form lacks is
// skipped. Window thread, under the simulation lock.
#include <cstdint>
#include <string>

#include "platform/window.h"

class Control;
class Screen;
struct UnitClassRecord;
struct UnitRecord;

// The picture cells of the class sheets: frame 0's cell, wide normally,
// tall for a class with the layout bit. The other frames lie three a row.
plat::Rect UnitPictureRect(const UnitClassRecord& cls);
inline constexpr int32_t kUnitPictureFrames = 24;
inline constexpr int32_t kUnitPictureFramesPerRow = 3;
// The frame the pop-ups rest the picture on when they bind and close.
inline constexpr int32_t kUnitPictureRestingFrame = 6;
// What the unit pop-ups bind alike: the picture at its resting frame, and
// the stepping buttons (NEXTBUT, PREVBUT) repeating while held.
void BindUnitPictureAndStepping(Control* form);

// A figure as a whole number cut toward zero; one that is not a number or
// lies beyond the integers shows 0 rather than a meaningless number.
int32_t WholeFigure(float value);

// Not removed, with a class, and its (simulation) orders mark it as being
// built.
bool UnitUnderConstruction(const UnitRecord& unit);

// The designation: the unit's number and its ordinal suffix, the short name
// of its class's group and the name of its echelon.
std::string UnitIdText(const UnitRecord& unit, const UnitClassRecord& cls);

// The header of a unit (unit given: cls is its class) or of a class alone;
// the platform panel, when given, shows in "PLATSTAT" for a stock class.
void FillUnitHeader(Control* form, const UnitRecord* unit, const UnitClassRecord& cls, Screen* platformPanel);

// The class picture in "UNITPIC" and its overlay in "UNITPICT". Frame -1
// keeps the frame "UNITPIC" has. An active unit shows its own facings and
// does not turn; frameBit 1 otherwise lets the picture turn.
void DrawUnitPicture(Control* form, const UnitClassRecord& cls, const UnitRecord* unit, int32_t frame,
                     int32_t frameBit);

// One of the technology pictures in "TECHPIC".
void ShowTechPicture(Control* form, int32_t picture, int32_t frameBit);
