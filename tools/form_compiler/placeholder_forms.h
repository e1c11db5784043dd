#pragma once
// The forms of screens whose own forms are not authored yet: one list of
// tags (a tag a line) from which the compiler writes a form of one box for
// each, so every screen the game holds has a form to load.
#include <string>
#include <vector>

struct PlaceholderList {
  std::vector<std::string> tags;
  std::string error;  // "name:line: reason" when refused; then no tags
};

// One tag a line; blank lines and lines starting with '#' are skipped. A
// tag is a form file's name: letters, digits and '_', at most 31
// characters, each listed once.
PlaceholderList ParsePlaceholderList(const std::string& text, const std::string& listName);

// The source of a tag's one-box form: a plain panel whose box carries the
// tag (cut to the 12 characters a control's tag holds).
std::string PlaceholderFormSource(const std::string& tag);
