#include "common/core/launch_rules.h"

#include <gtest/gtest.h>

namespace koral {
namespace {

TEST(LaunchRules, PathWithBlanksIsQuotedWhole) {
  EXPECT_EQ(ProgramCommandLine("C:\\Program Files\\Touch", kRightButtonProgram),
            "\"C:\\Program Files\\Touch\\KORALPrb.exe\"");
  EXPECT_EQ(ProgramCommandLine("C:\\T", kCompanionProgram), "\"C:\\T\\KORALPvr.exe\"");
}

TEST(LaunchRules, ResultsBelow32AreFailures) {
  for (auto [result, ok] : {std::pair{0u, false}, {2u, false}, {11u, false}, {31u, false},
                            {32u, true}, {33u, true}, {0xFFFFFFFFu, true}})
    EXPECT_EQ(LauncherSucceeded(result), ok) << result;
}

}  // namespace
}  // namespace koral
