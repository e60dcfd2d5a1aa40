// Hostile files in the installation folder, read in this process as the programs read them:
// "setup.ini" and "setup.oem" with very long lines, binary junk, no final line break, UTF-16
// text or repeated keys, and pictures that are missing, empty, truncated or no pictures at all.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "common/win/profile.h"
#include "common/win/registry.h"
#include "common/win/handles.h"
#include "common/win/utilities.h"
#include "programs/setup/setup_finisher.h"
#include "tests/reliability/hostile_pictures.h"
#include "tests/support/fake_boxes.h"
#include "tests/support/scratch_key.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

class HostileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(key_);
    folder_ = fs::temp_directory_path() / ("koral_hostile_files_" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    profile_.InstallPath = folder_.string();
    where_ = {HKEY_CURRENT_USER, key_.Path(), ""};
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  void Write(const char* name, const std::string& bytes) {
    std::ofstream file(folder_ / name, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::optional<std::string> Stored(const char* name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key_.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    std::string data(size, '\0');
    RegQueryValueExA(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (type == REG_SZ && !data.empty() && data.back() == '\0') data.pop_back();
    return data;
  }
  void Forget() {
    for (const char* name : {"VirtualButton", "MouseSpeed", "FeedbackTone", "CalibrationMode", "VenderName",
                             "VenderStyle"})
      RegDeleteValueA(key_.get(), name);
  }

  test::ScratchKey key_{"Software\\KoralTests\\HostileFiles"};
  fs::path folder_;
  InstallationProfile profile_;
  RegistryLocation where_;
};

std::string Utf16(const std::string& text) {
  std::string bytes = "\xFF\xFE";
  for (char c : text) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

// What the import seeds from a "setup.ini": the VirtualButton seed (one byte), the mouse speed
// seed (four bytes, stored only when all four of its keys are in range) and the calibration mode.
struct IniCase {
  const char* Name;
  std::string Text;
  std::optional<std::string> VirtualButton;
  std::optional<std::string> MouseSpeed;
};

const std::string kSpeedKeys = "MouseHSpeed=10\r\nMouseVSpeed=12\r\nMouseAcceleration=2\r\nMouseBypass=0\r\n";
const std::string kSpeedSeed("\x0A\x0C\x02\x00", 4);

TEST_F(HostileFiles, SetupIniGivesItsDocumentedSeedsOrNone) {
  const IniCase cases[] = {
      {"plain", "[Settings]\r\nVirtualButton=3\r\n" + kSpeedKeys, "\x03", kSpeedSeed},
      {"no final line break", "[Settings]\r\n" + kSpeedKeys + "VirtualButton=4", "\x04", kSpeedSeed},
      // A line longer than anything a reader keeps does not disturb the keys around it.
      {"a line of 100,000 characters before the keys",
       "[Settings]\r\nComment=" + std::string(100'000, 'x') + "\r\nVirtualButton=2\r\n" + kSpeedKeys, "\x02",
       kSpeedSeed},
      // Only the first 254 characters of a value are read: a number that long is out of range.
      {"a value of 100,000 digits", "[Settings]\r\nVirtualButton=" + std::string(100'000, '1') + "\r\n" + kSpeedKeys,
       std::nullopt, kSpeedSeed},
      {"binary junk", std::string("\x00\xFF\xFE\x01[Settings\x00]\x1A\r\nVirtualButton=\x80\x81\r\n", 32),
       std::nullopt, std::nullopt},
      {"junk after the section", "[Settings]\r\n\x01\x02\x7F=\xFF\r\nVirtualButton=1\r\n" + kSpeedKeys, "\x01",
       kSpeedSeed},
      {"UTF-16 text with its mark", Utf16("[Settings]\r\nVirtualButton=2\r\n" + kSpeedKeys), "\x02", kSpeedSeed},
      // The first of repeated keys counts, as everywhere in INI files.
      {"repeated keys", "[Settings]\r\nVirtualButton=1\r\nVirtualButton=4\r\n" + kSpeedKeys, "\x01", kSpeedSeed},
      {"a speed key missing", "[Settings]\r\nMouseHSpeed=10\r\nMouseVSpeed=12\r\nMouseAcceleration=2\r\n",
       std::nullopt, std::nullopt},
      {"empty file", "", std::nullopt, std::nullopt},
  };
  for (const IniCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Forget();
    Write("setup.ini", c.Text);
    test::FakeMessageBoxes boxes;
    setup::ImportSetupIni(folder_.string(), where_);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Stored("VirtualButton"), c.VirtualButton);
    EXPECT_EQ(Stored("MouseSpeed"), c.MouseSpeed);
  }
}

// The vendor's name and style from "setup.oem": a text is taken up to its first 254 characters
// (or its first NUL), trailing blanks dropped; an empty or missing key keeps what was stored.
TEST_F(HostileFiles, SetupOemGivesTheVendorTextsCutToTheirReadLength) {
  struct Case {
    const char* Name;
    std::string Text;
    std::string Title;
    std::string Style;
  };
  const std::string kept = "(stored before)";
  const Case cases[] = {
      {"plain", "[SETUP]\r\nTITLE=Acme\r\nSTYLE=21140109\r\n", "Acme", "21140109"},
      {"no final line break", "[SETUP]\r\nTITLE=Acme\r\nSTYLE=21140109", "Acme", "21140109"},
      {"a title of 10,000 characters", "[SETUP]\r\nTITLE=" + std::string(10'000, 'W') + "\r\nSTYLE=1\r\n",
       std::string(254, 'W'), "1"},
      {"repeated keys", "[SETUP]\r\nTITLE=First\r\nTITLE=Second\r\n", "First", kept},
      {"UTF-16 text with its mark", Utf16("[SETUP]\r\nTITLE=Acme\r\nSTYLE=11201209\r\n"), "Acme", "11201209"},
      {"binary junk", std::string("\xFF\x00[SETUP]\x00TITLE=\x01\r\n", 19), kept, kept},
      {"empty keys", "[SETUP]\r\nTITLE=\r\nSTYLE=   \r\n", kept, kept},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    ASSERT_TRUE(registry::WriteText(key_.get(), "VenderName", kept));
    ASSERT_TRUE(registry::WriteText(key_.get(), "VenderStyle", kept));
    profile_.VenderName = profile_.VenderStyle = kept;
    Write("setup.oem", c.Text);
    test::FakeMessageBoxes boxes;
    setup::ApplyOemStrings(folder_.string(), profile_, where_);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Stored("VenderName"), c.Title);
    EXPECT_EQ(Stored("VenderStyle"), c.Style);
    EXPECT_EQ(profile_.VenderName, c.Title);
  }
}

// ---- Pictures ----

TEST_F(HostileFiles, OnlyACompleteBitmapIsShownAsTheVendorPicture) {
  for (const test::PictureCase& c : test::HostilePictures()) {
    SCOPED_TRACE(c.Name);
    const fs::path path = folder_ / "KRVender.Bmp";
    fs::remove(path);
    if (c.Bytes) Write("KRVender.Bmp", *c.Bytes);
    const UniqueGdiObject picture(LoadCompleteBitmap(path.string()));
    EXPECT_EQ(static_cast<bool>(picture), c.Whole);
  }
}

}  // namespace
}  // namespace koral
