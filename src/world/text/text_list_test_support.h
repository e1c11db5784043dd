#pragma once
// Tests only: puts words into a global text list for one test and takes the
// list's own entries back when it goes out of scope.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "world/text/text_lists.h"

class ListWords {
 public:
  ListWords(TextListId list, std::vector<const char*> words) : first_(TextListInfoOf(list).first) {
    for (size_t i = 0; i < words.size(); ++i) {
      saved_.push_back(g_textLists.entries[first_ + i]);
      g_textLists.entries[first_ + i] = strdup(words[i]);
    }
  }
  ~ListWords() {
    for (size_t i = 0; i < saved_.size(); ++i) {
      std::free(g_textLists.entries[first_ + i]);
      g_textLists.entries[first_ + i] = saved_[i];
    }
  }
  ListWords(const ListWords&) = delete;
  ListWords& operator=(const ListWords&) = delete;

 private:
  int first_;
  std::vector<char*> saved_;
};
