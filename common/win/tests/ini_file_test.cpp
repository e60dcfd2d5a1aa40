// INI access against Wine's real profile calls, in files of the test's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/win/ini_file.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

class IniFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("koral_ini_" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder_);
    file_ = (folder_ / "test.ini").string();
  }
  void TearDown() override { fs::remove_all(folder_); }
  void Write(const std::string& text) { std::ofstream(file_, std::ios::binary) << text; }
  std::string Contents() const {
    std::ifstream in(file_, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }
  fs::path folder_;
  std::string file_;
};

TEST_F(IniFile, ReadsTrimmedTextsAndEmptyForWhatIsMissing) {
  Write("[SETUP]\r\nTITLE=Acme Touch   \r\nSTYLE=\r\nQUOTED=\"  Brimholt  \"\r\nLONG=" + std::string(300, 'x') +
        "\r\n");
  struct Case {
    const char* Section;
    const char* Key;
    std::string Expected;
  };
  for (const auto& c : {Case{"SETUP", "TITLE", "Acme Touch"}, Case{"setup", "title", "Acme Touch"},
                        Case{"SETUP", "STYLE", ""}, Case{"SETUP", "NONE", ""}, Case{"OTHER", "TITLE", ""},
                        Case{"SETUP", "QUOTED", "  Brimholt"}, Case{"SETUP", "LONG", std::string(254, 'x')}}) {
    EXPECT_EQ(ReadIniValue(file_, c.Section, c.Key), c.Expected) << c.Section << "/" << c.Key;
  }
  EXPECT_EQ(ReadIniValue((folder_ / "missing.ini").string(), "SETUP", "TITLE"), "");
}

TEST_F(IniFile, WritesInOrderAndRefusesTextsThatWouldAddLines) {
  ASSERT_TRUE(WriteIniValue(file_, "Strings", "OEM_NAME", "\"TouchScreen\""));
  ASSERT_TRUE(WriteIniValue(file_, "Strings", "InstallPath", "C:\\Program Files\\Touch"));
  const std::string before = Contents();
  struct Case {
    const char* Name;
    std::string Section, Key, Value;
  };
  for (const auto& c : {Case{"value with CR LF", "Strings", "InstallPath", "C:\\A\r\n[rename]\r\nNUL=C:\\x"},
                        Case{"value with LF", "Strings", "InstallPath", "C:\\A\nOEM_NAME=evil"},
                        Case{"value with CR", "Strings", "InstallPath", "C:\\A\rB"},
                        Case{"key with a line break", "Strings", "Install\r\nPath", "C:\\A"},
                        Case{"section with a line break", "Str\nings", "InstallPath", "C:\\A"},
                        Case{"value with a NUL", "Strings", "InstallPath", std::string("C:\\A\0B", 6)}}) {
    EXPECT_FALSE(WriteIniValue(file_, c.Section, c.Key, c.Value)) << c.Name;
    EXPECT_EQ(Contents(), before) << c.Name;
  }
  EXPECT_EQ(ReadIniValue(file_, "Strings", "OEM_NAME"), "TouchScreen") << "the reader strips the quotes";
  EXPECT_NE(before.find("OEM_NAME=\"TouchScreen\""), std::string::npos) << before;
  EXPECT_LT(before.find("OEM_NAME"), before.find("InstallPath"));
}

TEST_F(IniFile, WritingIntoAMissingFolderFails) {
  EXPECT_FALSE(WriteIniValue((folder_ / "no" / "such" / "KORALPS2.INF").string(), "Strings", "OEM_NAME", "x"));
}

TEST_F(IniFile, PresentWhenReadableWithOrWithoutATrailingBackslash) {
  Write("[Settings]\r\n");
  EXPECT_TRUE(IniFilePresent(file_));
  EXPECT_TRUE(IniFilePresent(file_ + "\\"));
  EXPECT_FALSE(IniFilePresent((folder_ / "missing.ini").string()));
  EXPECT_FALSE(IniFilePresent(folder_.string()));
  EXPECT_FALSE(IniFilePresent(""));
}

}  // namespace
}  // namespace koral
