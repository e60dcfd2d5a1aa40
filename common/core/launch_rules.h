// Rules for starting the suite's auxiliary programs, kept apart from the Win32 call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace koral {

inline constexpr const char kRightButtonProgram[] = "KORALPrb.exe";
inline constexpr const char kCompanionProgram[] = "KORALPvr.exe";

// The command line that runs folder\program. The path is quoted: unquoted, a folder such as
// "C:\Program Files\..." would be split at the blank and could run a different program. Nothing
// for a path that the quotes would not hold whole (one with a quote, which would end them, or a
// control character) or longer than kLongestPath: no program has such a path.
std::optional<std::string> ProgramCommandLine(const std::string& folder, const std::string& program);

// The launcher reports success with a result of 32 or more.
constexpr bool LauncherSucceeded(uint32_t result) { return result >= 32; }

}  // namespace koral
