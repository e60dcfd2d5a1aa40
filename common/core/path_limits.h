// The limits of Windows paths that the suite's rules check texts against.
#pragma once

#include <cstddef>

namespace koral {

// The longest path Windows takes (MAX_PATH less its terminating NUL): a folder or file named by a
// longer one cannot be used.
inline constexpr size_t kLongestPath = 259;

}  // namespace koral
