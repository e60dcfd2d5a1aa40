#include "common/core/launch_rules.h"

#include <gtest/gtest.h>

#include "common/core/path_limits.h"

namespace koral {
namespace {

TEST(LaunchRules, PathWithBlanksIsQuotedWhole) {
  EXPECT_EQ(ProgramCommandLine("C:\\Program Files\\Touch", kRightButtonProgram),
            "\"C:\\Program Files\\Touch\\KORALPrb.exe\"");
  EXPECT_EQ(ProgramCommandLine("C:\\T", kCompanionProgram), "\"C:\\T\\KORALPvr.exe\"");
}

// A folder read from the registry must not end the quotes early and so pass arguments of its own.
TEST(LaunchRules, PathsTheQuotesWouldNotHoldWholeAreRefused) {
  const std::string longest(kLongestPath - 1 - sizeof(kRightButtonProgram) + 1, 'a');
  EXPECT_TRUE(ProgramCommandLine(longest, kRightButtonProgram));
  for (const std::string& folder : {std::string("C:\\a\" /evil \"b"), std::string("C:\\a\r\nb"), longest + "a"})
    EXPECT_FALSE(ProgramCommandLine(folder, kRightButtonProgram)) << folder;
}

TEST(LaunchRules, ResultsBelow32AreFailures) {
  for (auto [result, ok] : {std::pair{0u, false}, {2u, false}, {11u, false}, {31u, false},
                            {32u, true}, {33u, true}, {0xFFFFFFFFu, true}})
    EXPECT_EQ(LauncherSucceeded(result), ok) << result;
}

}  // namespace
}  // namespace koral
