// Message boxes answered in-process: records every box and answers from a queue (IDOK when empty).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/win/message_box.h"

namespace koral::test {

class FakeMessageBoxes final : public MessageBoxes {
 public:
  struct Shown {
    std::string Text, Caption;
    UINT Flags;
  };
  FakeMessageBoxes() { InstallMessageBoxes(this); }
  ~FakeMessageBoxes() override { InstallMessageBoxes(nullptr); }
  FakeMessageBoxes(const FakeMessageBoxes&) = delete;
  FakeMessageBoxes& operator=(const FakeMessageBoxes&) = delete;

  int Show(const std::string& text, const std::string& caption, UINT flags) override {
    shown.push_back({text, caption, flags});
    events.push_back("box");
    if (answers.empty()) return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Beep(UINT) override { events.push_back("beep"); }

  std::vector<Shown> shown;
  std::vector<std::string> events;
  std::deque<int> answers;
};

}  // namespace koral::test
