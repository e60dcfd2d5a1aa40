// The real control panel under Wine against the real substitute driver, driven from outside as
// a user's hand would: its windows found by their designed names, buttons pressed, and the
// mouse and keyboard played through the system's input queue where the program reads them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "programs/panel/tests/driver_fixture.h"
#include "tests/support/user_input.h"
#include "ui/names.h"

namespace koral::panel::tests {

inline constexpr char kPanelProgram[] = "KORALpcp.exe";

inline HWND Control(HWND form, const char* name) {
  const HWND control = ui::FindNamedChild(form, name);
  EXPECT_NE(control, nullptr) << name;
  return control;
}

inline void Click(HWND control) { PostMessageA(control, BM_CLICK, 0, 0); }

// The user's hand, shared with the suite-wide tests.
using test::Keys;
using test::MouseOn;

class PanelProgram : public WithDriver {
 protected:
  // Whatever window is open closes as the user would close it, the main window last.
  void TearDown() override {
    test::WaitUntil(
        [&] {
          if (!panel_.Running()) return true;
          if (HWND form = OpenForm()) PostMessageA(form, WM_CLOSE, 0, 0);
          return false;
        },
        std::chrono::seconds(10));
    WithDriver::TearDown();
  }

  // Loads the block, starts the panel and waits for its main window; the journal then starts
  // empty.
  HWND StartPanel(const ParamBlock& block) {
    EXPECT_TRUE(sim_.LoadBlock(block));
    EXPECT_TRUE(panel_.Start(kPanelProgram));
    const HWND main = WaitForForm("frmMain");
    EXPECT_NE(main, nullptr) << "the main window did not appear";
    sim_.ReadJournal();
    return main;
  }
  // A shown window of the panel (a dialog before the main window, which it hides).
  HWND OpenForm() {
    struct Search {
      DWORD Process;
      HWND Found = nullptr;
    } search{panel_.Id()};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(param);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner != s.Process || !IsWindowVisible(window) || ui::NameOf(window).empty()) return TRUE;
          s.Found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
  }
  HWND WaitForForm(const char* name) {
    HWND form = nullptr;
    test::WaitUntil([&] { return (form = test::FindForm(panel_.Id(), name)) != nullptr; });
    return form;
  }

  test::RunningProgram panel_;
};

}  // namespace koral::panel::tests
