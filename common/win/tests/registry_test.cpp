// The registry layer and the installation profile against Wine's real registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/win/profile.h"
#include "common/win/registry.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/scratch_key.h"

namespace koral {
namespace {

constexpr char kScratch[] = "Software\\KoralTests\\Registry";

class RegistryLayer : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(key_); }
  void StoreRaw(const char* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetValueExA(key_.get(), name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  test::ScratchKey key_{kScratch};
};

TEST(RootKeyName, PredefinedRootsAndOthers) {
  EXPECT_EQ(registry::RootKeyName(HKEY_CLASSES_ROOT), "HKEY_CLASSES_ROOT");
  EXPECT_EQ(registry::RootKeyName(HKEY_CURRENT_USER), "HKEY_CURRENT_USER");
  EXPECT_EQ(registry::RootKeyName(HKEY_LOCAL_MACHINE), "HKEY_LOCAL_MACHINE");
  EXPECT_EQ(registry::RootKeyName(HKEY_USERS), "HKEY_USERS");
  EXPECT_EQ(registry::RootKeyName(HKEY_CURRENT_CONFIG), "");
  EXPECT_EQ(registry::RootKeyName(nullptr), "");
}

TEST_F(RegistryLayer, OpenKeyBuildsThePathAndCreatesMissingLevels) {
  UniqueHKey plain, slashed, deep;
  EXPECT_FALSE(registry::OpenKey(HKEY_CURRENT_USER, "", "Sub", plain));
  ASSERT_TRUE(registry::OpenKey(HKEY_CURRENT_USER, key_.Path(), "Model", plain));
  ASSERT_TRUE(registry::WriteNumber(plain.get(), "Marker", 7));
  // A leading backslash of the sub-key names the same key.
  ASSERT_TRUE(registry::OpenKey(HKEY_CURRENT_USER, key_.Path(), "\\Model", slashed));
  int32_t marker = 0;
  EXPECT_TRUE(registry::ReadNumber(slashed.get(), "Marker", marker));
  EXPECT_EQ(marker, 7);
  ASSERT_TRUE(registry::OpenKey(HKEY_CURRENT_USER, key_.Path(), "A\\B\\C", deep));
  UniqueHKey existing;
  EXPECT_TRUE(registry::OpenExistingKey(HKEY_CURRENT_USER, key_.Path() + "\\A\\B", existing));
  EXPECT_FALSE(registry::OpenExistingKey(HKEY_CURRENT_USER, key_.Path() + "\\Nowhere", existing));
  EXPECT_TRUE(registry::CloseKey(deep));
  EXPECT_FALSE(registry::CloseKey(deep)) << "closing twice must fail, not crash";
}

TEST_F(RegistryLayer, ReadTextEndsAtTheFirstNulAndRejectsOtherTypes) {
  struct Case {
    const char* name;
    DWORD type;
    std::string stored;
    bool ok;
    const char* expected;
  };
  const Case cases[] = {
      {"plain", REG_SZ, std::string("abc\0", 4), true, "abc"},
      {"garbage behind NUL", REG_SZ, std::string("abc\0garbage", 11), true, "abc"},
      {"trailing NULs", REG_SZ, std::string("abc\0\0\0\0", 7), true, "abc"},
      {"no terminator", REG_SZ, std::string("abc"), true, "abc"},
      {"empty", REG_SZ, std::string("\0", 1), true, ""},
      {"expandable text is another type", REG_EXPAND_SZ, std::string("abc\0", 4), false, "before"},
      {"binary", REG_BINARY, std::string("abc"), false, "before"},
  };
  for (const auto& c : cases) {
    StoreRaw(c.name, c.type, c.stored.data(), static_cast<DWORD>(c.stored.size()));
    std::string value = "before";
    EXPECT_EQ(registry::ReadText(key_.get(), c.name, value), c.ok) << c.name;
    EXPECT_EQ(value, c.expected) << c.name;
  }
  std::string value = "before";
  EXPECT_FALSE(registry::ReadText(key_.get(), "missing", value));
  EXPECT_EQ(value, "before");
}

TEST_F(RegistryLayer, ReadNumberTakesOnlyDwordsOfFourBytes) {
  const DWORD minusOne = 0xFFFFFFFF;
  const uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  StoreRaw("dword", REG_DWORD, &minusOne, 4);
  StoreRaw("text", REG_SZ, "5", 2);
  StoreRaw("binary", REG_BINARY, &minusOne, 4);
  StoreRaw("short dword", REG_DWORD, eight, 2);
  StoreRaw("long dword", REG_DWORD, eight, 8);
  StoreRaw("empty dword", REG_DWORD, eight, 0);
  int32_t value = 42;
  EXPECT_TRUE(registry::ReadNumber(key_.get(), "dword", value));
  EXPECT_EQ(value, -1);
  for (const char* name : {"text", "binary", "missing", "short dword", "long dword", "empty dword"}) {
    value = 42;
    EXPECT_FALSE(registry::ReadNumber(key_.get(), name, value)) << name;
    EXPECT_EQ(value, 42) << name;
  }
}

TEST_F(RegistryLayer, WritersRoundTrip) {
  ASSERT_TRUE(registry::WriteNumber(key_.get(), "n", -7));
  ASSERT_TRUE(registry::WriteText(key_.get(), "t", "C:\\Program Files\\Touch"));
  ASSERT_TRUE(registry::WriteBytes(key_.get(), "b", {1, 2, 0, 4}));
  int32_t n = 0;
  std::string t;
  EXPECT_TRUE(registry::ReadNumber(key_.get(), "n", n));
  EXPECT_EQ(n, -7);
  EXPECT_TRUE(registry::ReadText(key_.get(), "t", t));
  EXPECT_EQ(t, "C:\\Program Files\\Touch");
  BYTE bytes[8] = {};
  DWORD size = sizeof bytes, type = 0;
  ASSERT_EQ(RegQueryValueExA(key_.get(), "b", nullptr, &type, bytes, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(bytes[3], 4);
}

TEST_F(RegistryLayer, DeleteKeyRemovesSubKeysAsWindows98Did) {
  UniqueHKey deep;
  ASSERT_TRUE(registry::OpenKey(HKEY_CURRENT_USER, key_.Path(), "Tree\\Leaf", deep));
  deep.reset();
  const std::string tree = key_.Path() + "\\Tree";
  EXPECT_TRUE(registry::DeleteKey(HKEY_CURRENT_USER, tree));
  UniqueHKey gone;
  EXPECT_FALSE(registry::OpenExistingKey(HKEY_CURRENT_USER, tree, gone));
  EXPECT_FALSE(registry::DeleteKey(HKEY_CURRENT_USER, tree)) << "a missing key cannot be deleted";
  EXPECT_FALSE(registry::DeleteKey(HKEY_CURRENT_USER, "")) << "never the whole root";
}

TEST_F(RegistryLayer, RegKeyOpensWithTheAccessAskedAndSaysWhyItDidNot) {
  RegKey created = RegKey::Create(HKEY_CURRENT_USER, key_.Path(), "Sub\\Leaf");
  ASSERT_TRUE(created);
  EXPECT_EQ(created.Error(), ERROR_SUCCESS);
  ASSERT_TRUE(created.WriteText("t", "abc"));
  ASSERT_TRUE(RegKey::Create(HKEY_CURRENT_USER, key_.Path(), "Sub\\Other"));

  RegKey readOnly = RegKey::Open(HKEY_CURRENT_USER, key_.Path() + "\\Sub\\Leaf", KEY_QUERY_VALUE);
  ASSERT_TRUE(readOnly);
  std::string text;
  EXPECT_TRUE(readOnly.ReadText("t", text));
  EXPECT_EQ(text, "abc");
  EXPECT_TRUE(readOnly.Has("t"));
  EXPECT_FALSE(readOnly.WriteNumber("n", 1)) << "a key opened to query cannot be written";

  std::vector<std::string> names = RegKey::Open(HKEY_CURRENT_USER, key_.Path() + "\\Sub").SubKeyNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Leaf", "Other"}));

  const RegKey missing = RegKey::Open(HKEY_CURRENT_USER, key_.Path() + "\\Nowhere");
  EXPECT_FALSE(missing);
  EXPECT_EQ(missing.Error(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(RegKey::Open(HKEY_CURRENT_USER, key_.Path() + "\\Nowhere")) << "opening never creates";
  EXPECT_FALSE(RegKey::Create(HKEY_CURRENT_USER, "", "Sub")) << "an empty key path opens nothing";

  // An empty key fails every read and write and leaves the caller's variable alone.
  RegKey empty;
  int32_t number = 42;
  EXPECT_FALSE(empty.ReadNumber("n", number));
  EXPECT_EQ(number, 42);
  EXPECT_FALSE(empty.Has("t"));
  EXPECT_FALSE(empty.WriteText("t", "x"));
  EXPECT_FALSE(empty.WriteBytes("b", {1}));
  EXPECT_TRUE(empty.SubKeyNames().empty());
  EXPECT_FALSE(empty.Close()) << "closing an empty key fails, and does not crash";
}

class ModelKey : public ::testing::Test {
 protected:
  void SetUp() override { test::RemoveModelKey(); }
  void TearDown() override { test::WriteDevelopmentProfile(test::ProgramFolder()); }
  static void Store(const char* name, DWORD type, const void* data, DWORD size) {
    UniqueHKey key;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key));
    ASSERT_EQ(RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  }
  ModelKeyStore store_;
  InstallationProfile profile_;
};

TEST_F(ModelKey, ProfileLoadsWhenAllSixTextsArePresent) {
  ASSERT_TRUE(test::WriteDevelopmentProfile("C:\\Program Files\\Touch"));
  ASSERT_TRUE(LoadProfile(store_, profile_));
  EXPECT_EQ(profile_.VenderName, "Brimholt");
  EXPECT_EQ(profile_.InstallPath, "C:\\Program Files\\Touch");
  EXPECT_EQ(profile_.HardwareID, "*PNP0F13");
}

TEST_F(ModelKey, MissingKeyIsCreatedEmptyAndTheLoadFails) {
  EXPECT_FALSE(LoadProfile(store_, profile_));
  UniqueHKey key;
  EXPECT_TRUE(registry::OpenExistingKey(HKEY_LOCAL_MACHINE,
                                        std::string(kModelKeyPath) + "\\" + kModelSubKey, key));
}

TEST_F(ModelKey, OneBadValueFailsTheLoadButTheOthersAreStillRead) {
  struct Case {
    const char* value;
    DWORD type;
  };
  for (auto [value, type] : {Case{"VenderName", REG_DWORD}, Case{"HardwareID", REG_BINARY},
                             Case{"VenderStyle", 0}}) {
    ASSERT_TRUE(test::WriteDevelopmentProfile("C:\\Touch"));
    UniqueHKey key;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key));
    if (type == 0) {
      RegDeleteValueA(key.get(), value);
    } else {
      const DWORD number = 1;
      RegSetValueExA(key.get(), value, 0, type, reinterpret_cast<const BYTE*>(&number), 4);
    }
    profile_ = {};
    EXPECT_FALSE(LoadProfile(store_, profile_)) << value;
    EXPECT_EQ(profile_.InstallPath, "C:\\Touch") << value;
    EXPECT_EQ(profile_.SystemPath, "C:\\windows\\system32") << value;
  }
}

TEST_F(ModelKey, CalibrationModeIsReadOnlyAsDwordAndWrittenBack) {
  const DWORD two = 2;
  int32_t mode = 7;
  Store("CalibrationMode", REG_SZ, "1", 2);
  EXPECT_FALSE(store_.ReadNumber(kCalibrationModeName, mode));
  EXPECT_EQ(mode, 7);
  EXPECT_TRUE(store_.Has(kCalibrationModeName)) << "there, of another type";
  Store("CalibrationMode", REG_BINARY, &two, 4);
  EXPECT_FALSE(store_.ReadNumber(kCalibrationModeName, mode));
  Store("CalibrationMode", REG_DWORD, &two, 4);
  EXPECT_TRUE(store_.ReadNumber(kCalibrationModeName, mode));
  EXPECT_EQ(mode, 2);
  EXPECT_TRUE(store_.WriteNumber(kCalibrationModeName, -1));
  EXPECT_TRUE(store_.ReadNumber(kCalibrationModeName, mode));
  EXPECT_EQ(mode, -1);
}

TEST_F(ModelKey, SubKeyWithLeadingBackslashIsTheSameModelKey) {
  ASSERT_TRUE(test::WriteDevelopmentProfile("C:\\Same"));
  ModelKeyStore backslash({HKEY_LOCAL_MACHINE, kModelKeyPath, std::string("\\") + kModelSubKey});
  EXPECT_TRUE(LoadProfile(backslash, profile_));
  EXPECT_EQ(profile_.InstallPath, "C:\\Same");
  ModelKeyStore nowhere({HKEY_LOCAL_MACHINE, "", kModelSubKey});
  EXPECT_FALSE(nowhere.Available());
  EXPECT_FALSE(LoadProfile(nowhere, profile_)) << "an empty key path never opens anything";
}

}  // namespace
}  // namespace koral
