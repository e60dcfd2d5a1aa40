// The harness's own promise: a start or a wait that fails says, in the assertion's one line,
// what it was waiting for, how long, and the system's error code.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "tests/support/programs.h"
#include "tests/support/wait.h"

namespace koral {
namespace {

using namespace std::chrono_literals;

TEST(TestSupport, AWaitThatRunsOutNamesWhatItAwaitedTheLimitAndTheLastError) {
  const auto wait = test::WaitUntil("the impossible", [] {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }, 50ms);
  EXPECT_FALSE(wait);
  EXPECT_EQ(wait.message(), "waited 50 ms for the impossible in vain; last " + test::ErrorText(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(test::ErrorText(ERROR_FILE_NOT_FOUND).rfind("error 2 (", 0), 0u) << "the system's text follows the code";

  // An error left before a poll is not the poll's.
  int polls = 0;
  SetLastError(ERROR_ACCESS_DENIED);
  const auto quiet = test::WaitUntil([&] { return ++polls > 3; }, 5s);
  EXPECT_TRUE(quiet);
}

TEST(TestSupport, AStartThatFailsGivesTheCommandAndTheSystemsError) {
  test::RunningProgram missing;
  const auto started = missing.Start("no_such_program.exe", "/x", test::ToolFolder());
  ASSERT_FALSE(started);
  const std::string why = started.message();
  EXPECT_NE(why.find("no_such_program.exe\" /x"), std::string::npos) << why;
  EXPECT_NE(why.find("CreateProcess error 2"), std::string::npos) << why;

  const auto exit = missing.WaitForExit(10ms);
  EXPECT_FALSE(exit);
  EXPECT_EQ(exit.Why(), "no program was started");
  std::ostringstream printed;
  test::PrintTo(exit, &printed);
  EXPECT_EQ(printed.str(), "no exit code: no program was started");
}

TEST(TestSupport, AProgramThatEndsGivesItsExitCode) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  test::RunningProgram shell;
  ASSERT_TRUE(shell.Start("cmd.exe", "/c exit 3", system));
  EXPECT_EQ(shell.WaitForExit(), 3u);
}

}  // namespace
}  // namespace koral
