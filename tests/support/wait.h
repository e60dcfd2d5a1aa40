// Waiting for conditions in tests: poll with a time limit instead of sleeping a fixed time.
// A wait that comes out false says why in its result (what was awaited, for how long, and the
// system's last error code then), so that the assertion on it reads as one line to act on.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <source_location>
#include <string>

namespace koral::test {

inline constexpr std::chrono::milliseconds kDefaultWait{20000};

// Polls `condition` until it holds or `limit` passes. Window messages of this thread are pumped
// between polls so that in-process windows stay alive. When it did not hold, the result names the
// limit and the last error code the final poll of `condition` left (cleared before each poll).
testing::AssertionResult WaitUntil(const std::function<bool()>& condition,
                                   std::chrono::milliseconds limit = kDefaultWait);
// The same, naming what is awaited in the result ("the panel's main window").
testing::AssertionResult WaitUntil(const std::string& what, const std::function<bool()>& condition,
                                   std::chrono::milliseconds limit = kDefaultWait);

// "error 5 (Access is denied.)": a system error code and its text.
std::string ErrorText(DWORD error);
// "20 s", "1500 ms".
std::string DurationText(std::chrono::milliseconds limit);

// For waits that return what they found rather than whether: records a wait that came out false
// as a failure at the caller's line, with its reason.
void FailAt(const std::source_location& caller, const testing::AssertionResult& wait);

}  // namespace koral::test
