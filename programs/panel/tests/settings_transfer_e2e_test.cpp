// The control panel's /EXPORT and /IMPORT under Wine, against the real substitute driver: the
// program started as an administrator's script starts it, its exit code and its lines on
// standard error read back, and the driver, the model key and the files looked at afterwards.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "common/core/settings_file.h"
#include "common/core/titles.h"
#include "common/win/ini_file.h"
#include "common/win/profile.h"
#include "common/win/registry.h"
#include "tests/support/driver_service.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/right_button_tools.h"
#include "tools/sim_client.h"

namespace koral {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr char kPanel[] = "KORALpcp.exe";
constexpr char kUsage[] = " (KORALpcp.exe /EXPORT file, or KORALpcp.exe /IMPORT file)";

// Every value of the model key: its type and bytes.
using KeyValues = std::map<std::string, std::pair<DWORD, std::vector<uint8_t>>>;

KeyValues ModelKeyValues() {
  KeyValues values;
  UniqueHKey key;
  if (!registry::OpenExistingKey(HKEY_LOCAL_MACHINE, std::string(kModelKeyPath) + "\\" + kModelSubKey, key))
    return values;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD nameLength = sizeof name, type = 0, size = 4096;
    std::vector<uint8_t> data(size);
    if (RegEnumValueA(key.get(), i, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
    data.resize(size);
    values[std::string(name, nameLength)] = {type, data};
  }
  return values;
}

// What the setup finisher stores for a seed: REG_DWORD little-endian, or the seed's bytes.
std::pair<DWORD, std::vector<uint8_t>> Stored(const SeedStore& store) {
  const auto value = static_cast<uint32_t>(store.Value);
  if (store.ByteCount == 0)
    return {REG_DWORD, {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)}};
  return {REG_BINARY, SeedBytes(value, store.ByteCount)};
}

void WriteModelNumber(const char* name, int32_t value) {
  UniqueHKey key;
  ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key));
  ASSERT_TRUE(registry::WriteNumber(key.get(), name, value));
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

bool SameBlock(const ParamBlock& a, const ParamBlock& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A block every exported value of which differs from the driver's default one.
ParamBlock SourceBlock() {
  ParamBlock b = sim::SimClient::DefaultBlock();
  b.VirtualButton = 3;
  b.FeedbackSound = 2;
  b.FeedbackTone = 2500;
  b.FeedbackDuration = 30;
  b.MouseBypass = 1;
  b.MouseHSpeed = 15;
  b.MouseVSpeed = 5;
  b.MouseAcceleration = 2;
  b.RightButtonFunction = 0;
  b.RightButtonAutoMode = 1;
  b.RightButtonAutoSTime = 4;
  b.RightButtonAutoETime = 6;
  b.RightButtonAutoBeep = 0;
  b.PanelDirection = 5;
  b.Sensitivity = 120;
  b.SleepTime = 9;
  b.CalXLeft = 100;
  return b;
}

struct Outcome {
  std::optional<DWORD> ExitCode;
  std::vector<std::string> Lines;
};

class SettingsTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(test::ProgramFolder().empty()) << "KORAL_PROGRAMS is not set";
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(test::RemoveModelKey());
    ASSERT_TRUE(test::WriteDevelopmentProfile(test::ProgramFolder()));
    folder_ = fs::temp_directory_path() / "koral transfer" / "fleet settings";
    fs::remove_all(folder_.parent_path());
    fs::create_directories(folder_);
    test::QuitRightButtonTools();
  }
  void TearDown() override {
    test::QuitRightButtonTools();
    sim_.Reset();
    test::RemoveModelKey();
    test::WriteDevelopmentProfile(test::ProgramFolder());
    fs::remove_all(folder_.parent_path());
  }

  // Runs the control panel with the arguments, as a script does, and reads what it said.
  static Outcome Run(const std::string& arguments) {
    test::RunningProgram panel;
    Outcome outcome;
    if (!panel.StartCapturing(kPanel, arguments)) {
      ADD_FAILURE() << "the control panel did not start";
      return outcome;
    }
    std::istringstream text(panel.ErrorOutput(30s));
    outcome.ExitCode = panel.WaitForExit(0ms);
    for (std::string line; std::getline(text, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      outcome.Lines.push_back(line);
    }
    return outcome;
  }
  static std::string Quoted(const fs::path& path) { return "\"" + path.string() + "\""; }

  // The codes the driver was sent since the last look.
  std::vector<uint32_t> Codes() {
    std::vector<uint32_t> codes;
    for (const JournalEntry& entry : sim_.ReadJournal()) codes.push_back(entry.Code);
    return codes;
  }

  sim::SimClient sim_;
  fs::path folder_;
};

TEST_F(SettingsTransfer, ExportWritesEveryKeyAsTheSetupFinisherReadsIt) {
  ASSERT_TRUE(sim_.LoadBlock(SourceBlock()));
  WriteModelNumber("CalibrationMode", 0);
  WriteModelNumber("DoubleClickSpeed", 650);
  WriteModelNumber("DoubleClickWidth", 12);
  WriteModelNumber("DoubleClickHeight", 40);
  const fs::path file = folder_ / "pc 1.ini";
  WriteFile(file, "an older export");
  sim_.ReadJournal();

  const Outcome quoted = Run("/EXPORT " + Quoted(file));
  EXPECT_EQ(quoted.ExitCode, 0u);
  EXPECT_TRUE(quoted.Lines.empty()) << quoted.Lines.front();

  const std::map<std::string, int32_t> expected = {
      {"CalibrationMode", 0},   {"VirtualButton", 3},      {"RightButtonFunction", 0}, {"RightButtonAutoMode", 1},
      {"RightButtonAutoSTime", 4}, {"RightButtonAutoETime", 6}, {"RightButtonAutoBeep", 0}, {"FeedbackSound", 2},
      {"FeedbackTone", 2500},   {"FeedbackDuration", 30},  {"MouseBypass", 1},         {"MouseHSpeed", 15},
      {"MouseVSpeed", 5},       {"MouseAcceleration", 2},  {"DoubleClickSpeed", 650},  {"DoubleClickWidth", 12},
      {"DoubleClickHeight", 40}, {"PanelDirection", 5},
  };
  for (const SetupIniKey& key : kSetupIniKeys)
    EXPECT_EQ(SettingValue(ReadIniValue(file.string(), "Settings", key.Name), key.Minimum, key.Maximum),
              expected.at(key.Name))
        << key.Name << " read back with the setup finisher's rules";
  for (const uint32_t code : Codes()) EXPECT_EQ(code, kReadBlock) << "an export only reads the block";

  // Unquoted, a path with blanks works too, and the same settings give the same file.
  const fs::path again = folder_ / "pc 2.ini";
  const Outcome unquoted = Run("/export " + again.string());
  EXPECT_EQ(unquoted.ExitCode, 0u);
  EXPECT_EQ(ReadFile(again), ReadFile(file));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2) << "no file left beside";
}

TEST_F(SettingsTransfer, AnExportThatCannotBeDoneSaysWhyInOneLineAndLeavesTheFileAlone) {
  const fs::path file = folder_ / "pc.ini";
  const fs::path readOnly = folder_ / "read only.ini";
  struct Case {
    const char* What;
    std::function<void()> Arrange;
    std::string Arguments;
    std::string Line;
  };
  ParamBlock noController = SourceBlock();
  noController.DetectedPort = 0;
  ParamBlock badMode = SourceBlock();
  badMode.VirtualButton = 0;
  const Case cases[] = {
      {"no controller", [&] { ASSERT_TRUE(sim_.LoadBlock(noController)); }, "/EXPORT " + Quoted(file),
       "not exported: TouchScreen Controller Not Found!"},
      {"a value no key can carry", [&] { ASSERT_TRUE(sim_.LoadBlock(badMode)); }, "/EXPORT " + Quoted(file),
       "not exported: VirtualButton is 0 in the driver's block, outside 1..4"},
      {"a stored double-click speed out of range", [] { WriteModelNumber("DoubleClickSpeed", 1000); },
       "/EXPORT " + Quoted(file), "not exported: DoubleClickSpeed is 1000 in the model key, outside 100..900"},
      {"a folder", [] {}, "/EXPORT " + Quoted(folder_), "not exported: " + folder_.string() + ": is a folder"},
      {"a missing folder", [] {}, "/EXPORT " + Quoted(folder_ / "missing" / "pc.ini"),
       "not exported: " + (folder_ / "missing" / "pc.ini").string() + ": no such folder"},
      {"no file", [] {}, "/EXPORT", "/EXPORT needs a file name" + std::string(kUsage)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    ASSERT_TRUE(sim_.Reset());
    WriteModelNumber("DoubleClickSpeed", 500);
    WriteModelNumber("DoubleClickWidth", 32);
    WriteModelNumber("DoubleClickHeight", 32);
    WriteFile(file, "kept");
    c.Arrange();
    const Outcome outcome = Run(c.Arguments);
    EXPECT_EQ(outcome.ExitCode, 1u);
    EXPECT_EQ(outcome.Lines, std::vector<std::string>{c.Line});
    EXPECT_EQ(ReadFile(file), "kept");
  }

  WriteFile(readOnly, "kept");
  fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::remove);
  const Outcome outcome = Run("/EXPORT " + Quoted(readOnly));
  EXPECT_EQ(outcome.ExitCode, 1u);
  ASSERT_EQ(outcome.Lines.size(), 1u);
  EXPECT_EQ(outcome.Lines[0], "not exported: " + readOnly.string() + ": cannot be written (it is read-only)");
  fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(ReadFile(readOnly), "kept");
}

TEST_F(SettingsTransfer, WithoutTheDriverNeitherCommandDoesAnything) {
  const fs::path file = folder_ / "pc.ini";
  WriteFile(file, "[Settings]\r\nFeedbackSound=3\r\n");
  const KeyValues before = ModelKeyValues();
  test::DriverServiceStopped stopped(sim_);
  ASSERT_TRUE(stopped.Stopped());
  const std::string noDriver = "the driver KORALPS2 does not answer (it is not installed, or not running)";

  const Outcome exported = Run("/EXPORT " + Quoted(folder_ / "new.ini"));
  EXPECT_EQ(exported.ExitCode, 1u);
  EXPECT_EQ(exported.Lines, std::vector<std::string>{"not exported: " + noDriver});
  EXPECT_FALSE(fs::exists(folder_ / "new.ini"));

  const Outcome imported = Run("/IMPORT " + Quoted(file));
  EXPECT_EQ(imported.ExitCode, 1u);
  EXPECT_EQ(imported.Lines, std::vector<std::string>{"not imported: " + noDriver});
  EXPECT_EQ(ModelKeyValues(), before);
}

TEST_F(SettingsTransfer, ImportSendsTheWholeBlockOnceAndSeedsTheModelKey) {
  const std::string text =
      "; the fleet's settings\r\n[Settings]\r\nCalibrationMode=0\r\nVirtualButton=2\r\nRightButtonFunction=0\r\n"
      "RightButtonAutoMode=0\r\nRightButtonAutoSTime=7\r\nRightButtonAutoETime=8\r\nRightButtonAutoBeep=0\r\n"
      "FeedbackSound=4\r\nFeedbackTone=300\r\nFeedbackDuration=45\r\nMouseBypass=0\r\nMouseHSpeed=20\r\n"
      "MouseVSpeed=19\r\nMouseAcceleration=3\r\nDoubleClickSpeed=250\r\nDoubleClickWidth=7\r\n"
      "DoubleClickHeight=9\r\nPanelDirection=3\r\n";
  const fs::path file = folder_ / "fleet.ini";
  WriteFile(file, text);
  const SettingsFileCheck check = CheckSettingsFile(file.string(), text);
  ASSERT_TRUE(check.Accepted());
  ParamBlock expected = sim::SimClient::DefaultBlock();
  PutIntoBlock(check.Values, expected);
  sim_.ReadJournal();

  const Outcome outcome = Run("/IMPORT " + Quoted(file));
  EXPECT_EQ(outcome.ExitCode, 0u);
  EXPECT_TRUE(outcome.Lines.empty()) << outcome.Lines.front();

  const auto block = sim_.ReadBlock();
  ASSERT_TRUE(block);
  EXPECT_TRUE(SameBlock(*block, expected));
  int writes = 0;
  for (const JournalEntry& entry : sim_.ReadJournal()) {
    if (entry.Code == kReadBlock || entry.Code == kGetRightButtonSlot) continue;
    ++writes;
    EXPECT_EQ(entry.Code, kWriteWholeBlock);
    EXPECT_TRUE(SameBlock(sim::BlockOf(entry), expected));
  }
  EXPECT_EQ(writes, 1) << "one whole-block write";
  const KeyValues model = ModelKeyValues();
  for (const SeedStore& seed : SeedStoresOf(check.Values)) {
    ASSERT_TRUE(model.count(seed.ValueName)) << seed.ValueName;
    EXPECT_EQ(model.at(seed.ValueName), Stored(seed)) << seed.ValueName;
  }
}

TEST_F(SettingsTransfer, ABadFileIsRefusedWithEveryProblemAndNothingChanges) {
  const fs::path spaced = folder_ / "pc with blanks.ini";
  const std::string tenThousandDigits(10'000, '7');
  struct Case {
    const char* What;
    fs::path File;
    std::optional<std::string> Bytes;  // none: the path is not written
    std::vector<std::string> Lines;
  };
  const fs::path missing = folder_ / "missing.ini";
  const fs::path empty = folder_ / "empty.ini";
  const fs::path utf16 = folder_ / "utf16.ini";
  const fs::path twice = folder_ / "twice.ini";
  const fs::path digits = folder_ / "digits.ini";
  const Case cases[] = {
      {"a missing file", missing, std::nullopt, {missing.string() + ": no such file"}},
      {"an empty file", empty, "", {empty.string() + ": the file is empty"}},
      {"a UTF-16 file", utf16, std::string("\xFF\xFE[\0S\0]\0", 8), {utf16.string() + ": UTF-16 text; save it as ANSI text"}},
      {"a folder", folder_, std::nullopt, {folder_.string() + ": is a folder"}},
      {"a path with blanks", spaced, "[Settings]\r\nVirtualButton=5\r\nMouseHSpeed=1\r\nColour=red\r\n",
       {spaced.string() + ":2: VirtualButton: 5 is outside 1..4",
        spaced.string() + ":4: Colour: unknown key",
        spaced.string() + ":3: MouseHSpeed: MouseSpeed takes its four keys together; missing: MouseVSpeed, "
                          "MouseAcceleration, MouseBypass"}},
      {"a key twice", twice, "[Settings]\r\nFeedbackSound=2\r\nFeedbackSound=3\r\n",
       {twice.string() + ":3: FeedbackSound: given twice (first at line 2)"}},
      {"10,000 digits", digits, "[Settings]\r\nFeedbackTone=" + tenThousandDigits + "\r\n",
       {digits.string() + ":2: FeedbackTone: 777777777777777777777777... (10000 characters) is outside 200..5000"}},
  };
  const KeyValues before = ModelKeyValues();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    if (c.Bytes) WriteFile(c.File, *c.Bytes);
    sim_.ReadJournal();
    const Outcome outcome = Run("/IMPORT " + Quoted(c.File));
    EXPECT_EQ(outcome.ExitCode, 2u);
    EXPECT_EQ(outcome.Lines, c.Lines);
    EXPECT_TRUE(Codes().empty()) << "the file is checked before the driver is asked anything";
    EXPECT_EQ(ModelKeyValues(), before);
  }
  const auto block = sim_.ReadBlock();
  ASSERT_TRUE(block);
  EXPECT_TRUE(SameBlock(*block, sim::SimClient::DefaultBlock()));
}

TEST_F(SettingsTransfer, ImportStartsAndStopsTheRightButtonToolAsTheVirtualButtonDialogDoes) {
  const fs::path on = folder_ / "on.ini";
  WriteFile(on, "[Settings]\r\nVirtualButton=3\r\nRightButtonFunction=1\r\n");
  Outcome outcome = Run("/IMPORT " + Quoted(on));
  EXPECT_EQ(outcome.ExitCode, 0u);
  EXPECT_TRUE(test::WaitUntil([] { return !test::RightButtonToolWindows().empty(); }))
      << "the right-button tool did not start";

  const fs::path off = folder_ / "off.ini";
  WriteFile(off, "[Settings]\r\nRightButtonFunction=0\r\n");
  outcome = Run("/IMPORT " + Quoted(off));
  EXPECT_EQ(outcome.ExitCode, 0u);
  EXPECT_TRUE(test::WaitUntil([] { return test::RightButtonToolProcesses() == 0; }))
      << "the right-button tool did not quit";
}

TEST_F(SettingsTransfer, ImportWaitsUntilTheControlPanelIsClosed) {
  const fs::path file = folder_ / "pc.ini";
  WriteFile(file, "[Settings]\r\nFeedbackSound=3\r\n");
  test::RunningProgram panel;
  ASSERT_TRUE(panel.Start(kPanel));
  const HWND main = test::WaitForVisibleWindow(kControlPanelTitle);
  ASSERT_NE(main, nullptr) << "the control panel did not start";
  sim_.ReadJournal();

  const Outcome outcome = Run("/IMPORT " + Quoted(file));
  EXPECT_EQ(outcome.ExitCode, 1u);
  EXPECT_EQ(outcome.Lines, std::vector<std::string>{"not imported: the control panel is open; close it first, or "
                                                    "its dialogs would send their own copy of the settings later"});
  EXPECT_TRUE(Codes().empty());
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(panel.WaitForExit());
}

TEST_F(SettingsTransfer, AnExportImportedElsewhereGivesTheSameBlockAndSeeds) {
  ASSERT_TRUE(sim_.LoadBlock(SourceBlock()));
  WriteModelNumber("CalibrationMode", 0);
  const fs::path file = folder_ / "template.ini";
  ASSERT_EQ(Run("/EXPORT " + Quoted(file)).ExitCode, 0u);

  // Another PC: the default block, no settings stored.
  ASSERT_TRUE(sim_.Reset());
  ASSERT_TRUE(test::RemoveModelKey());
  ASSERT_TRUE(test::WriteDevelopmentProfile(test::ProgramFolder()));
  ASSERT_EQ(Run("/IMPORT " + Quoted(file)).ExitCode, 0u);

  ParamBlock expected = sim::SimClient::DefaultBlock();
  const SettingsFileCheck check = CheckSettingsFile(file.string(), ReadFile(file));
  PutIntoBlock(check.Values, expected);
  const auto block = sim_.ReadBlock();
  ASSERT_TRUE(block);
  EXPECT_TRUE(SameBlock(*block, expected));
  const ParamBlock source = SourceBlock();
  for (const SetupIniKey& key : kSetupIniKeys) {
    if (key.BlockOffset == kNotInBlock) continue;
    EXPECT_EQ(std::memcmp(reinterpret_cast<const uint8_t*>(&*block) + key.BlockOffset,
                          reinterpret_cast<const uint8_t*>(&source) + key.BlockOffset, key.BlockWidth),
              0)
        << key.Name << " came across";
  }
  const KeyValues model = ModelKeyValues();
  EXPECT_EQ(SeedStoresOf(check.Values).size(), std::size(kSeedValues));
  for (const SeedStore& seed : SeedStoresOf(check.Values)) EXPECT_EQ(model.at(seed.ValueName), Stored(seed));
}

}  // namespace
}  // namespace koral

namespace koral {
namespace {

// Started from a console without a redirection (a command prompt), the line goes to that console.
TEST(SettingsTransferConsole, TheLineReachesTheConsoleOfTheProgramThatStartedIt) {
  const HANDLE given[] = {GetStdHandle(STD_INPUT_HANDLE), GetStdHandle(STD_OUTPUT_HANDLE), GetStdHandle(STD_ERROR_HANDLE)};
  FreeConsole();
  ASSERT_TRUE(AllocConsole()) << "no console of our own";
  for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) SetStdHandle(which, nullptr);

  test::RunningProgram panel;
  const bool started = panel.Start(kPanel, "/EXPORT");
  const test::ProgramExit exitCode = started ? panel.WaitForExit(30s) : test::ProgramExit("the control panel did not start");
  std::string screen(80 * 5, ' ');
  const UniqueHandle console(CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
  DWORD read = 0;
  if (console) ReadConsoleOutputCharacterA(console.get(), screen.data(), static_cast<DWORD>(screen.size()), {0, 0}, &read);
  FreeConsole();
  SetStdHandle(STD_INPUT_HANDLE, given[0]);
  SetStdHandle(STD_OUTPUT_HANDLE, given[1]);
  SetStdHandle(STD_ERROR_HANDLE, given[2]);

  ASSERT_TRUE(started);
  EXPECT_EQ(exitCode, 1u);
  ASSERT_TRUE(console) << "the console cannot be read";
  EXPECT_NE(screen.find("/EXPORT needs a file name" + std::string(kUsage)), std::string::npos) << screen;
}

}  // namespace
}  // namespace koral
