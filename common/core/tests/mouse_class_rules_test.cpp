#include "common/core/mouse_class_rules.h"

#include <gtest/gtest.h>

namespace koral {
namespace {

ClassKeyValues Mouse(std::optional<std::string> type, std::optional<std::string> id = std::nullopt,
                     std::optional<std::string> provider = std::nullopt) {
  return {std::move(type), std::move(id), std::move(provider)};
}

TEST(MouseClassRules, NamesTypesAndDevices) {
  EXPECT_EQ(ClassSubKeyName(0), "0000");
  EXPECT_EQ(ClassSubKeyName(12), "0012");
  EXPECT_EQ(ClassSubKeyName(12345), "12345");
  for (const char* type : {"PS2", "ps2", "pS2"}) EXPECT_TRUE(IsPs2MouseType(type)) << type;
  for (const char* type : {"PS/2", "PS2 ", "SERIAL", ""}) EXPECT_FALSE(IsPs2MouseType(type)) << type;

  EXPECT_EQ(SupportedDeviceName("*PNP0F13"), "TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F13)");
  EXPECT_EQ(SupportedDeviceName("*pnp0f1c"), "TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F1C)");
  for (const char* id : {"PNP0F13", "*PNP0F14", "*PNP0F13 ", ""}) EXPECT_FALSE(SupportedDeviceName(id)) << id;
}

TEST(MouseClassRules, InfStringsAndClassValuesInTheirOrder) {
  const NamedTexts inf = {
      {"OEM_NAME", "\"TouchScreen\""},
      {"OEM_CALL", "\"TouchScreen - PS/2 Mouse Driver V.7.2.PS2\""},
      {"InstallPath", "\"C:\\Program Files\\Touch\""},
      {"*PNP0F13.DeviceDesc", "\"TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F13)\""},
      {"*PNP0F03.DeviceDesc", "\"TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F03)\""},
      {"*PNP0F0B.DeviceDesc", "\"TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F0B)\""},
      {"*PNP0F0E.DeviceDesc", "\"TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F0E)\""},
      {"*PNP0F12.DeviceDesc", "\"TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F12)\""},
      {"*PNP0F1C.DeviceDesc", "\"TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F1C)\""},
  };
  EXPECT_EQ(InfStrings("C:\\Program Files\\Touch"), inf);
  EXPECT_EQ((*InfStrings("C:\\a;b,\"c\" \\"))[2].second, "\"C:\\a;b,\"\"c\"\" \\\"");
  for (const std::string& path : {std::string("C:\\100%"), std::string("C:\\a\r\nOEM_NAME=x"), std::string(260, 'a')})
    EXPECT_FALSE(InfStrings(path)) << path;

  const NamedTexts values = {
      {"DevLoader", "*vmouse"},  {"MouseType", "PS2"},          {"NoSetupUI", "1"},
      {"InfPath", "KORALPS2.INF"}, {"InfSection", "KrPS2"},      {"DriverDesc", "desc"},
      {"MouseDriver", "KORALPS2.VXD"}, {"ProviderName", "TouchScreen"}, {"MatchingDeviceId", "*pnp0f03"},
      {"DriverDate", " 5-10-2002"},
  };
  EXPECT_EQ(ClassValues("desc", "*pnp0f03"), values);
  EXPECT_EQ(DeviceEnumKeys("*PNP0F13"), (std::vector<std::string>{"Enum\\ACPI\\*PNP0F13", "Enum\\BIOS\\*PNP0F13"}));
  for (const char* id : {"", "*", "*PNP0F99", "*PNP0F13\\..", "..\\..\\Software", "*PNP0F13 "})
    EXPECT_TRUE(DeviceEnumKeys(id).empty()) << "'" << id << "'";
}

TEST(PlanClassRegistration, DeletesEveryPs2KeyAndReusesTheLastSupportedOne) {
  const std::string defaultName = "TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F13)";
  struct Case {
    const char* Name;
    std::vector<ClassKeyValues> Keys;
    ClassRegistration Expected;
  };
  const Case cases[] = {
      {"no class keys at all", {}, {{}, "0000", defaultName, "*PNP0F13"}},
      {"no PS/2 key among four",
       {Mouse("SERIAL", "*PNP0F03"), Mouse(std::nullopt), Mouse("BUS"), Mouse("USB")},
       {{}, "0004", defaultName, "*PNP0F13"}},
      {"mixed-case type, identifier kept as read",
       {Mouse("pS2", "*pnp0f0e")},
       {{"0000"}, "0000", "TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F0E)", "*pnp0f0e"}},
      {"0 and 2 PS/2 around another mouse: the last match names the new key",
       {Mouse("PS2", "*PNP0F03"), Mouse("SERIAL", "*PNP0F13"), Mouse("PS2", "*PNP0F12")},
       {{"0000", "0002"}, "0002", "TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F12)", "*PNP0F12"}},
      {"a PS/2 key with an unsupported identifier is deleted but not reused",
       {Mouse("SERIAL"), Mouse("PS2", "*PNP0F99")},
       {{"0001"}, "0002", defaultName, "*PNP0F13"}},
      {"a PS/2 key without an identifier is deleted but not reused",
       {Mouse("ps2"), Mouse("PS2", "*PNP0F1C"), Mouse("PS2")},
       {{"0000", "0001", "0002"}, "0001", "TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F1C)", "*PNP0F1C"}},
      {"a supported identifier on another mouse type does not count",
       {Mouse("SERIAL", "*PNP0F03")},
       {{}, "0001", defaultName, "*PNP0F13"}},
  };
  for (const Case& c : cases) EXPECT_EQ(PlanClassRegistration(c.Keys), c.Expected) << c.Name;
}

TEST(PlanClassRemoval, DeletesOnlyTheTouchScreensPs2Keys) {
  using Named = std::vector<std::pair<std::string, ClassKeyValues>>;
  struct Case {
    const char* Name;
    Named Keys;
    ClassRemoval Expected;
  };
  const Case cases[] = {
      {"nothing of ours: the default identifier's enumeration keys still go",
       {{"0000", Mouse("PS2", "*PNP0F03", "Microsoft")}, {"0001", Mouse("SERIAL", "*PNP0F0E", "TouchScreen")}},
       {{}, "*PNP0F13"}},
      {"ours in any case, identifier as read",
       {{"0000", Mouse("SERIAL", std::nullopt, "Other")}, {"0001", Mouse("ps2", "*pnp0f03", "TOUCHSCREEN")}},
       {{"0001"}, "*pnp0f03"}},
      {"two of ours: the later identifier wins; one without keeps the earlier",
       {{"0000", Mouse("PS2", "*PNP0F0B", "TouchScreen")},
        {"0002", Mouse("PS2", "*PNP0F12", "TouchScreen")},
        {"0003", Mouse("PS2", std::nullopt, "TouchScreen")}},
       {{"0000", "0002", "0003"}, "*PNP0F12"}},
      {"an empty or unknown identifier never names the enumeration keys",
       {{"0000", Mouse("PS2", "*PNP0F0B", "TouchScreen")},
        {"0001", Mouse("PS2", "", "TouchScreen")},
        {"0002", Mouse("PS2", "*PNP0F99", "TouchScreen")},
        {"0003", Mouse("PS2", "..\\..\\SOFTWARE", "TouchScreen")}},
       {{"0000", "0001", "0002", "0003"}, "*PNP0F0B"}},
      {"only unknown identifiers: the default",
       {{"0000", Mouse("PS2", "", "TouchScreen")}}, {{"0000"}, "*PNP0F13"}},
      {"unreadable provider or type does not count",
       {{"0000", Mouse(std::nullopt, "*PNP0F03", "TouchScreen")}, {"0001", Mouse("PS2", "*PNP0F03", std::nullopt)}},
       {{}, "*PNP0F13"}},
      // "Enum\\ACPI\\" + "" would be the enumerator's whole key, + "x\\y" a key of another device.
      {"an identifier that is not one key's name is passed over",
       {{"0000", Mouse("PS2", "*PNP0F03", "TouchScreen")},
        {"0001", Mouse("PS2", "", "TouchScreen")},
        {"0002", Mouse("PS2", "*PNP0F13\\..\\..", "TouchScreen")},
        {"0003", Mouse("PS2", std::string(256, 'P'), "TouchScreen")}},
       {{"0000", "0001", "0002", "0003"}, "*PNP0F03"}},
  };
  for (const Case& c : cases) EXPECT_EQ(PlanClassRemoval(c.Keys), c.Expected) << c.Name;
  for (const std::string& id : {std::string(), std::string("\\"), std::string("ACPI\\*PNP0F13"), std::string(256, 'P')})
    EXPECT_TRUE(DeviceEnumKeys(id).empty()) << id;
}

TEST(ClassKeyScans, TheFinisherStopsAtTheFirstGapTheUninstallerTakesEveryNumber) {
  const auto found = [](std::initializer_list<const char*> names) {
    ClassKeys keys;
    for (const char* name : names) keys.emplace_back(name, Mouse(name));
    return keys;
  };
  const auto types = [](const std::vector<ClassKeyValues>& keys) {
    std::vector<std::string> names;
    for (const auto& key : keys) names.push_back(*key.MouseType);
    return names;
  };
  const auto names = [](const ClassKeys& keys) {
    std::vector<std::string> list;
    for (const auto& key : keys) list.push_back(key.first);
    return list;
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(types(ClassKeysUntilGap(found({"0001", "0000", "0003", "x"}))), (Names{"0000", "0001"}));
  EXPECT_EQ(types(ClassKeysUntilGap(found({"0001", "0002"}))), Names{}) << "no 0000: nothing";
  EXPECT_EQ(types(ClassKeysUntilGap(found({"0000", "1", "00001"}))), Names{"0000"}) << "only four-digit names";
  EXPECT_EQ(names(NumberedClassKeys(found({"0010", "x", "0002", "7", "0007", "", "1234567890", "-1", "12a", "000000003"}))),
            (Names{"0002", "000000003", "0007", "7", "0010"}));
}

TEST(IsSilentSetupRun, OnlyTheSilentOptionInAnyCase) {
  for (const char* args : {"/XPEFBASETUP", "/xpefbasetup", "  /XpefBaSetup ", "\t/XPEFBASETUP"})
    EXPECT_TRUE(IsSilentSetupRun(args)) << args;
  for (const char* args : {"", " ", "/XPEFBASETUP2", "XPEFBASETUP", "/XPEFBASETUP /X", "/S"})
    EXPECT_FALSE(IsSilentSetupRun(args)) << args;
}

}  // namespace
}  // namespace koral
