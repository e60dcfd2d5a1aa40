// Telling from a test whether a program restarted Windows. Under Wine a restart request runs the
// RunOnce entries of HKEY_LOCAL_MACHINE (and ends every process of the prefix that has a window:
// only tests in a prefix of their own, without windows, may let a program restart).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/support/wait.h"

namespace koral::test {

class RestartProbe {
 public:
  RestartProbe() = default;
  ~RestartProbe();
  RestartProbe(const RestartProbe&) = delete;
  RestartProbe& operator=(const RestartProbe&) = delete;

  // Registers a copy of the marker program to run once at the next restart; a failure says which
  // step failed and why.
  testing::AssertionResult Arm();
  // Success once the copy has run, waiting up to the limit.
  testing::AssertionResult WaitForRestart(std::chrono::milliseconds limit = kDefaultWait) const;
  // The RunOnce entry is still there (no restart ran it).
  bool StillArmed() const;

 private:
  void Disarm();
  std::string copy_;
};

}  // namespace koral::test
