#include "app/list_node.h"

#include <cstdlib>
#include <cstring>

ListNode* ListNode::Append(ListNode* node) {
  if (node->next_) node->Unlink();
  node->next_ = this;
  if (next_) {
    node->prev_ = prev_;
    prev_->next_ = node;
    prev_ = node;
  } else {
    node->prev_ = this;
    next_ = node;
    prev_ = node;
  }
  return node;
}

ListNode* ListNode::Prepend(ListNode* node) {
  if (node->next_) node->Unlink();
  node->prev_ = this;
  if (prev_) {
    node->next_ = next_;
    next_->prev_ = node;
    next_ = node;
  } else {
    node->next_ = this;
    prev_ = node;
    next_ = node;
  }
  return node;
}

ListNode* ListNode::ReplaceWith(ListNode* node) {
  if (node->next_) node->Unlink();
  if (next_) {
    Append(node);
    Unlink();
  }
  return node;
}

ListNode* ListNode::Unlink() {
  if (next_ == this || prev_ == this) {
    next_ = nullptr;
    prev_ = nullptr;
    return nullptr;
  }
  if (!next_) return nullptr;
  ListNode* oldNext = next_;
  prev_->next_ = next_;
  next_->prev_ = prev_;
  if (next_ == prev_) {
    next_->next_ = nullptr;
    next_->prev_ = nullptr;
  }
  next_ = nullptr;
  prev_ = nullptr;
  return oldNext;
}

void ListNode::DeleteChain() {
  ListNode* node = this;
  do {
    ListNode* following = node->next_;
    // The nodes' own destructors are skipped on purpose: they would unlink
    // from a ring that is being torn down. Only the memory is released.
    FreeZeroed(node);
    node = following;
  } while (node && node != this);
}

void ListNodeDeleteChain(ListNode* node) {
  if (node) node->DeleteChain();
}

void* AllocZeroed(size_t bytes) { return std::calloc(1, bytes ? bytes : 1); }

void FreeZeroed(void* block) { std::free(block); }
