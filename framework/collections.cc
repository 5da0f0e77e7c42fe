#include "framework/collections.h"

struct CStringList::Node {
  CString text;
  Node* previous = nullptr;
  Node* next = nullptr;
};

namespace {

template <typename NodeT>
POSITION ToPosition(NodeT* node) {
  return reinterpret_cast<POSITION>(node);
}

}  // namespace

CStringList::CStringList(INT_PTR /*blockSize*/) {}

CStringList::~CStringList() { RemoveAll(); }

POSITION CStringList::GetHeadPosition() const { return ToPosition(head_); }

POSITION CStringList::GetTailPosition() const { return ToPosition(tail_); }

CString& CStringList::GetNext(POSITION& position) {
  Node* node = reinterpret_cast<Node*>(position);
  position = ToPosition(node->next);
  return node->text;
}

const CString& CStringList::GetNext(POSITION& position) const {
  const Node* node = reinterpret_cast<const Node*>(position);
  position = ToPosition(node->next);
  return node->text;
}

CString& CStringList::GetAt(POSITION position) { return reinterpret_cast<Node*>(position)->text; }

POSITION CStringList::AddHead(const CString& text) {
  return head_ == nullptr ? AddTail(text) : InsertBefore(ToPosition(head_), text);
}

POSITION CStringList::AddTail(const CString& text) {
  Node* node = new Node{text, tail_, nullptr};
  if (tail_ != nullptr) {
    tail_->next = node;
  } else {
    head_ = node;
  }
  tail_ = node;
  ++count_;
  return ToPosition(node);
}

POSITION CStringList::InsertBefore(POSITION position, const CString& text) {
  if (position == nullptr) return AddHead(text);
  Node* before = reinterpret_cast<Node*>(position);
  Node* node = new Node{text, before->previous, before};
  if (before->previous != nullptr) {
    before->previous->next = node;
  } else {
    head_ = node;
  }
  before->previous = node;
  ++count_;
  return ToPosition(node);
}

void CStringList::RemoveAll() {
  Node* node = head_;
  while (node != nullptr) {
    Node* next = node->next;
    delete node;
    node = next;
  }
  head_ = tail_ = nullptr;
  count_ = 0;
}

BOOL CMapStringToString::Lookup(LPCSTR key, CString& value) const {
  auto it = map_.find(key);
  if (it == map_.end()) return FALSE;
  value = it->second;
  return TRUE;
}
