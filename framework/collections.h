// The framework's text containers: CStringList and CMapStringToString.
#pragma once

#include <list>
#include <string>
#include <unordered_map>

#include "framework/cstring.h"

// An opaque place in a CStringList; null past the end.
struct __POSITION;
typedef __POSITION* POSITION;

// A doubly linked list of texts whose positions stay valid while other
// elements come and go.
class CStringList {
 public:
  explicit CStringList(INT_PTR blockSize = 10);
  ~CStringList();
  CStringList(const CStringList&) = delete;
  CStringList& operator=(const CStringList&) = delete;

  INT_PTR GetCount() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }
  POSITION GetHeadPosition() const;
  POSITION GetTailPosition() const;
  // The element at `position`; moves `position` to the next one.
  CString& GetNext(POSITION& position);
  const CString& GetNext(POSITION& position) const;
  CString& GetAt(POSITION position);
  POSITION AddHead(const CString& text);
  POSITION AddTail(const CString& text);
  POSITION InsertBefore(POSITION position, const CString& text);
  void RemoveAll();

 private:
  struct Node;
  Node* head_ = nullptr;
  Node* tail_ = nullptr;
  INT_PTR count_ = 0;
};

// A map from text to text; keys match exactly, letter case counting.
class CMapStringToString {
 public:
  explicit CMapStringToString(INT_PTR blockSize = 10) : block_size_(blockSize) {}

  INT_PTR GetCount() const { return static_cast<INT_PTR>(map_.size()); }
  bool IsEmpty() const { return map_.empty(); }
  BOOL Lookup(LPCSTR key, CString& value) const;
  void SetAt(LPCSTR key, LPCSTR value) { map_[key] = value; }
  CString& operator[](LPCSTR key) { return map_[key]; }
  BOOL RemoveKey(LPCSTR key) { return map_.erase(key) > 0; }
  void RemoveAll() { map_.clear(); }
  INT_PTR GetBlockSize() const { return block_size_; }

 private:
  INT_PTR block_size_;
  std::unordered_map<std::string, CString> map_;
};
