// The window a driver slot names, played by a program in an installation folder of the test's own
// (slot_window_stand_in.exe copied there as KORALPrb.exe or KORALPvr.exe): as the suite's own
// tool or companion it passes the programs' check of slot windows, and it logs what it is sent.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "tests/support/programs.h"

namespace koral::test {

class SlotStandIn {
 public:
  enum class Role { Tool, Companion };

  // Copies the stand-in into `folder` under the role's program name (unless `copy` is false:
  // it is there already), starts it and waits until its window holds the role's slot. With
  // `hang` the window stops answering once registered. False when any of that failed.
  bool Start(const std::filesystem::path& folder, Role role, bool hang = false, bool copy = true);
  // The handle as the slot carries it (kNoWindow before Start).
  int32_t Handle() const { return handle_; }
  // The wParam of every WM_USER the window was sent, in order.
  std::vector<WPARAM> Received() const;
  // Waits until the process has ended.
  bool Ended(std::chrono::milliseconds limit = kDefaultWait);
  // Ends it at once (a hanging one is ended by the destructor too).
  void Kill();

 private:
  std::filesystem::path program_;
  int32_t handle_ = -1;
  RunningProgram process_;
};

// The stand-in's program name in an installation folder for the role.
const char* SlotProgram(SlotStandIn::Role role);
// Copies a built program of the suite (from ProgramFolder()) into `folder`; false when it failed.
bool CopyProgram(const char* program, const std::filesystem::path& folder);

}  // namespace koral::test
