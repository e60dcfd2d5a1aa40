#include "common/win/phase_marks.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace koral {
namespace {

// The marks land in the named file in the order made, on a clock that does not go back; the file
// is appended to, so that a program started again adds its own run.
TEST(PhaseMarks, AppendNamesAndCountersToTheNamedFile) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string file = std::string(temp) + "koral-phase-marks-test.txt";
  { std::ofstream(file) << "earlier 1\n"; }
  ASSERT_TRUE(SetEnvironmentVariableA(kPhaseFileVariable, file.c_str()));
  MarkPhase("entry");
  MarkPhase("load");
  SetEnvironmentVariableA(kPhaseFileVariable, nullptr);
  MarkPhase("after");  // read once: still on for this process

  std::ifstream in(file);
  std::vector<std::pair<std::string, long long>> marks;
  std::string name;
  long long counter = 0;
  while (in >> name >> counter) marks.emplace_back(name, counter);
  in.close();
  DeleteFileA(file.c_str());
  ASSERT_EQ(marks.size(), 4u);
  EXPECT_EQ(marks[0].first, "earlier");
  EXPECT_EQ(marks[1].first, "entry");
  EXPECT_EQ(marks[2].first, "load");
  EXPECT_EQ(marks[3].first, "after");
  EXPECT_LE(marks[1].second, marks[2].second);
  EXPECT_LE(marks[2].second, marks[3].second);
}

}  // namespace
}  // namespace koral
