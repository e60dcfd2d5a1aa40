// Waiting for conditions in tests: poll with a time limit instead of sleeping a fixed time.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

namespace koral::test {

inline constexpr std::chrono::milliseconds kDefaultWait{20000};

// Polls `condition` until it holds or `limit` passes; returns whether it held. Window
// messages of this thread are pumped between polls so that in-process windows stay alive.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = kDefaultWait);

}  // namespace koral::test
