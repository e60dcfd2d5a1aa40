// The package helper's work on the registry and on "setup.ini", in this process on a scratch key of
// the current user's (the model key's path is only an argument).
#include "setup_helper.h"

#include <aclapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "ini_file.h"
#include "registry.h"
#include "scratch_key.h"
#include "setup_settings.h"

namespace koral::package {
namespace {

namespace fs = std::filesystem;

struct Dacl {
  int Entries = 0;
  int Granted = 0;  // allowed entries for the Users group on this key alone that let it set values
};

Dacl ReadDacl(HKEY root, const std::string& path) {
  Dacl result;
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, READ_CONTROL, &opened) != ERROR_SUCCESS) return result;
  const UniqueHKey key(opened);
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                      &descriptor) != ERROR_SUCCESS)
    return result;
  BYTE users[SECURITY_MAX_SID_SIZE] = {};
  DWORD size = sizeof users;
  CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &size);
  constexpr DWORD kNeeded = KEY_QUERY_VALUE | KEY_SET_VALUE;
  constexpr DWORD kNotGiven = WRITE_DAC | WRITE_OWNER | DELETE | KEY_CREATE_SUB_KEY;
  constexpr BYTE kSpreads = CONTAINER_INHERIT_ACE | OBJECT_INHERIT_ACE | INHERITED_ACE;
  if (dacl != nullptr) {
    result.Entries = dacl->AceCount;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
      void* entry = nullptr;
      if (!GetAce(dacl, i, &entry)) continue;
      auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
      if (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && EqualSid(&allowed->SidStart, users) &&
          (allowed->Mask & kNeeded) == kNeeded && (allowed->Mask & kNotGiven) == 0 &&
          (allowed->Header.AceFlags & kSpreads) == 0)
        ++result.Granted;
    }
  }
  LocalFree(descriptor);
  return result;
}

TEST(GrantUsersWrite, LetsUsersSetValuesOfTheKeyAloneOnceAndKeepsTheOtherEntries) {
  test::ScratchKey scratch("Software\\KoralTests\\GrantUsersWrite");
  ASSERT_TRUE(scratch);
  const Dacl before = ReadDacl(HKEY_CURRENT_USER, scratch.Path());
  ASSERT_EQ(before.Granted, 0);

  ASSERT_EQ(GrantUsersWrite(HKEY_CURRENT_USER, scratch.Path()), static_cast<DWORD>(ERROR_SUCCESS));
  const Dacl first = ReadDacl(HKEY_CURRENT_USER, scratch.Path());
  EXPECT_EQ(first.Granted, 1);
  EXPECT_EQ(first.Entries, before.Entries + 1) << "the other entries stay";

  ASSERT_EQ(GrantUsersWrite(HKEY_CURRENT_USER, scratch.Path()), static_cast<DWORD>(ERROR_SUCCESS));
  const Dacl second = ReadDacl(HKEY_CURRENT_USER, scratch.Path());
  EXPECT_EQ(second.Granted, 1);
  EXPECT_EQ(second.Entries, first.Entries) << "an installation over an existing one adds nothing";
}

TEST(GrantUsersWrite, AMissingKeyIsAnErrorAndIsNotMade) {
  const std::string path = "Software\\KoralTests\\GrantUsersWriteMissing" + std::to_string(GetCurrentProcessId());
  EXPECT_NE(GrantUsersWrite(HKEY_CURRENT_USER, path), static_cast<DWORD>(ERROR_SUCCESS));
  UniqueHKey key;
  EXPECT_FALSE(registry::OpenExistingKey(HKEY_CURRENT_USER, path, key));
}

// A value already in the model key, of whichever type it was stored with.
struct Existing {
  std::string Name;
  DWORD Type;
};

class KeepExistingSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scratch_);
    ini_ = fs::temp_directory_path() / ("koral_keep_" + std::to_string(GetCurrentProcessId()) + ".ini");
    WriteShippedIni();
  }
  void WriteShippedIni() {
    std::ofstream out(ini_, std::ios::binary);
    out << "; shipped defaults\r\n[Settings]\r\n";
    for (const SetupIniKey& key : kSetupIniKeys) out << key.Name << "=" << key.Minimum << "\r\n";
    out << "[Other]\r\nCalibrationMode=keep\r\n";
  }
  void TearDown() override {
    std::error_code error;
    fs::remove(ini_, error);
  }
  void Store(const Existing& value) {
    const BYTE data[4] = {1, 0, 0, 0};
    const DWORD size = value.Type == REG_SZ ? 2 : 4;
    ASSERT_EQ(RegSetValueExA(scratch_.get(), value.Name.c_str(), 0, value.Type, data, size), ERROR_SUCCESS);
  }
  std::vector<std::string> KeysLeft() const {
    std::vector<std::string> left;
    for (const SetupIniKey& key : kSetupIniKeys)
      if (!ReadIniValue(ini_.string(), "Settings", key.Name).empty()) left.emplace_back(key.Name);
    return left;
  }

  test::ScratchKey scratch_{"Software\\KoralTests\\KeepExistingSettings"};
  fs::path ini_;
};

TEST_F(KeepExistingSettingsTest, LeavesOutExactlyTheKeysOfValuesTheModelKeyHolds) {
  struct Case {
    const char* Name;
    std::vector<Existing> Values;
    std::vector<std::string> Removed;
  };
  const Case cases[] = {
      {"a fresh model key", {}, {}},
      {"profile values only", {{"VenderName", REG_SZ}, {"InstallPath", REG_SZ}}, {}},
      {"the user's calibration and double-click values",
       {{"CalibrationMode", REG_DWORD}, {"DoubleClickSpeed", REG_DWORD}, {"DoubleClickWidth", REG_DWORD},
        {"DoubleClickHeight", REG_DWORD}},
       {"CalibrationMode", "DoubleClickSpeed", "DoubleClickWidth", "DoubleClickHeight"}},
      {"a four-byte seed takes its four keys", {{"MouseSpeed", REG_BINARY}},
       {"MouseBypass", "MouseHSpeed", "MouseVSpeed", "MouseAcceleration"}},
      {"a value of the wrong type is still the user's", {{"PanelDirection", REG_SZ}}, {"PanelDirection"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteShippedIni();
    for (const Existing& value : c.Values) Store(value);
    std::vector<std::string> removed;
    EXPECT_TRUE(KeepExistingSettings(HKEY_CURRENT_USER, scratch_.Path(), ini_.string(), removed));
    std::vector<std::string> expectedLeft;
    for (const SetupIniKey& key : kSetupIniKeys)
      if (std::find(c.Removed.begin(), c.Removed.end(), key.Name) == c.Removed.end()) expectedLeft.emplace_back(key.Name);
    EXPECT_EQ(KeysLeft(), expectedLeft);
    std::sort(removed.begin(), removed.end());
    auto expectedRemoved = c.Removed;
    std::sort(expectedRemoved.begin(), expectedRemoved.end());
    EXPECT_EQ(removed, expectedRemoved);
    EXPECT_EQ(ReadIniValue(ini_.string(), "Other", "CalibrationMode"), "keep") << "other sections stay";
    for (const Existing& value : c.Values) RegDeleteValueA(scratch_.get(), value.Name.c_str());
  }
}

TEST_F(KeepExistingSettingsTest, WithoutAModelKeyEverythingStays) {
  std::vector<std::string> removed{"stale"};
  EXPECT_TRUE(KeepExistingSettings(HKEY_CURRENT_USER, scratch_.Path() + "\\Missing", ini_.string(), removed));
  EXPECT_TRUE(removed.empty());
  EXPECT_EQ(KeysLeft().size(), std::size(kSetupIniKeys));
}

TEST(SameImage, ComparesPathsAsTheServiceManagerMayGiveThem) {
  const std::string ours = "C:\\Program Files\\TouchScreen KR-PS2\\KORALPS2.sys";
  const std::map<std::string, bool> cases = {
      {ours, true},
      {"c:\\program files\\touchscreen kr-ps2\\koralps2.SYS", true},
      {"\\??\\C:\\Program Files\\TouchScreen KR-PS2\\KORALPS2.sys", true},
      {"C:\\windows\\system32\\drivers\\KORALPS2.sys", false},
      {"system32\\drivers\\KORALPS2.sys", false},
      {"", false},
  };
  for (const auto& [configured, same] : cases) EXPECT_EQ(SameImage(configured, ours), same) << configured;
  EXPECT_FALSE(SameImage("", "")) << "no image of ours matches nothing";
}

}  // namespace
}  // namespace koral::package
