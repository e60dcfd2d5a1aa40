// The real programs against hostile stored values: parameter blocks whose fields lie outside
// their ranges, and registry values of the wrong type or size. Every program and dialog opens
// and ends within its time limit, and nothing the user did not change goes back altered: a
// field outside its range returns either as stored or, where the dialog shows it on a bar, as
// the bar's nearer end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/core/titles.h"
#include "programs/startup/tests/double_click_guard.h"
#include "tests/reliability/hostile_pictures.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/right_button_tools.h"
#include "tests/support/wait.h"
#include "tools/sim_client.h"
#include "ui/names.h"

namespace koral {
namespace {

using namespace std::chrono_literals;

// ---- Hostile parameter blocks ----

// The settings fields a dialog of the control panel shows and may send, with their ranges.
// Clamped fields sit on a bar, which shows a stored value outside its range at the nearer end;
// the others are options or list items that show nothing and keep the stored value.
struct Field {
  const char* Name;
  size_t Offset;
  size_t Size;
  long Minimum;
  long Maximum;
  bool Clamped;
};
#define KORAL_FIELD(member, minimum, maximum, clamped)                                            \
  Field {                                                                                         \
    #member, offsetof(ParamBlock, member), sizeof(ParamBlock::member), minimum, maximum, clamped   \
  }

// One-byte fields are unsigned, two-byte fields signed.
long FieldValue(const ParamBlock& block, const Field& field) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&block) + field.Offset;
  if (field.Size == 1) return bytes[0];
  int16_t value = 0;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

struct PanelDialog {
  const char* Button;
  const char* Form;
  std::vector<Field> Own;
  const char* Close = "cmdOK";  // the button that closes it; none: its close box
};

const std::vector<PanelDialog>& PanelDialogs() {
  static const std::vector<PanelDialog> dialogs = {
      {"cmdMouseSpeed",
       "frmMouseSpeed",
       {KORAL_FIELD(MouseHSpeed, 1, 20, true), KORAL_FIELD(MouseVSpeed, 1, 20, true),
        KORAL_FIELD(MouseBypass, 0, 1, true), KORAL_FIELD(MouseAcceleration, 1, 4, false)}},
      {"cmdVirtualButton",
       "frmVirtualButton",
       {KORAL_FIELD(VirtualButton, 1, 4, false), KORAL_FIELD(RightButtonFunction, 0, 1, false),
        KORAL_FIELD(RightButtonAutoMode, 0, 1, false), KORAL_FIELD(RightButtonAutoSTime, 0, 9, false),
        KORAL_FIELD(RightButtonAutoETime, 0, 9, false), KORAL_FIELD(RightButtonAutoBeep, 0, 1, false)}},
      {"cmdSensivitity", "frmSensitivity", {KORAL_FIELD(Sensitivity, 0, 127, true)}},
      {"cmdSleepTime", "frmSleepTime", {KORAL_FIELD(SleepTime, 0, 30, true)}},
      {"cmdFeedbackSound",
       "frmFeedbackSound",
       {KORAL_FIELD(FeedbackSound, 1, 4, false), KORAL_FIELD(FeedbackTone, 200, 5000, true),
        KORAL_FIELD(FeedbackDuration, 10, 50, true)}},
      // The port list has OK only and sends nothing.
      {"cmdSerialPort", "frmSerialPort", {}},
      // The calibration, closed while it waits for the first touch, breaks off and sends nothing
      // back, whatever calibration and resolution the block holds.
      {"cmdCalibration", "frmCalibration", {}, nullptr},
  };
  return dialogs;
}

bool IsWriteCode(uint32_t code) { return code >= kWriteSerialPorts && code <= kWriteSleepTime; }

// A bar shows a stored value outside its range at its nearer end, so the dialog opens showing a
// change and OK sends it; otherwise OK has nothing to send.
bool ShowsAChange(const ParamBlock& stored, const PanelDialog& dialog) {
  return std::any_of(dialog.Own.begin(), dialog.Own.end(), [&](const Field& field) {
    const long value = FieldValue(stored, field);
    return field.Clamped && (value < field.Minimum || value > field.Maximum);
  });
}

// What a dialog may have done to the block it was opened on: fields of its own either as they
// were, or (out of range on a bar) at the nearer end; every other byte exactly as it was.
void ExpectOnlyShownChanges(const ParamBlock& before, const ParamBlock& sent, const PanelDialog& dialog) {
  std::vector<bool> own(sizeof(ParamBlock), false);
  for (const Field& field : dialog.Own) {
    for (size_t i = 0; i < field.Size; ++i) own[field.Offset + i] = true;
    const long stored = FieldValue(before, field);
    long expected = stored;
    if (field.Clamped) expected = std::clamp(stored, field.Minimum, field.Maximum);
    EXPECT_EQ(FieldValue(sent, field), expected) << field.Name << " stored as " << stored;
  }
  const auto* a = reinterpret_cast<const uint8_t*>(&before);
  const auto* b = reinterpret_cast<const uint8_t*>(&sent);
  for (size_t i = 0; i < sizeof(ParamBlock); ++i) {
    if (own[i]) continue;
    EXPECT_EQ(int{b[i]}, int{a[i]}) << "byte " << i << " is not the dialog's to change";
  }
}

// Every field a user can set, put outside its range in one of the ways stored data goes bad.
// The controller stays detected (DetectedPort not 0), or no program would get past its start.
struct HostileBlock {
  const char* Name;
  void (*Spoil)(ParamBlock&);
};

void EverySetting(ParamBlock& b, uint8_t byte, int16_t word) {
  for (uint8_t* field : {&b.VirtualButton, &b.FeedbackSound, &b.Sensitivity, &b.MouseBypass, &b.MouseHSpeed,
                         &b.MouseVSpeed, &b.MouseAcceleration, &b.SleepTime, &b.RightButtonFunction,
                         &b.RightButtonAutoMode, &b.RightButtonAutoSTime, &b.RightButtonAutoETime,
                         &b.RightButtonAutoBeep, &b.PanelDirection, &b.McuMode, &b.McuVersion})
    *field = byte;
  for (int16_t* field : {&b.FeedbackTone, &b.FeedbackDuration, &b.CalXLeft, &b.CalXCenter, &b.CalXRight,
                         &b.CalYTop, &b.CalYCenter, &b.CalYBottom, &b.ResolutionX, &b.ResolutionY})
    *field = word;
  for (ComPortEntry& port : b.ComPort) {
    port.BasePort = word;
    port.Irq = byte;
  }
}

const HostileBlock kHostileBlocks[] = {
    {"zero", [](ParamBlock& b) { EverySetting(b, 0, 0); }},
    {"one past the top",
     [](ParamBlock& b) {
       b.VirtualButton = 5;
       b.FeedbackSound = 5;
       b.FeedbackTone = 5001;
       b.FeedbackDuration = 51;
       b.Sensitivity = 128;
       b.MouseBypass = 2;
       b.MouseHSpeed = 21;
       b.MouseVSpeed = 21;
       b.MouseAcceleration = 5;
       b.SleepTime = 31;
       b.RightButtonFunction = 2;
       b.RightButtonAutoMode = 2;
       b.RightButtonAutoSTime = 10;
       b.RightButtonAutoETime = 10;
       b.RightButtonAutoBeep = 2;
       b.PanelDirection = 8;
     }},
    {"255 in every byte", [](ParamBlock& b) { std::memset(&b, 0xFF, sizeof b); }},
    {"negative", [](ParamBlock& b) { EverySetting(b, 0x80, INT16_MIN); }},
};

class HostileValues : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(test::WriteDevelopmentProfile(test::ProgramFolder()));
  }
  void TearDown() override {
    for (test::RunningProgram* program : {&panel_, &startup_})
      if (program->Running()) CloseWindowsOf(*program);
    test::QuitRightButtonTools();
    sim_.Reset();
    test::WriteDevelopmentProfile(test::ProgramFolder());
  }

  // Closes whatever the program shows, as a user would, until it has ended.
  static bool CloseWindowsOf(test::RunningProgram& program) {
    return test::WaitUntil(
        [&] {
          if (!program.Running()) return true;
          EnumWindows(
              [](HWND window, LPARAM process) -> BOOL {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == static_cast<DWORD>(process) && IsWindowVisible(window)) PostMessageA(window, WM_CLOSE, 0, 0);
                return TRUE;
              },
              static_cast<LPARAM>(program.Id()));
          return false;
        },
        15s);
  }

  HWND WaitForForm(const char* name) {
    HWND form = nullptr;
    test::WaitUntil([&] { return (form = test::FindForm(panel_.Id(), name)) != nullptr; }, 15s);
    return form;
  }

  // Opens each dialog of the control panel from its button (also those whose rows the main
  // window keeps hidden) and closes it with OK, untouched.
  void OpenEveryDialogAndPressOk(const char* row) {
    // A panel still ending holds the single-instance mark: a new start would only bring it forward.
    ASSERT_TRUE(test::WaitUntil("no control panel left running in the prefix",
                                [] { return test::ProcessesOf("KORALpcp.exe").empty(); }, 15s))
        << row;
    ASSERT_TRUE(panel_.Start("KORALpcp.exe")) << row;
    const HWND main = WaitForForm("frmMain");
    ASSERT_NE(main, nullptr) << row << ": the main window did not appear";
    for (const PanelDialog& dialog : PanelDialogs()) {
      SCOPED_TRACE(dialog.Form);
      const auto before = sim_.ReadBlock();
      ASSERT_TRUE(before);
      sim_.ReadJournal();
      PostMessageA(ui::FindNamedChild(main, dialog.Button), BM_CLICK, 0, 0);
      const HWND form = WaitForForm(dialog.Form);
      ASSERT_NE(form, nullptr) << "the dialog did not open";
      if (dialog.Close)
        PostMessageA(ui::FindNamedChild(form, dialog.Close), BM_CLICK, 0, 0);
      else
        PostMessageA(form, WM_CLOSE, 0, 0);
      ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(form) && IsWindowVisible(main); }, 15s))
          << "OK did not bring the main window back";
      int writes = 0;
      for (const JournalEntry& entry : sim_.ReadJournal()) {
        if (!IsWriteCode(entry.Code)) continue;
        ++writes;
        ASSERT_EQ(entry.Length, sizeof(ParamBlock));
        ExpectOnlyShownChanges(*before, sim::BlockOf(entry), dialog);
      }
      EXPECT_EQ(writes, ShowsAChange(*before, dialog) ? 1 : 0) << "OK sends exactly what the dialog shows changed";
    }
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(panel_.WaitForExit(15s)) << row << ": the panel did not end";
  }

  sim::SimClient sim_;
  test::RunningProgram panel_;
  test::RunningProgram startup_;
};

TEST_F(HostileValues, EveryPanelDialogOpensAndOkSendsBackOnlyWhatItShows) {
  for (const HostileBlock& row : kHostileBlocks) {
    SCOPED_TRACE(row.Name);
    ParamBlock block = sim::SimClient::DefaultBlock();
    row.Spoil(block);
    ASSERT_TRUE(sim_.LoadBlock(block));
    OpenEveryDialogAndPressOk(row.Name);
    if (HasFatalFailure()) return;
  }
}

TEST_F(HostileValues, StartupRunAndRightButtonToolEndAndShowWithoutAlteringTheBlock) {
  test::DoubleClickGuard guard;
  for (const HostileBlock& row : kHostileBlocks) {
    SCOPED_TRACE(row.Name);
    ParamBlock block = sim::SimClient::DefaultBlock();
    row.Spoil(block);
    ASSERT_TRUE(sim_.LoadBlock(block));
    sim_.ReadJournal();

    // The start-up run tells the driver the screen size (without the companion) and nothing else.
    ASSERT_TRUE(startup_.Start("KORALpao.exe"));
    const auto code = startup_.WaitForExit(30s);
    ASSERT_TRUE(code) << "the start-up run did not end";
    EXPECT_EQ(*code, 0u);
    for (const JournalEntry& entry : sim_.ReadJournal()) {
      if (!IsWriteCode(entry.Code)) continue;
      ParamBlock sent = sim::BlockOf(entry);
      sent.ResolutionX = block.ResolutionX;
      sent.ResolutionY = block.ResolutionY;
      EXPECT_EQ(std::memcmp(&sent, &block, sizeof block), 0) << "code 0x" << std::hex << entry.Code;
    }

    // The tool reads no settings of its own; it shows its button whatever the block holds.
    test::RunningProgram tool;
    ASSERT_TRUE(tool.Start("KORALprb.exe"));
    EXPECT_TRUE(test::WaitUntil(
        [&] {
          const auto slot = sim_.RightButtonSlot();
          return slot && slot->Handle != kNoWindow &&
                 IsWindowVisible(reinterpret_cast<HWND>(static_cast<INT_PTR>(slot->Handle)));
        },
        15s))
        << "the tool did not register a visible window";
    EXPECT_TRUE(test::QuitRightButtonTools());
    EXPECT_TRUE(tool.WaitForExit(15s));
    const auto held = sim_.ReadBlock();
    ASSERT_TRUE(held);
    ParamBlock expected = *held;
    expected.ResolutionX = block.ResolutionX;
    expected.ResolutionY = block.ResolutionY;
    EXPECT_EQ(std::memcmp(&expected, &block, sizeof block), 0) << "the driver's block changed";
  }
}

// ---- Registry values of the wrong type or size ----

struct HostileValue {
  const char* Row;
  const char* Name;
  test::StoredValue Value;
};

test::StoredValue Binary(std::string bytes) { return {REG_BINARY, std::move(bytes)}; }

std::vector<HostileValue> HostileRegistryValues() {
  return {
      {"10,000-character vendor name", "VenderName", test::Text(std::string(10'000, 'W'))},
      {"10,000-character style code", "VenderStyle", test::Text("2114" + std::string(9'996, '9'))},
      {"style code of binary junk", "VenderStyle", test::Text("\x01\xFF\x7F\x80 junk \x1B[0m")},
      {"text where the calibration mode belongs", "CalibrationMode", test::Text("0")},
      {"calibration mode of three bytes", "CalibrationMode", Binary(std::string("\x01\x00\x00", 3))},
      {"one-byte seed of three bytes", "VirtualButton", Binary(std::string("\x04\x04\x04", 3))},
      {"four-byte seed of one byte", "MouseSpeed", Binary(std::string("\x0A", 1))},
      {"empty two-byte seed", "FeedbackTone", Binary("")},
      {"text where the double-click speed belongs", "DoubleClickSpeed", test::Text("500")},
      {"double-click width of two bytes", "DoubleClickWidth", Binary(std::string("\x20\x00", 2))},
      {"double-click height as a REG_DWORD of two bytes", "DoubleClickHeight", {REG_DWORD, std::string("\x20\x00", 2)}},
  };
}

TEST_F(HostileValues, ProgramsRunOnWrongTypesAndSizesAndLeaveTheValuesAsStored) {
  test::DoubleClickGuard guard;
  for (const HostileValue& row : HostileRegistryValues()) {
    SCOPED_TRACE(row.Row);
    ASSERT_TRUE(test::WriteDevelopmentProfile(test::ProgramFolder()));
    const auto kept = test::ReadValue(HKEY_LOCAL_MACHINE, test::kModelKey, row.Name);
    test::WriteValue(HKEY_LOCAL_MACHINE, test::kModelKey, row.Name, row.Value);
    struct PutBack {
      const char* Name;
      const std::optional<test::StoredValue>& Value;
      ~PutBack() { test::WriteValue(HKEY_LOCAL_MACHINE, test::kModelKey, Name, Value); }
    } putBack{row.Name, kept};
    ASSERT_TRUE(sim_.LoadBlock(sim::SimClient::DefaultBlock()));

    OpenEveryDialogAndPressOk(row.Row);
    if (HasFatalFailure()) return;
    EXPECT_EQ(test::ReadValue(HKEY_LOCAL_MACHINE, test::kModelKey, row.Name), row.Value) << "after the panel";

    ASSERT_TRUE(startup_.Start("KORALpao.exe"));
    const auto code = startup_.WaitForExit(30s);
    ASSERT_TRUE(code) << "the start-up run did not end";
    EXPECT_EQ(*code, 0u);
    EXPECT_EQ(test::ReadValue(HKEY_LOCAL_MACHINE, test::kModelKey, row.Name), row.Value) << "after the start-up run";
  }
}

// ---- Pictures in the installation folder ----

// The title logo and the support picture both damaged alike: the title area falls back to the
// vendor's name and the support button to the about window unless the picture is whole.
TEST_F(HostileValues, DamagedPicturesTakeTheFallbackOfAnUnreadablePicture) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / "koral_hostile_pictures";
  for (const test::PictureCase& c : test::HostilePictures()) {
    SCOPED_TRACE(c.Name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* name : {"KRLogo.Bmp", "KRVender.Bmp"}) {
      if (!c.Bytes) continue;
      std::ofstream(folder / name, std::ios::binary).write(c.Bytes->data(), static_cast<std::streamsize>(c.Bytes->size()));
    }
    ASSERT_TRUE(test::WriteDevelopmentProfile(folder.string()));

    ASSERT_TRUE(panel_.Start("KORALpcp.exe"));
    const HWND main = WaitForForm("frmMain");
    ASSERT_NE(main, nullptr) << "the main window did not appear";
    EXPECT_EQ(IsWindowVisible(ui::FindNamedChild(main, "lblOemTitle")) != FALSE, !c.Whole)
        << "the vendor's name shows exactly when there is no logo to show";
    PostMessageA(ui::FindNamedChild(main, "cmdSupport"), BM_CLICK, 0, 0);
    const HWND shown = WaitForForm(c.Whole ? "frmSupport" : "frmAbout");
    ASSERT_NE(shown, nullptr) << "the support button opened neither window expected";
    PostMessageA(shown, WM_CLOSE, 0, 0);
    EXPECT_TRUE(test::WaitUntil([&] { return !IsWindow(shown) && IsWindowVisible(main); }, 15s));
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(panel_.WaitForExit(15s)) << "the panel did not end";
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

}  // namespace
}  // namespace koral
