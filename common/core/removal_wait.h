// How the uninstaller judges its waits for the installation's file remover: up to ten waits of a
// second each, until the remover's process has ended or a wait reports a failure.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace koral {

inline constexpr int kRemoverWaits = 10;
inline constexpr uint32_t kRemoverWaitMilliseconds = 1000;

// The file remover's program in the installation folder and its option for a run without
// questions.
inline constexpr const char kFileRemoverProgram[] = "unins000.exe";
inline constexpr const char kFileRemoverOption[] = "/SILENT";

struct RemoverWaitVerdict {
  bool Done = false;    // no further wait
  bool Ended = false;   // the remover has ended: the removal goes on
  std::string Failure;  // when done without the end: "WAIT_FAILED", "WAIT_ABANDONED", "WAIT_TIMEOUT"
  friend bool operator==(const RemoverWaitVerdict&, const RemoverWaitVerdict&) = default;
};

// The verdict after wait number `wait` (1..kRemoverWaits) returned `result` (the system's wait
// result: 0 ended, 0x80 abandoned, 0xFFFFFFFF failed; anything else counts as a time-out).
RemoverWaitVerdict JudgeRemoverWait(uint32_t result, int wait);

}  // namespace koral
