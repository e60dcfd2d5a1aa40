// The package helper's work on the registry and on "setup.ini", in this process on a scratch key of
// the current user's (the model key's path is only an argument).
#include "package/setup_helper.h"

#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "common/core/setup_settings.h"
#include "common/win/handles.h"
#include "common/win/ini_file.h"
#include "common/win/registry.h"
#include "common/win/slot_window.h"
#include "package/tests/users_access.h"
#include "tests/support/scratch_key.h"
#include "tests/support/slot_stand_in.h"
#include "tools/sim_client.h"

namespace koral::package {
namespace {

namespace fs = std::filesystem;

TEST(GrantUsersWrite, LetsUsersSetValuesOfTheKeyAloneOnceAndKeepsTheOtherEntries) {
  test::ScratchKey scratch("Software\\KoralTests\\GrantUsersWrite");
  ASSERT_TRUE(scratch);
  const test::Dacl before = test::ReadDacl(HKEY_CURRENT_USER, scratch.Path());
  ASSERT_EQ(before.Granted, 0);

  ASSERT_EQ(GrantUsersWrite(HKEY_CURRENT_USER, scratch.Path()), static_cast<DWORD>(ERROR_SUCCESS));
  const test::Dacl first = test::ReadDacl(HKEY_CURRENT_USER, scratch.Path());
  EXPECT_EQ(first.Granted, 1);
  EXPECT_EQ(first.Entries, before.Entries + 1) << "the other entries stay";

  ASSERT_EQ(GrantUsersWrite(HKEY_CURRENT_USER, scratch.Path()), static_cast<DWORD>(ERROR_SUCCESS));
  const test::Dacl second = test::ReadDacl(HKEY_CURRENT_USER, scratch.Path());
  EXPECT_EQ(second.Granted, 1);
  EXPECT_EQ(second.Entries, first.Entries) << "an installation over an existing one adds nothing";
}

// A key without an access list is open to everyone; a list of the Users entry alone would lock
// out the administrators and the system.
TEST(GrantUsersWrite, AKeyOpenToEveryoneStaysOpen) {
  test::ScratchKey scratch("Software\\KoralTests\\GrantUsersWriteOpen");
  ASSERT_TRUE(scratch);
  auto dacl = [&] {
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_EQ(GetSecurityInfo(scratch.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list,
                              nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    LocalFree(descriptor);
    return list != nullptr;
  };
  ASSERT_EQ(SetSecurityInfo(scratch.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                            nullptr),
            static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_FALSE(dacl()) << "the key has no access list to start with";
  EXPECT_EQ(GrantUsersWrite(HKEY_CURRENT_USER, scratch.Path()), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_FALSE(dacl()) << "still open to everyone";
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
    for (const SetupIniKey& key : kSetupIniKeys) {
      if (std::find(c.Removed.begin(), c.Removed.end(), key.Name) == c.Removed.end())
        expectedLeft.emplace_back(key.Name);
    }
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

TEST(WaitUntilFree, WaitsForFilesInUseAndTakesMissingOnesAsFree) {
  const fs::path folder = fs::temp_directory_path() / ("koral_free_" + std::to_string(GetCurrentProcessId()));
  fs::create_directories(folder);
  const std::string held = (folder / "held.exe").string(), free = (folder / "free.exe").string();
  std::ofstream(held) << "x";
  std::ofstream(free) << "x";
  struct Case {
    const char* Name;
    std::vector<std::string> Files;
    int ReleaseAfterMs;  // -1: held throughout
    bool Free;
  };
  const Case cases[] = {
      {"no files", {}, -1, true},
      {"missing and free files", {(folder / "missing.exe").string(), (folder / "no" / "x.exe").string(), free}, -1,
       true},
      {"a file held throughout", {free, held}, -1, false},
      {"a file let go meanwhile", {held, free}, 300, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    UniqueHandle use(CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(use);
    std::thread release;
    if (c.ReleaseAfterMs >= 0) release = std::thread([&] {
      Sleep(static_cast<DWORD>(c.ReleaseAfterMs));
      use.reset();
    });
    EXPECT_EQ(WaitUntilFree(c.Files, 1500), c.Free);
    if (release.joinable()) release.join();
  }
  std::error_code error;
  fs::remove_all(folder, error);
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

// What the driver's service is like decides what installing the substitute driver does; a question
// that failed is no "not installed": re-pointing the service then could replace the real driver.
TEST(StepForService, OnlyAMissingServiceIsMadeAndOnlyOursIsSetUpAgain) {
  const std::string ours = "C:\\Touch\\KORALPS2.sys";
  struct Case {
    const char* Name;
    DWORD Error;
    std::string Path;
    ServiceStep Step;
  };
  for (const Case& c : {Case{"no such service", ERROR_SERVICE_DOES_NOT_EXIST, "", ServiceStep::Create},
                        Case{"ours", ERROR_SUCCESS, "\\??\\c:\\touch\\koralps2.sys", ServiceStep::KeepOurs},
                        Case{"another image", ERROR_SUCCESS, "C:\\drivers\\KORALPS2.sys", ServiceStep::LeaveForeign},
                        Case{"access denied", ERROR_ACCESS_DENIED, "", ServiceStep::GiveUp},
                        Case{"the service manager does not answer", RPC_S_SERVER_UNAVAILABLE, "", ServiceStep::GiveUp},
                        Case{"a configuration that cannot be read", ERROR_INSUFFICIENT_BUFFER, "",
                             ServiceStep::GiveUp}})
    EXPECT_EQ(StepForService(c.Error, c.Path, ours), c.Step) << c.Name;
}

// The installation folder: made admin-only when new, used only when admin-only already, and never
// under a folder others can move. Under Wine a folder's access list is its Unix permissions: a
// folder open to everyone is one whose permissions let everyone write.
class SecureInstallFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("koral_secure_" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  // Lets everyone change the folder, as a folder a user made, or one under C:\, may.
  static void OpenToEveryone(const fs::path& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;WD)", SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
    EXPECT_EQ(SetNamedSecurityInfoA(const_cast<char*>(folder.string().c_str()), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    LocalFree(descriptor);
  }
  static std::string Sddl(const fs::path& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(folder.string().c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
      return {};
    char* text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text,
                                                         nullptr);
    std::string sddl = text ? text : "";
    LocalFree(text);
    LocalFree(descriptor);
    return sddl;
  }
  fs::path root_;
};

TEST_F(SecureInstallFolderTest, MakesMissingFoldersForAdministratorsOnly) {
  const fs::path folder = root_ / "Program Files" / "Touch Screen";
  EXPECT_EQ(SecureInstallFolder(folder.string()), FolderCheck::Secured);
  ASSERT_TRUE(fs::is_directory(folder));
  for (const fs::path& made : {folder, folder.parent_path()})
    EXPECT_EQ(Sddl(made).find(";WD)"), std::string::npos) << made << " " << Sddl(made) << ": no entry for everyone";
  EXPECT_EQ(SecureInstallFolder(folder.string()), FolderCheck::Secured) << "and takes it as it is the next time";
}

TEST_F(SecureInstallFolderTest, RefusesAFolderOthersCanChangeOrMoveAndChangesNothing) {
  const fs::path open = root_ / "Open";
  fs::create_directories(open / "Inside");
  OpenToEveryone(open);
  const std::string before = Sddl(open);
  struct Case {
    const char* Name;
    fs::path Folder;
  };
  for (const Case& c : {Case{"the folder itself", open}, Case{"a folder below it", open / "Inside"},
                        Case{"a new folder below it", open / "New"}}) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(SecureInstallFolder(c.Folder.string()), FolderCheck::Refused);
  }
  EXPECT_FALSE(fs::exists(open / "New")) << "nothing is made under a folder others can move";
  EXPECT_EQ(Sddl(open), before) << "a refused folder is left as it was";
}

TEST_F(SecureInstallFolderTest, AnUnusableFolderFails) {
  for (const std::string folder : {std::string("Touch"), (root_ / ".." / "x").string(), std::string("C:\\a\"b")})
    EXPECT_EQ(SecureInstallFolder(folder), FolderCheck::Failed) << folder;
  const fs::path file = root_ / "a file";
  std::ofstream(file) << "not a folder";
  EXPECT_EQ(SecureInstallFolder((file / "Touch").string()), FolderCheck::Failed);
}

// The setup's update step tells the installation's tool and companion to quit; windows that have
// stopped answering hold it up for the time-out, and windows of programs elsewhere get nothing.
TEST(PrepareUpdate, WindowsThatNeverAnswerDoNotHoldTheSetup) {
  sim::SimClient driver;
  ASSERT_TRUE(driver.Open(10000)) << "the substitute driver is not running in the test prefix";
  ASSERT_TRUE(driver.Reset());
  const fs::path install = fs::temp_directory_path() / ("koral_update_" + std::to_string(GetCurrentProcessId()));
  test::SlotStandIn tool, companion;
  ASSERT_TRUE(tool.Start(install, test::SlotStandIn::Role::Tool, true));
  ASSERT_TRUE(companion.Start(install, test::SlotStandIn::Role::Companion, true));
  std::atomic<bool> done{false};
  std::thread update([&] {
    PrepareUpdate(install.string(), {});
    done = true;
  });
  EXPECT_TRUE(test::WaitUntil([&] { return done.load(); }, std::chrono::milliseconds(3 * kSlotMessageTimeoutMs)))
      << "the setup would wait for good";
  tool.Kill();
  companion.Kill();
  update.join();
  driver.Reset();

  // The same programs, answering, but from another folder than the one being updated.
  ASSERT_TRUE(tool.Start(install / "Other", test::SlotStandIn::Role::Tool));
  EXPECT_TRUE(PrepareUpdate(install.string(), {}));
  EXPECT_TRUE(tool.Received().empty());
  tool.Kill();
  ASSERT_TRUE(tool.Start(install, test::SlotStandIn::Role::Tool));
  EXPECT_TRUE(PrepareUpdate(install.string(), {}));
  EXPECT_EQ(tool.Received(), std::vector<WPARAM>{0x100E});
  EXPECT_TRUE(tool.Ended());
  driver.Reset();
  std::error_code ignored;
  fs::remove_all(install, ignored);
}

}  // namespace
}  // namespace koral::package
