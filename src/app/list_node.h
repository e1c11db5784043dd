#pragma once
// The root of every object kept in a circular doubly linked ring. A ring has
// no container: a head node stands in it like any other node. A node in no
// ring has both links null; a ring always holds at least two nodes.
#include <cstddef>
#include <new>

class ListNode {
 public:
  ListNode() = default;
  virtual ~ListNode() = default;
  ListNode(const ListNode&) = delete;
  ListNode& operator=(const ListNode&) = delete;

  // Links node just before this one (at the tail when this is a head).
  virtual ListNode* Append(ListNode* node);
  // Links node just after this one (at the front when this is a head).
  virtual ListNode* Prepend(ListNode* node);
  // Puts node in this node's place and takes this node out.
  virtual ListNode* ReplaceWith(ListNode* node);
  // Takes this node out of its ring; returns the node that followed it, or
  // null (in no ring, or the ring fell apart).
  virtual ListNode* Unlink();
  // Frees this node and every node of its ring, without running derived
  // destructors: classes that own resources release them first.
  virtual void DeleteChain();

  ListNode* next() const { return next_; }
  ListNode* prev() const { return prev_; }
  bool linked() const { return next_ != nullptr; }

 protected:
  ListNode* next_ = nullptr;
  ListNode* prev_ = nullptr;
};

// DeleteChain that accepts a null node (then it does nothing).
void ListNodeDeleteChain(ListNode* node);

// Zero-filled allocation of records and objects; released with FreeZeroed.
void* AllocZeroed(size_t bytes);
void FreeZeroed(void* block);

// Constructs an object in zero-filled memory. Objects made this way are
// destroyed with DeleteZeroed (or freed by ListNode::DeleteChain).
template <typename T, typename... Args>
T* NewZeroed(Args&&... args) {
  void* mem = AllocZeroed(sizeof(T));
  if (!mem) return nullptr;
  return new (mem) T(static_cast<Args&&>(args)...);
}

template <typename T>
void DeleteZeroed(T* object) {
  if (!object) return;
  object->~T();
  FreeZeroed(object);
}
