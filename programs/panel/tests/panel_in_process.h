// The control panel's windows in the test's own process, the main window loaded against the
// real substitute driver. The user's actions arrive as the controls send them (button clicks,
// the scroll bars' reports to their containers, mouse messages); what counts is what the
// windows show and what reaches the driver's journal.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "branding.h"
#include "driver_fixture.h"
#include "driver_link.h"
#include "frmMain.h"

namespace koral::panel::tests {

inline bool Enabled(const ui::Control& control) { return IsWindowEnabled(control.hwnd()) != FALSE; }
inline bool Checked(const ui::Control& control) {
  return SendMessageA(control.hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
inline int Position(const ui::HScrollBar& bar) { return GetScrollPos(bar.hwnd(), SB_CTL); }
inline std::string Text(const ui::Control& control) { return test::WindowText(control.hwnd()); }

// A click by the user: a disabled control takes none.
inline void Click(const ui::Control& control) {
  if (Enabled(control)) SendMessageA(control.hwnd(), BM_CLICK, 0, 0);
}

// What a scroll bar reports to its container while the user works it.
inline void Report(const ui::HScrollBar& bar, int code, int position = 0) {
  SendMessageA(GetParent(bar.hwnd()), WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(bar.hwnd()));
}
inline void Arrow(const ui::HScrollBar& bar, int code) {
  if (!Enabled(bar)) return;
  Report(bar, code);
  Report(bar, SB_ENDSCROLL);
}
// The thumb dragged through the positions and let go at the last; `during` runs after each step.
inline void Drag(const ui::HScrollBar& bar, const std::vector<int>& positions,
                 const std::function<void(int)>& during = {}) {
  if (!Enabled(bar)) return;
  for (int position : positions) {
    Report(bar, SB_THUMBTRACK, position);
    if (during) during(position);
  }
  Report(bar, SB_THUMBPOSITION, positions.back());
  Report(bar, SB_ENDSCROLL);
}

// The main window of this process, loaded afresh against a driver holding a given block.
class PanelInProcess : public WithDriver {
 protected:
  void SetUp() override {
    WithDriver::SetUp();
    SetMainWindow(&main_);
  }
  void TearDown() override {
    EndMain();
    SetMainWindow(nullptr);
    WithDriver::TearDown();
  }

  void LoadMain(const ParamBlock& block) {
    EndMain();
    ASSERT_TRUE(sim_.LoadBlock(block));
    ASSERT_TRUE(main_.Load()) << "the main window did not load";
    main_.Show();
  }
  void EndMain() {
    ui::EndProgram();
    device::CloseDevice();
    Drain();
  }
  static void Drain() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  std::vector<JournalEntry> Sent() { return sim_.ReadJournal(); }

  frmMain& main_ = MainForm();
};

}  // namespace koral::panel::tests
