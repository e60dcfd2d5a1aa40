// The mouse class scans and the enumeration clean-up against Wine's real registry. The class path
// of Windows 98 is not Wine's own, so the tests own it.
#include <gtest/gtest.h>

#include "common/win/mouse_class.h"
#include "common/win/registry.h"

namespace koral {
namespace {

class MouseClass : public ::testing::Test {
 protected:
  void SetUp() override { Clear(); }
  void TearDown() override { Clear(); }
  static void Clear() {
    registry::DeleteKey(HKEY_LOCAL_MACHINE, kMouseClassPath);
    registry::DeleteKey(HKEY_LOCAL_MACHINE, "Enum\\ACPI\\*PNP0F0E");
    registry::DeleteKey(HKEY_LOCAL_MACHINE, "Enum\\BIOS\\*PNP0F0E");
  }
  // A class sub-key with the given texts; "" leaves a value out.
  static void AddKey(const std::string& name, const std::string& type, const std::string& id = "",
                     const std::string& provider = "") {
    UniqueHKey key;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kMouseClassPath, name, key));
    for (const auto& [value, text] : {std::pair{"MouseType", &type}, std::pair{"MatchingDeviceId", &id},
                                      std::pair{"ProviderName", &provider}}) {
      if (!text->empty()) {
        EXPECT_TRUE(registry::WriteText(key.get(), value, *text)) << value;
      }
    }
  }
  static bool Exists(const std::string& path) {
    UniqueHKey key;
    return registry::OpenExistingKey(HKEY_LOCAL_MACHINE, path, key);
  }
};

TEST_F(MouseClass, TheSetupScanStopsAtTheFirstMissingNumber) {
  EXPECT_TRUE(ReadClassKeysUntilGap().empty()) << "no class key at all";
  AddKey("0000", "PS2", "*PNP0F03", "TouchScreen");
  AddKey("0001", "SERIAL");
  AddKey("0003", "PS2");
  const auto keys = ReadClassKeysUntilGap();
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].MouseType, "PS2");
  EXPECT_EQ(keys[0].MatchingDeviceId, "*PNP0F03");
  EXPECT_EQ(keys[0].ProviderName, "TouchScreen");
  EXPECT_EQ(keys[1].MouseType, "SERIAL");
  EXPECT_FALSE(keys[1].MatchingDeviceId);
}

TEST_F(MouseClass, TheFullScanPassesGapsInNumericOrderAndReadsOnlyTexts) {
  AddKey("0010", "PS2", "*PNP0F12", "TouchScreen");
  AddKey("0002", "SERIAL");
  AddKey("Properties", "PS2");
  UniqueHKey key;
  ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kMouseClassPath, "0004", key));
  ASSERT_TRUE(registry::WriteNumber(key.get(), "MouseType", 2));
  const auto keys = ReadEveryClassKey();
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].first, "0002");
  EXPECT_EQ(keys[1].first, "0004");
  EXPECT_FALSE(keys[1].second.MouseType) << "a number is not a mouse type";
  EXPECT_EQ(keys[2].first, "0010");
  EXPECT_EQ(keys[2].second.ProviderName, "TouchScreen");
}

TEST_F(MouseClass, ClassKeysGoWithTheirSubKeysAndEachFailureIsHeardOf) {
  AddKey("0000", "PS2");
  AddKey("0002", "PS2");
  UniqueHKey deep;
  ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kMouseClassPath, "0002\\Settings", deep));
  deep.reset();
  std::vector<std::string> failed;
  DeleteClassKeys({"0000", "0001", "0002"}, [&](const std::string& path) { failed.push_back(path); });
  EXPECT_FALSE(Exists(ClassKeyPath("0000")));
  EXPECT_FALSE(Exists(ClassKeyPath("0002")));
  EXPECT_EQ(failed, std::vector<std::string>{"System\\CurrentControlSet\\Services\\Class\\Mouse\\0001"});
}

TEST_F(MouseClass, EnumerationKeysGoWithTheirSubKeysAndMissingOnesArePassedOver) {
  for (const char* bus : {"ACPI", "BIOS"}) {
    SCOPED_TRACE(bus);
    UniqueHKey deep;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, std::string("Enum\\") + bus + "\\*PNP0F0E", "0\\Device Parameters", deep));
    deep.reset();
    DeleteDeviceEnumKeys("*pnp0f0e");  // registry names are case-insensitive
    EXPECT_FALSE(Exists("Enum\\ACPI\\*PNP0F0E"));
    EXPECT_FALSE(Exists("Enum\\BIOS\\*PNP0F0E"));
  }
}

// An identifier read from a class key that is not one key's name reaches no key at all: not the
// enumerator's whole key (an empty one), not a key below a device.
TEST_F(MouseClass, AnIdentifierThatIsNotOneKeysNameDeletesNothing) {
  for (const char* bus : {"ACPI", "BIOS"}) {
    UniqueHKey deep;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, std::string("Enum\\") + bus + "\\*PNP0F0E", "0\\Device Parameters", deep));
  }
  for (const std::string& id : {std::string(), std::string("\\"), std::string("*PNP0F0E\\0")}) {
    DeleteDeviceEnumKeys(id);
    for (const char* bus : {"ACPI", "BIOS"})
      EXPECT_TRUE(Exists(std::string("Enum\\") + bus + "\\*PNP0F0E\\0\\Device Parameters")) << bus << " after '" << id << "'";
  }
}

}  // namespace
}  // namespace koral
