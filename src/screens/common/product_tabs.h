#pragma once
// The product tabs of the hex pages: eight controls from id 100, each
// labelled with its product's name from the "prodtabs" list (blank where the
// list has none).
class Control;

void LabelProductTabs(Control* form);
