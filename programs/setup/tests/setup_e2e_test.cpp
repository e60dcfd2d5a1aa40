// The real setup finisher under Wine, in the throwaway prefix where it may restart Windows: the
// files it is given, the registry and the INF file it leaves, the boxes it shows and the restart
// it asks for.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "common/core/setup_messages.h"
#include "common/core/titles.h"
#include "common/win/mouse_class.h"
#include "common/win/profile.h"
#include "common/win/registry.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/restart_probe.h"
#include "tests/support/setup_installation.h"
#include "ui/names.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

constexpr char kProgram[] = "KORALpdi.exe";
constexpr char kSilent[] = "/XPEFBASETUP";
constexpr char kProfileFailure[] = "Fail to load data from Register File!";

// A value as stored: its type and bytes.
struct Stored {
  DWORD Type;
  std::vector<uint8_t> Bytes;
  friend bool operator==(const Stored&, const Stored&) = default;
};

std::optional<Stored> ReadStored(const std::string& path, const char* name) {
  UniqueHKey key;
  if (!registry::OpenExistingKey(HKEY_LOCAL_MACHINE, path, key)) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::vector<uint8_t> bytes(size);
  if (RegQueryValueExA(key.get(), name, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) return std::nullopt;
  bytes.resize(size);
  return Stored{type, bytes};
}

Stored Dword(uint32_t value) {
  return {REG_DWORD, {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
                      static_cast<uint8_t>(value >> 24)}};
}
Stored Binary(std::vector<uint8_t> bytes) { return {REG_BINARY, std::move(bytes)}; }
Stored Text(const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return {REG_SZ, bytes};
}

using test::MachineKeyExists;

std::string ModelKeyPath() { return std::string(kModelKeyPath) + "\\" + kModelSubKey; }

const char* const kSeedNames[] = {"CalibrationMode", "VirtualButton",   "RightButtonFunction", "RightButtonAutomatic",
                                  "FeedbackSound",   "FeedbackTone",    "FeedbackDuration",    "MouseSpeed",
                                  "DoubleClickSpeed", "DoubleClickWidth", "DoubleClickHeight", "PanelDirection"};

// A class sub-key as a test lays it out: MouseType, MatchingDeviceId.
using ClassLayout = std::vector<std::pair<std::string, std::string>>;

class SetupFinisher : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(test::ProgramFolder().empty()) << "KORAL_PROGRAMS is not set";
    ASSERT_TRUE(installation_.Create("koral setup"));
    install_ = installation_.Install;
    windows_ = installation_.Windows;
    ASSERT_TRUE(installation_.AddProgram(kProgram));
    std::ofstream(Inf(), std::ios::binary) << "[Version]\r\nSignature=\"$CHICAGO$\"\r\n\r\n[Strings]\r\n"
                                               "OEM_NAME=\"Vendor\"\r\n";
    ASSERT_TRUE(probe_.Arm());
  }
  void TearDown() override { program_ = {}; }
  static void LayClassKeys(const ClassLayout& keys) {
    for (size_t n = 0; n < keys.size(); ++n) {
      UniqueHKey key;
      ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kMouseClassPath, ClassSubKeyName(static_cast<int>(n)), key));
      ASSERT_TRUE(registry::WriteText(key.get(), "MouseType", keys[n].first));
      if (!keys[n].second.empty()) {
        ASSERT_TRUE(registry::WriteText(key.get(), "MatchingDeviceId", keys[n].second));
      }
      ASSERT_TRUE(registry::WriteText(key.get(), "DriverDesc", "before"));
    }
  }
  static void AddEnumKeys(const std::string& id) { ASSERT_TRUE(test::AddDeviceEnumKeys(id)); }
  static void SetProfileText(const char* name, const std::string& text) {
    UniqueHKey key;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key));
    ASSERT_TRUE(registry::WriteText(key.get(), name, text));
  }

  void WriteFile(const char* name, const std::string& text) { std::ofstream(install_ / name, std::ios::binary) << text; }
  std::string Inf() const { return (windows_ / "inf" / "KORALPS2.INF").string(); }
  std::vector<std::string> StringsSection() const {
    std::ifstream in(Inf(), std::ios::binary);
    std::vector<std::string> lines;
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty() && line.front() == '[') inside = line == "[Strings]";
      else if (inside && !line.empty()) lines.push_back(line);
    }
    return lines;
  }
  std::vector<std::string> ExpectedStrings() const {
    std::vector<std::string> lines;
    const auto strings = InfStrings(install_.string());
    for (const auto& [name, value] : *strings) lines.push_back(name + "=" + value);
    return lines;
  }

  // Starts the program and answers its boxes in turn, expecting exactly these texts; with
  // `progress` the progress window must be up at the first box, without it nowhere.
  void Run(const std::string& arguments, const std::vector<std::string>& boxes, bool progress) {
    ASSERT_TRUE(program_.Start(kProgram, arguments, install_.string()));
    for (size_t i = 0; i < boxes.size(); ++i) {
      const auto box = test::WaitForMessageBox(kSetupFinisherTitle);
      ASSERT_TRUE(box) << "no box for: " << boxes[i];
      EXPECT_EQ(box->Text, boxes[i]);
      if (i == 0) {
        const HWND window = test::FindVisibleWindow(kSetupFinisherTitle);
        EXPECT_EQ(window != nullptr, progress) << "progress window at the first box";
        if (window && progress) {
          EXPECT_EQ(test::ControlText(ui::FindNamedChild(window, "lblMsg")), "Setup is updating your system...");
        }
      }
      test::AnswerMessageBox(box->Box, IDOK);
      ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(box->Box); })) << "the box stayed: " << boxes[i];
    }
    ASSERT_TRUE(program_.WaitForExit()) << "the program did not end";
  }

  test::SetupInstallation installation_;
  fs::path install_, windows_;
  test::RestartProbe probe_;
  test::RunningProgram program_;
};

const std::string kConfigFailure = "Fail to config system registry!";

TEST_F(SetupFinisher, SeedsEverySettingTakesTheVendorAndRegistersTheMouseThenRestarts) {
  WriteFile("setup.ini",
            "[Settings]\r\nCalibrationMode=0\r\nVirtualButton=2.6\r\nRightButtonFunction=1\r\nRightButtonAutoMode=1\r\n"
            "RightButtonAutoSTime=3\r\nRightButtonAutoETime=9\r\nRightButtonAutoBeep=0\r\nFeedbackSound=4\r\n"
            "FeedbackTone=1000\r\nFeedbackDuration=10\r\nMouseBypass=0\r\nMouseHSpeed=10\r\nMouseVSpeed=12\r\n"
            "MouseAcceleration=2\r\nDoubleClickSpeed=900\r\nDoubleClickWidth=0\r\nDoubleClickHeight=64\r\n"
            "PanelDirection=7\r\n");
  WriteFile("setup.oem", "[SETUP]\r\nTITLE=Acme Touch Systems  \r\nSTYLE=21140109\r\n");
  LayClassKeys({{"pS2", "*pnp0f0e"}});
  AddEnumKeys("*PNP0F0E");
  AddEnumKeys("*PNP0F13");

  Run("", {kSetupFinishedText}, false);
  EXPECT_TRUE(probe_.WaitForRestart()) << "no restart was asked for";

  const std::map<std::string, Stored> seeds = {
      {"CalibrationMode", Dword(0)},
      {"VirtualButton", Binary({3})},
      {"RightButtonFunction", Binary({1})},
      {"RightButtonAutomatic", Binary({1, 3, 9, 0})},
      {"FeedbackSound", Binary({4})},
      {"FeedbackTone", Binary({0xE8, 0x03})},
      {"FeedbackDuration", Binary({10, 0})},
      {"MouseSpeed", Binary({0x0A, 0x0C, 0x02, 0x00})},
      {"DoubleClickSpeed", Dword(900)},
      {"DoubleClickWidth", Dword(0)},
      {"DoubleClickHeight", Dword(64)},
      {"PanelDirection", Binary({7})},
  };
  for (const auto& [name, stored] : seeds) EXPECT_EQ(ReadStored(ModelKeyPath(), name.c_str()), stored) << name;
  EXPECT_EQ(ReadStored(ModelKeyPath(), "VenderName"), Text("Acme Touch Systems"));
  EXPECT_EQ(ReadStored(ModelKeyPath(), "VenderStyle"), Text("21140109"));

  EXPECT_EQ(StringsSection(), ExpectedStrings());
  EXPECT_NE(test::FileText(Inf()).find("Signature=\"$CHICAGO$\""), std::string::npos)
      << "the vendor's own lines stay";

  // The mixed-case PS/2 key was replaced by the touchscreen's, under its name and identifier.
  const std::string key = ClassKeyPath("0000");
  for (const auto& [name, value] : ClassValues("TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F0E)", "*pnp0f0e"))
    EXPECT_EQ(ReadStored(key, name.c_str()), Text(value)) << name;
  EXPECT_FALSE(ReadStored(key, "DriverDesc") == Text("before"));
  EXPECT_FALSE(MachineKeyExists(ClassKeyPath("0001")));
  EXPECT_FALSE(MachineKeyExists("Enum\\ACPI\\*PNP0F0E"));
  EXPECT_FALSE(MachineKeyExists("Enum\\BIOS\\*PNP0F0E"));
  EXPECT_TRUE(MachineKeyExists("Enum\\ACPI\\*PNP0F13")) << "only the chosen device's enumeration keys go";
}

TEST_F(SetupFinisher, LeavesOutMissingEmptyOutOfRangeSettingsAndReusesTheLastPs2Key) {
  WriteFile("setup.ini",
            "[Settings]\r\nCalibrationMode=\r\nVirtualButton=0\r\nRightButtonFunction=0.5\r\nRightButtonAutoMode=1\r\n"
            "RightButtonAutoETime=2\r\nRightButtonAutoBeep=1\r\nFeedbackSound=1.5\r\nFeedbackTone=5001\r\n"
            "FeedbackDuration=1e1\r\nMouseBypass=1\r\nMouseHSpeed=20.4\r\nMouseVSpeed=12abc\r\nMouseAcceleration=4\r\n"
            "DoubleClickSpeed=fast\r\nDoubleClickWidth=  32  \r\nDoubleClickHeight=-1\r\nPanelDirection=none\r\n");
  LayClassKeys({{"PS2", "*PNP0F03"}, {"SERIAL", "*PNP0F13"}, {"PS2", "*PNP0F12"}});
  AddEnumKeys("*PNP0F12");
  AddEnumKeys("*PNP0F03");

  Run(kSilent, {kSetupFinishedText}, false);
  EXPECT_TRUE(probe_.WaitForRestart()) << "the silent run restarts too";

  const std::map<std::string, std::optional<Stored>> seeds = {
      {"CalibrationMode", std::nullopt},                    // empty
      {"VirtualButton", std::nullopt},                      // below its range
      {"RightButtonFunction", Binary({0})},                 // 0.5 to the even 0
      {"RightButtonAutomatic", std::nullopt},               // RightButtonAutoSTime missing
      {"FeedbackSound", Binary({2})},                       // 1.5 to the even 2
      {"FeedbackTone", std::nullopt},                       // above its range
      {"FeedbackDuration", Binary({10, 0})},                // 1e1
      {"MouseSpeed", Binary({20, 12, 4, 1})},               // 20.4, 12abc, 4, 1
      {"DoubleClickSpeed", std::nullopt},                   // no number: 0, below its range
      {"DoubleClickWidth", Dword(32)},
      {"DoubleClickHeight", std::nullopt},
      {"PanelDirection", Binary({0})},                      // no number: 0, in its range
  };
  for (const auto& [name, stored] : seeds) EXPECT_EQ(ReadStored(ModelKeyPath(), name.c_str()), stored) << name;
  EXPECT_EQ(ReadStored(ModelKeyPath(), "VenderName"), Text("Brimholt")) << "no setup.oem: the vendor stays";

  EXPECT_FALSE(MachineKeyExists(ClassKeyPath("0000")));
  EXPECT_EQ(ReadStored(ClassKeyPath("0001"), "MouseType"), Text("SERIAL")) << "the other mouse stays";
  EXPECT_EQ(ReadStored(ClassKeyPath("0002"), "MatchingDeviceId"), Text("*PNP0F12"));
  EXPECT_EQ(ReadStored(ClassKeyPath("0002"), "DriverDesc"), Text("TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F12)"));
  EXPECT_FALSE(MachineKeyExists("Enum\\ACPI\\*PNP0F12"));
  EXPECT_TRUE(MachineKeyExists("Enum\\ACPI\\*PNP0F03"));
}

TEST_F(SetupFinisher, WithoutSetupFilesOrPs2KeysTheNextNumberIsRegistered) {
  LayClassKeys({{"SERIAL", ""}, {"BUS", ""}, {"SERIAL", "*PNP0F03"}, {"USB", ""}});
  WriteFile("setup.oem", "[SETUP]\r\nTITLE=\r\n");

  Run("/other", {kSetupFinishedText}, false);
  EXPECT_TRUE(probe_.WaitForRestart());

  for (const char* name : kSeedNames) EXPECT_FALSE(ReadStored(ModelKeyPath(), name)) << name;
  EXPECT_EQ(ReadStored(ModelKeyPath(), "VenderName"), Text("Brimholt")) << "an empty title changes nothing";
  EXPECT_EQ(ReadStored(ModelKeyPath(), "VenderStyle"), Text("11201209"));
  for (int n = 0; n < 4; ++n) EXPECT_EQ(ReadStored(ClassKeyPath(ClassSubKeyName(n)), "DriverDesc"), Text("before")) << n;
  EXPECT_EQ(ReadStored(ClassKeyPath("0004"), "MatchingDeviceId"), Text("*PNP0F13"));
  EXPECT_EQ(ReadStored(ClassKeyPath("0004"), "DriverDesc"), Text("TouchScreen - PS/2 Mouse (7.2.PS2.PNP0F13)"));
}

// The model key's InstallPath and WindowsPath are anyone's to set: the finisher, which runs
// elevated, reads "setup.ini" and "setup.oem" from its own folder and completes the INF file in the
// system's Windows folder, with its own folder as the INF's InstallPath. What a user points the
// values at is neither read nor written, and a line break there reaches no file.
TEST_F(SetupFinisher, TheModelKeysPathsChooseNoFileItReadsOrWrites) {
  const fs::path user = installation_.User;
  fs::create_directories(user / "inf");
  const std::string userInf = "[Strings]\r\nOEM_NAME=\"The user's\"\r\n";
  std::ofstream(user / "inf" / "KORALPS2.INF", std::ios::binary) << userInf;
  std::ofstream(user / "setup.ini", std::ios::binary) << "[Settings]\r\nCalibrationMode=1\r\nPanelDirection=5\r\n";
  std::ofstream(user / "setup.oem", std::ios::binary) << "[SETUP]\r\nTITLE=The user's title\r\n";
  WriteFile("setup.ini", "[Settings]\r\nCalibrationMode=0\r\n");
  for (const std::string& installPath :
       {user.string(), install_.string() + "\r\n*PNP0F13.DeviceDesc=\"Injected\""}) {
    SCOPED_TRACE(installPath);
    SetProfileText("InstallPath", installPath);
    SetProfileText("WindowsPath", user.string());
    LayClassKeys({{"PS2", "*PNP0F03"}});
    Run(kSilent, {kSetupFinishedText}, false);
    EXPECT_TRUE(probe_.WaitForRestart());

    EXPECT_EQ(StringsSection(), ExpectedStrings()) << "the INF in the Windows folder names the installation";
    EXPECT_EQ(test::FileText(user / "inf" / "KORALPS2.INF"), userInf);
    EXPECT_EQ(ReadStored(ModelKeyPath(), "CalibrationMode"), Dword(0)) << "the installation's setup.ini";
    EXPECT_FALSE(ReadStored(ModelKeyPath(), "PanelDirection"));
    EXPECT_EQ(ReadStored(ModelKeyPath(), "VenderName"), Text("Brimholt"));
    EXPECT_EQ(ReadStored(ClassKeyPath("0000"), "MatchingDeviceId"), Text("*PNP0F03"));
    ASSERT_TRUE(probe_.Arm());
  }
}

// The driver's INF file cannot be written (a folder stands in its place): the registry is said
// to be unconfigured, the last message says the setup could not finish, and the mouse class is
// left as it was.
TEST_F(SetupFinisher, AnUnwritableInfIsToldAndTheSetupIsNotCalledFinished) {
  LayClassKeys({{"PS2", "*PNP0F03"}});
  fs::remove(Inf());
  ASSERT_TRUE(fs::create_directory(Inf()));
  Run("", {kConfigFailure, kSetupIncompleteText}, true);
  EXPECT_TRUE(probe_.WaitForRestart()) << "the restart is still asked for: the seeds are in place";
  EXPECT_EQ(ReadStored(ClassKeyPath("0000"), "DriverDesc"), Text("before"));
  fs::remove(Inf());
}

TEST_F(SetupFinisher, AMissingProfileEndsWithoutChangesOrRestart) {
  ASSERT_EQ(RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, ModelKeyPath().c_str(), "HardwareID"), ERROR_SUCCESS);
  LayClassKeys({{"PS2", "*PNP0F03"}});
  Run("", {kProfileFailure}, true);
  EXPECT_FALSE(probe_.WaitForRestart(std::chrono::seconds(3)));
  EXPECT_TRUE(probe_.StillArmed());
  EXPECT_EQ(ReadStored(ClassKeyPath("0000"), "DriverDesc"), Text("before"));
  EXPECT_EQ(StringsSection(), std::vector<std::string>{"OEM_NAME=\"Vendor\""});
}

}  // namespace
}  // namespace koral
