#pragma once
// Starting a list afresh when its panel opens: no row chosen, no choice kept
// from an earlier showing, scrolled to its top. A null list is left alone.
class ListBoxControl;

void ListStartAfresh(ListBoxControl* list);
