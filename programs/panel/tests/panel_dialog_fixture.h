// What the in-process tests of the control panel's dialogs share: the main window loaded against
// the real substitute driver holding a chosen block, the user's actions as the controls send
// them (button clicks, the scroll bars' reports to their containers), and the driver's journal.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/win/driver_link.h"
#include "common/win/pointer.h"
#include "forms/settings_dialog.h"
#include "programs/panel/frmMain.h"
#include "programs/panel/tests/driver_fixture.h"
#include "tests/support/programs.h"

namespace koral::panel {

inline bool Enabled(const ui::Control& control) { return IsWindowEnabled(control.hwnd()) != FALSE; }
inline bool Shown(const ui::Control& control) { return IsWindowVisible(control.hwnd()) != FALSE; }
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

// Esc as the program's message loop takes it: through the dialog manager of the focused window.
inline void PressEsc(const ui::Control& focused) {
  PostMessageA(focused.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  focused.OwnerForm().App().DoEvents();
}

// A settings dialog whose stored value is one bar's: how to reach it and what the driver and
// the main window show for a bar value.
struct BarDialog {
  SettingsDialog& Dialog;
  const ui::HScrollBar& Bar;
  uint32_t Code;
  std::function<void()> Open;    // the main window loaded afresh with Stored, the dialog opened
  std::function<void()> Reopen;  // the dialog opened again on the program's block as it stands
  std::function<ParamBlock(int bar)> BlockAt;  // the driver's block with the bar's value stored
  std::function<std::string()> Status;         // the main window's status line for the value
  int Stored, Moved;
  std::string StatusBefore, StatusMoved;
};

// The main window of this process, as the program makes it (its own driver session and the
// model key), loaded afresh against a driver holding a given block.
class PanelDialogTest : public tests::WithDriver {
 protected:
  // The main window takes `installFolder` as the trusted installation folder.
  explicit PanelDialogTest(std::string installFolder = test::ProgramFolder())
      : installFolder_(std::move(installFolder)) {}

  void SetUp() override {
    WithDriver::SetUp();
    app_.MainForm(&main_);
  }
  void TearDown() override {
    EndMain();
    WithDriver::TearDown();
  }

  // The main window loads afresh against a driver holding `stored`, and shows; the journal
  // starts empty after its read of the block.
  void LoadMain(const ParamBlock& stored) {
    EndMain();
    ASSERT_TRUE(sim_.LoadBlock(stored));
    ASSERT_TRUE(main_.Load()) << "the main window did not load";
    main_.Show();
    sim_.ReadJournal();
  }
  // A button of the main window that the PS/2 layout hides, shown and enabled as a layout that
  // offers it would have it, then clicked: its dialog takes the main window's place.
  void OpenWith(ui::CommandButton& button, const ui::Form& dialog) {
    button.Visible(true);
    button.Enabled(true);
    Click(button);
    ASSERT_TRUE(dialog.Visible());
    EXPECT_FALSE(main_.Visible());
  }
  static void Drain() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  std::vector<JournalEntry> Sent() { return sim_.ReadJournal(); }
  // The one command sent since the last look: `code` with the whole block, compared with what
  // the driver held but for the changes the dialog made.
  void ExpectSentOnce(uint32_t code, const ParamBlock& expected) {
    const auto journal = Sent();
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0].Code, code);
    ASSERT_EQ(journal[0].Length, sizeof(ParamBlock));
    for (size_t at = 0; at < sizeof expected; ++at)
      EXPECT_EQ(journal[0].Data[at], reinterpret_cast<const uint8_t*>(&expected)[at]) << "byte " << at;
  }

  // Apply and OK (with a change) send the whole block with the moved value and refresh the
  // status line; OK without one, Cancel, Esc and the close box send nothing; every unload brings
  // the main window back; what was applied stays applied, also after Cancel.
  void ExpectApplyOkCancelRules(const BarDialog& d) {
    struct Case {
      const char* What;
      std::function<void()> Act;
      bool Sends, StaysOpen;
    };
    SettingsDialog& dialog = d.Dialog;
    const auto move = [&] { Drag(d.Bar, {d.Moved}); };
    for (const Case& c : std::vector<Case>{
             {"OK with Apply disabled", [&] { Click(dialog.cmdOK); }, false, false},
             {"OK after moving away and back", [&] { Drag(d.Bar, {d.Moved, d.Stored}); Click(dialog.cmdOK); }, false, false},
             {"Cancel after a move", [&] { move(); Click(dialog.cmdCandel); }, false, false},
             {"Esc after a move", [&] { move(); PressEsc(d.Bar); }, false, false},
             {"close box after a move", [&] { move(); SendMessageA(dialog.hwnd(), WM_CLOSE, 0, 0); }, false, false},
             {"Apply", [&] { move(); Click(dialog.cmdApply); }, true, true},
             {"OK after a move", [&] { move(); Click(dialog.cmdOK); }, true, false},
             {"Apply, then Cancel", [&] { move(); Click(dialog.cmdApply); Click(dialog.cmdCandel); }, true, false},
         }) {
      SCOPED_TRACE(c.What);
      ASSERT_NO_FATAL_FAILURE(d.Open());
      c.Act();
      if (c.Sends) {
        ExpectSentOnce(d.Code, d.BlockAt(d.Moved));
      } else {
        EXPECT_TRUE(Sent().empty());
      }
      EXPECT_EQ(d.Status(), c.Sends ? d.StatusMoved : d.StatusBefore);
      EXPECT_EQ(dialog.Loaded(), c.StaysOpen);
      EXPECT_EQ(main_.Visible(), !c.StaysOpen) << "every unload brings the main window back";
      EXPECT_EQ(HourglassCount(), 0);
      if (c.StaysOpen) {
        EXPECT_FALSE(Enabled(dialog.cmdApply));
        Click(dialog.cmdCandel);
      }
      ASSERT_NO_FATAL_FAILURE(d.Reopen());
      EXPECT_EQ(Position(d.Bar), c.Sends ? d.Moved : d.Stored);
      EXPECT_FALSE(Enabled(dialog.cmdApply));
      Click(dialog.cmdCandel);
      EXPECT_TRUE(Sent().empty());
      const ParamBlock held = sim_.ReadBlock().value_or(ParamBlock{});
      const ParamBlock expected = d.BlockAt(c.Sends ? d.Moved : d.Stored);
      EXPECT_EQ(std::memcmp(&held, &expected, sizeof held), 0) << "the driver keeps what was applied";
    }
  }

  void EndMain() {
    app_.EndProgram();
    driver_.Close();
    Drain();
  }

  ui::Application app_;
  device::DriverSession driver_;
  ModelKeyStore store_;
  std::string installFolder_;
  frmMain main_{app_, driver_, store_, installFolder_};
};

}  // namespace koral::panel
