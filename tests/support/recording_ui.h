// A user-interface fake that records every message box (owner, text, caption,
// type) and answers from a script.
#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "nt/ui.h"

namespace testing_support {

struct Box {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;

  friend bool operator==(const Box& a, const Box& b) {
    return a.owner == b.owner && a.text == b.text && a.caption == b.caption && a.type == b.type;
  }
  friend std::ostream& operator<<(std::ostream& out, const Box& box);
};

class RecordingUi : public nt::UserInterface {
 public:
  // The answer to the next box; boxes without a scripted answer get IDOK,
  // or IDYES when they ask a question.
  void Answer(int id) { answers_.push_back(id); }

  int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override;

  const std::vector<Box>& boxes() const { return boxes_; }
  void Clear() { boxes_.clear(); }

 private:
  std::deque<int> answers_;
  std::vector<Box> boxes_;
};

}  // namespace testing_support
