#include "common/win/utilities.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/win/handles.h"

namespace koral {
namespace {

TEST(FileExists, OnlyForFilesThatOpen) {
  const auto folder = std::filesystem::temp_directory_path() / "koral_file_exists";
  std::filesystem::create_directories(folder);
  const std::string file = (folder / "KRVender.Cut").string();
  std::ofstream(file) << "x";
  const std::string empty = (folder / "empty.bmp").string();
  std::ofstream{empty};

  struct Case {
    std::string Path;
    bool Expected;
  };
  for (const Case& c : {Case{file, true}, Case{empty, true}, Case{folder.string(), false}, Case{"", false},
                        Case{(folder / "missing.bmp").string(), false}, Case{folder.string() + "\\*", false}}) {
    EXPECT_EQ(FileExists(c.Path), c.Expected) << '"' << c.Path << '"';
  }

  // Held open for writing by someone else, it is still there.
  const UniqueHandle writer(CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(FileExists(file));
}

// The cursor's display count, read without changing it.
int CursorCount() {
  const int count = ShowCursor(TRUE) - 1;
  ShowCursor(FALSE);
  return count;
}

TEST(MouseCursor, HideAndShowStepTheCountPastZero) {
  ShowCursor(TRUE);
  ShowCursor(TRUE);
  ASSERT_EQ(CursorCount(), 2);
  HideMouseCursor();
  EXPECT_EQ(CursorCount(), -1);
  HideMouseCursor();
  EXPECT_EQ(CursorCount(), -2);
  ShowMouseCursor();
  EXPECT_EQ(CursorCount(), 0);
  ShowMouseCursor();
  EXPECT_EQ(CursorCount(), 1);
  HideMouseCursor();
  EXPECT_EQ(CursorCount(), -1);
  ShowMouseCursor();
}

}  // namespace
}  // namespace koral
