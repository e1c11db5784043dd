#pragma once
// The game's hotkey table: the rows of the editor's and the game's keys
// (ui/key_rows.h describes a row), each naming a one-line toggle or one of
// the actions in key_actions.h. The screens hand it to the toolkit's key
// routing through its hook table.
#include <span>

#include "ui/key_rows.h"

std::span<const KeyRow> GameKeyRows();
