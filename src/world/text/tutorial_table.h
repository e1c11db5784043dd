#pragma once
// Tutorial tables ("Tutorials\" + name + ".CSV"): one step a line after a
// header line, each made into a TutorialStep appended to a list for the
// tutorial screens.
#include <cstdint>

#include "app/list_node.h"
#include "world/text/owned_text.h"

struct World;

class TutorialStep : public ListNode {
 public:
  int32_t values[3] = {-1, -1, -1};
  OwnedText title;
  int32_t number = 0;
  OwnedText texts[10];
  int32_t flag = 0;
  int32_t extra[2] = {};
};

// The tutorial of the world's game: the first step, or null when none.
extern TutorialStep* g_tutorialSteps;

// Reads the table and appends its steps to the list headed by `head` (made
// the first step when null). A first cell of 999 ends the table. 0, or the
// generic failure when the file cannot be read.
int32_t LoadTutorialTable(TutorialStep*& head, const char* name);

// Frees every step of the list and nulls the head.
void FreeTutorialSteps(TutorialStep*& head);

// The same into the world's tutorial.
int32_t LoadTutorialTable(World& world, const char* name);
