// How a fuzz target reports a broken invariant: it names it and aborts, so that libFuzzer keeps
// the input as a finding (and scripts/fuzz-long shows the line).
#pragma once

#include <cstdio>
#include <cstdlib>

namespace koral::fuzz {

inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

}  // namespace koral::fuzz
