// Time stamps of a program's start-up phases, for the start benchmark's breakdown. Off unless
// the environment variable KORAL_PHASE_FILE names a file: then each mark appends
// "<name> <performance counter>" to it, a counter the benchmark reads on the same clock. When off,
// a mark costs one test of a flag read once.
#pragma once

namespace koral {

inline constexpr const char kPhaseFileVariable[] = "KORAL_PHASE_FILE";

void MarkPhase(const char* name);

}  // namespace koral
