// INI access against Wine's real profile calls, in files of the test's own.
#include <windows.h>
#include <setupapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/core/ini_text.h"
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
  // Field 1 of the INF line `key` in [Strings], as the INF parser gives it.
  static std::string InfString(const std::string& file, const char* key) {
    const HINF inf = SetupOpenInfFileA(file.c_str(), nullptr, INF_STYLE_WIN4, nullptr);
    if (inf == INVALID_HANDLE_VALUE) return "(unopened)";
    INFCONTEXT line{};
    std::string text(20'000, '\0');
    DWORD length = 0;
    if (!SetupFindFirstLineA(inf, "Strings", key, &line) ||
        !SetupGetStringFieldA(&line, 1, text.data(), static_cast<DWORD>(text.size()), &length))
      text = "(unread)";
    else
      text.resize(length ? length - 1 : 0);
    SetupCloseInfFile(inf);
    return text;
  }
  static std::string ProfileString(const std::string& file, const char* section, const char* key) {
    std::string text(20'000, '\0');
    text.resize(GetPrivateProfileStringA(section, key, "(missing)", text.data(), static_cast<DWORD>(text.size()),
                                         file.c_str()));
    return text;
  }
  static std::string ProfileSection(const std::string& file, const char* section) {
    std::string text(20'000, '\0');
    text.resize(GetPrivateProfileSectionA(section, text.data(), static_cast<DWORD>(text.size()), file.c_str()));
    return text.substr(0, text.find('\0'));
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

// The setup finisher's INF string and the uninstaller's WININIT.INI line, read back by the
// system's own readers (the INF parser, the profile reader): a text is written only in a form they
// give back whole. `Naive` marks the refused texts that, written as they stand, would come back
// altered.
TEST_F(IniFile, WrittenTextsReadBackWholeThroughTheSystemsReaders) {
  struct Case {
    std::string Value;
    bool Inf, Profile;
    bool NaiveInfAltered = false, NaiveProfileAltered = false;
  };
  const Case cases[] = {
      {"C:\\Program Files\\TouchScreen KR-PS2", true, true},
      {"C:\\a;b,c=d [e]", true, true},
      {"C:\\say \"hi\"", true, true},
      {"C:\\folder\\", true, true},
      {"\"C:\\quoted\"", true, false, false, true},
      {"'C:\\quoted'", true, false, false, true},
      {" C:\\leading blank", true, false, false, true},
      {"C:\\trailing blank ", true, false, false, true},
      {"C:\\%10%\\x", false, true, true},
      {"C:\\a\r\nNUL=C:\\x", false, false},
      {std::string(kLongestPath, 'a'), true, true},
      {std::string(10'000, 'a'), false, false, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Value.substr(0, 40));
    const std::string inf = (folder_ / ("case" + std::to_string(++n) + ".inf")).string();
    const std::string wininit = (folder_ / ("case" + std::to_string(n) + ".ini")).string();
    std::ofstream(inf, std::ios::binary) << "[Version]\r\nSignature=\"$CHICAGO$\"\r\n";

    const auto infText = InfStringText(c.Value);
    EXPECT_EQ(infText.has_value(), c.Inf);
    if (infText) {
      ASSERT_TRUE(WriteIniValue(inf, "Strings", "InstallPath", *infText));
      EXPECT_EQ(InfString(inf, "InstallPath"), c.Value);
    }
    if (c.NaiveInfAltered) {
      ASSERT_TRUE(WriteIniValue(inf, "Strings", "Naive", "\"" + c.Value + "\""));
      EXPECT_NE(InfString(inf, "Naive"), c.Value);
    }

    const auto profileText = ProfilePathText(c.Value);
    EXPECT_EQ(profileText.has_value(), c.Profile);
    if (profileText) {
      ASSERT_TRUE(WriteIniValue(wininit, "rename", "NUL", *profileText));
      EXPECT_EQ(ProfileString(wininit, "rename", "NUL"), c.Value);
      EXPECT_EQ(ProfileSection(wininit, "rename"), "NUL=" + c.Value) << "as the restart reads it";
    }
    if (c.NaiveProfileAltered) {
      ASSERT_TRUE(WriteIniValue(wininit, "rename", "Naive", c.Value));
      EXPECT_NE(ProfileString(wininit, "rename", "Naive"), c.Value);
    }
  }
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
