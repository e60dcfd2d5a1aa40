// The real startup program under Wine against the real substitute driver, started as Windows
// starts it (and with "/SDC" as the user does), from a copy in an installation folder of the
// test's own, where stand-ins take the places of the programs it starts: the slot window stand-in
// as the right-button tool (started as the program starts it, it leaves "KORALPrb.exe.ran"; with
// "tool" it plays a running tool) and the companion stand-in as KORALPvr.exe.
// Windows' double-click settings change in the test prefix only and are put back after each test.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "common/core/launch_rules.h"
#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/right_button.h"
#include "common/win/trusted_folders.h"
#include "programs/startup/tests/double_click_guard.h"
#include "tests/support/driver_service.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/right_button_tools.h"
#include "tests/support/slot_stand_in.h"
#include "tests/support/tool_window.h"
#include "tools/sim_client.h"
#include "ui/names.h"

namespace koral {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using test::Number;
using OptionalValue = std::optional<test::StoredValue>;

constexpr char kStartup[] = "KORALpao.exe";
// What Windows uses when a test begins, unlike anything the program applies.
constexpr DoubleClickSettings kBefore{777, 5, 6};

std::vector<uint32_t> Codes(const std::vector<JournalEntry>& journal) {
  std::vector<uint32_t> codes;
  for (const auto& entry : journal) codes.push_back(entry.Code);
  return codes;
}
bool Contains(const std::vector<uint32_t>& codes, uint32_t code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}
double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

class StartupProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    install_ = fs::temp_directory_path() / "koral_startup_install";
    fs::remove_all(install_);
    fs::create_directories(install_);
    ASSERT_TRUE(test::CopyProgram(kStartup, install_));
    ASSERT_TRUE(test::WriteDevelopmentProfile(install_.string()));
    test::ForgetDoubleClick();
    test::SetWindowsDoubleClick(kBefore);
  }
  void TearDown() override {
    if (program_.Running()) {
      if (HWND main = test::FindVisibleWindow(kStartupTitle)) PostMessageA(main, WM_CLOSE, 0, 0);
      program_.WaitForExit(std::chrono::seconds(10));
    }
    QuitCompanion();
    standIn_.Kill();
    sim_.Reset();
    test::WriteDevelopmentProfile(test::ProgramFolder());
    std::error_code ignored;
    fs::remove_all(install_, ignored);
  }

  void Install(const char* tool, const char* as) {
    const fs::path from = fs::path(test::ToolFolder()) / tool;
    ASSERT_TRUE(fs::exists(from)) << from;
    fs::copy_file(from, install_ / as, fs::copy_options::overwrite_existing);
  }
  void InstallRightButtonTool() { Install("slot_window_stand_in.exe", "KORALPrb.exe"); }
  void InstallCompanion() { Install("companion_stand_in.exe", "KORALPvr.exe"); }
  bool Ran(const char* program) const { return fs::exists(install_ / (std::string(program) + ".ran")); }
  void QuitCompanion() {
    const auto slot = sim_.CompanionSlot();
    if (!slot || slot->Handle == kNoWindow) return;
    const HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(slot->Handle));
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    UniqueHandle handle(OpenProcess(SYNCHRONIZE, FALSE, process));
    SendMessageTimeoutA(window, WM_USER, device::kQuitCompanion, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    if (handle) WaitForSingleObject(handle.get(), 5000);
  }

  // Starts the program, lets it run to its end without a message box, and says how long it took.
  double RunToEnd(const std::string& arguments = {}) {
    const auto start = Clock::now();
    EXPECT_TRUE(program_.Start(kStartup, arguments, install_.string()));
    const auto code = program_.WaitForExit();
    const auto took = Clock::now() - start;
    EXPECT_TRUE(code) << "the program did not end";
    EXPECT_EQ(code.value_or(1), 0u);
    EXPECT_EQ(test::FindTopWindow(kStartupTitle, "#32770"), nullptr) << "a message box is left";
    return Seconds(took);
  }
  // Starts the program and expects one error box with the text; returns the box, unanswered.
  HWND ExpectBox(const std::string& text, const std::string& arguments = {}) {
    EXPECT_TRUE(program_.Start(kStartup, arguments, install_.string()));
    const auto box = test::WaitForMessageBox(kStartupTitle);
    EXPECT_TRUE(box) << "no message box for: " << text;
    if (!box) return nullptr;
    EXPECT_EQ(box->Text, text);
    return box->Box;
  }
  // Answers the box and says how long the program took to end after it.
  double AnswerAndTimeTheEnd(HWND box) {
    const auto answered = Clock::now();
    test::AnswerMessageBox(box, IDOK);
    const auto code = program_.WaitForExit();
    EXPECT_TRUE(code) << "the program went on";
    return Seconds(Clock::now() - answered);
  }

  sim::SimClient sim_;
  test::DoubleClickGuard guard_;
  test::RunningProgram program_;
  fs::path install_;
  test::SlotStandIn standIn_;
};

// ---- The double-click settings ----

TEST_F(StartupProgram, SplashRunAppliesAndStoresTheDoubleClickSettings) {
  const OptionalValue none;
  struct Case {
    const char* name;
    std::array<OptionalValue, 3> stored;
    DoubleClickSettings applied;
    std::array<OptionalValue, 3> storedAfter;
  };
  const std::vector<Case> cases = {
      {"nothing stored: the defaults", {none, none, none}, {500, 32, 32}, {Number(500), Number(32), Number(32)}},
      {"stored values", {Number(650), Number(8), Number(9)}, {650, 8, 9}, {Number(650), Number(8), Number(9)}},
      // Anyone may set the model key's values, and they reach every user who logs on: outside the
      // ranges of the seeds they count as unreadable.
      {"beyond the ranges: the defaults, nothing replaced", {Number(1500), Number(80), Number(0)}, {500, 32, 32},
       {Number(1500), Number(80), Number(0)}},
      {"below the ranges: the defaults, nothing replaced", {Number(99), Number(8), Number(-1)}, {500, 32, 32},
       {Number(99), Number(8), Number(-1)}},
      {"at the ends of the ranges", {Number(100), Number(64), Number(0)}, {100, 64, 0},
       {Number(100), Number(64), Number(0)}},
      {"one missing: the defaults for all three", {Number(650), none, Number(9)}, {500, 32, 32},
       {Number(500), Number(32), Number(32)}},
      // A value that is there but no number is not replaced behind the user's back.
      {"one of another type: the defaults, nothing replaced", {test::Text("650"), Number(8), Number(9)},
       {500, 32, 32}, {test::Text("650"), Number(8), Number(9)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::SetWindowsDoubleClick(kBefore);
    ASSERT_EQ(test::FreshDoubleClick(), kBefore);
    test::StoreDoubleClick(c.stored);
    RunToEnd();
    EXPECT_EQ(test::FreshDoubleClick(), c.applied);
    EXPECT_EQ(test::UserTexts(), test::Texts(c.applied));
    EXPECT_EQ(test::Values(HKEY_LOCAL_MACHINE, test::kModelKey), c.storedAfter);
  }
}

TEST_F(StartupProgram, SplashRunEndsAboutASecondAfterItsWork) {
  const double took = RunToEnd();
  EXPECT_GE(took, 1.0) << "the pause is a second";
  EXPECT_LT(took, 3.0) << "the run is about its pause";
}

// ---- Start failures: reported, and the run ends there without its pause ----

TEST_F(StartupProgram, NoControllerEndsAfterTheSettingsWithoutStartingAnything) {
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.DetectedPort = 0;
  block.RightButtonFunction = kRightButtonOn;
  block.VirtualButton = kTouchDownMode;
  ASSERT_TRUE(sim_.LoadBlock(block));
  InstallRightButtonTool();
  Install("marker_program.exe", "KORALPvr.exe");
  const HWND box = ExpectBox("TouchScreen Controller Not Found!");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(test::FreshDoubleClick(), (DoubleClickSettings{500, 32, 32})) << "applied before the driver";
  EXPECT_LT(AnswerAndTimeTheEnd(box), 0.9) << "no pause";
  EXPECT_EQ(Codes(sim_.ReadJournal()), std::vector<uint32_t>{kReadBlock});
  EXPECT_FALSE(Ran("KORALPrb.exe"));
  EXPECT_FALSE(Ran("KORALPvr.exe"));
}

TEST_F(StartupProgram, MissingDriverEndsAfterTheSettings) {
  const test::DriverServiceStopped stopped(sim_);
  ASSERT_TRUE(stopped.Stopped());
  const HWND box = ExpectBox("Fail to open KORALPS2.vxd!");
  EXPECT_EQ(test::FreshDoubleClick(), (DoubleClickSettings{500, 32, 32})) << "applied before the driver";
  if (box) {
    EXPECT_LT(AnswerAndTimeTheEnd(box), 0.9) << "no pause";
  }
}

TEST_F(StartupProgram, MissingProfileEndsBeforeAnythingIsApplied) {
  ASSERT_TRUE(test::RemoveModelKey());
  const HWND box = ExpectBox("Fail to load data from Register File!");
  ASSERT_NE(box, nullptr);
  AnswerAndTimeTheEnd(box);
  EXPECT_EQ(test::FreshDoubleClick(), kBefore);
  EXPECT_TRUE(sim_.ReadJournal().empty());
}

// ---- The companion program or the screen size ----

TEST_F(StartupProgram, WithoutTheCompanionTheDriverGetsTheScreenSize) {
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.ResolutionX = 640;
  block.ResolutionY = 480;
  for (const bool companion : {false, true}) {
    SCOPED_TRACE(companion ? "companion present" : "no companion");
    ASSERT_TRUE(sim_.LoadBlock(block));
    if (companion) InstallCompanion();
    RunToEnd();
    const auto journal = sim_.ReadJournal();
    std::vector<const JournalEntry*> sent;
    for (const auto& entry : journal)
      if (entry.Code == kWriteWholeBlock) sent.push_back(&entry);
    if (companion) {
      EXPECT_TRUE(sent.empty()) << "no block goes to the driver when the companion starts";
      const auto slot = sim_.CompanionSlot();
      ASSERT_TRUE(slot);
      ASSERT_NE(slot->Handle, kNoWindow) << "the companion registered its window";
      EXPECT_TRUE(IsWindowVisible(reinterpret_cast<HWND>(static_cast<INT_PTR>(slot->Handle))))
          << "the companion starts with a normal window";
      QuitCompanion();
      EXPECT_EQ(sim_.CompanionSlot()->Handle, kNoWindow) << "the stand-in withdraws when it quits";
      continue;
    }
    ASSERT_EQ(sent.size(), 1u);
    ParamBlock expected = block;
    expected.ResolutionX = static_cast<int16_t>(GetSystemMetrics(SM_CXSCREEN));
    expected.ResolutionY = static_cast<int16_t>(GetSystemMetrics(SM_CYSCREEN));
    ASSERT_EQ(sent[0]->Length, sizeof(ParamBlock));
    EXPECT_EQ(std::memcmp(sent[0]->Data, &expected, sizeof expected), 0) << "the whole block with the screen size";
  }
}

// ---- The right-button tool ----

enum class Registration { None, Live, Gone, OtherWindow, OtherFolder };

struct ToolCase {
  const char* name;
  uint8_t function, mode, automatic;
  Registration registration;
  bool installed;
  bool started, hidden, looksUp;
  const char* box;
};

class RightButtonTool : public StartupProgram, public ::testing::WithParamInterface<ToolCase> {
 protected:
  // Registers a window in the right-button slot as a running tool would.
  void Register(int32_t handle) {
    WindowSlot slot{handle, kToolIdle, {0, 0}};
    ASSERT_TRUE(sim_.Exchange(kSetRightButtonSlot, &slot, sizeof slot));
  }
};

TEST_P(RightButtonTool, IsStartedHiddenOrLeftAloneAsTheSettingsNeed) {
  const ToolCase& c = GetParam();
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.RightButtonFunction = c.function;
  block.VirtualButton = c.mode;
  block.RightButtonAutoMode = c.automatic;
  ASSERT_TRUE(sim_.LoadBlock(block));
  if (c.installed) InstallRightButtonTool();

  std::unique_ptr<test::ToolWindow> window;
  test::SlotStandIn other;
  switch (c.registration) {
    case Registration::None:
      break;
    case Registration::Live:
      ASSERT_TRUE(standIn_.Start(install_, test::SlotStandIn::Role::Tool));
      break;
    case Registration::Gone: {
      int32_t gone = 0;
      {
        test::SlotStandIn killed;
        ASSERT_TRUE(killed.Start(install_.parent_path() / "koral_startup_killed", test::SlotStandIn::Role::Tool));
        gone = killed.Handle();
      }
      Register(gone);
      break;
    }
    case Registration::OtherWindow:
      window = std::make_unique<test::ToolWindow>(kRightButtonToolCaption);
      Register(window->Handle());
      break;
    case Registration::OtherFolder:
      ASSERT_TRUE(other.Start(install_.parent_path() / "koral_startup_other", test::SlotStandIn::Role::Tool));
      break;
  }
  sim_.ReadJournal();

  if (c.box) {
    const HWND box = ExpectBox(c.box);
    ASSERT_NE(box, nullptr);
    AnswerAndTimeTheEnd(box);
  } else {
    RunToEnd();
  }
  if (c.started) {
    EXPECT_TRUE(test::WaitUntil([&] { return Ran("KORALPrb.exe"); }, std::chrono::seconds(10))) << "not started";
  } else {
    EXPECT_FALSE(Ran("KORALPrb.exe")) << "started";
  }
  const std::vector<WPARAM> hide{device::kHideTool};
  if (c.registration == Registration::Live) {
    EXPECT_EQ(standIn_.Received(), c.hidden ? hide : std::vector<WPARAM>{});
  }
  EXPECT_TRUE(test::ToolWindow::Received().empty()) << "a window of another program was messaged";
  EXPECT_TRUE(other.Received().empty()) << "a tool of another folder was messaged";
  EXPECT_EQ(Contains(Codes(sim_.ReadJournal()), kGetRightButtonSlot), c.looksUp);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RightButtonTool,
    ::testing::Values(
        ToolCase{"function off", 0, 3, 1, Registration::Live, true, false, false, false, nullptr},
        ToolCase{"automatic in drag and drop", 1, 4, 1, Registration::Live, true, false, false, false, nullptr},
        ToolCase{"not running", 1, 3, 1, Registration::None, true, true, false, true, nullptr},
        ToolCase{"manual drag and drop, not running", 1, 4, 0, Registration::None, true, true, false, true, nullptr},
        ToolCase{"running, automatic", 1, 3, 1, Registration::Live, true, false, true, true, nullptr},
        ToolCase{"running, manual", 1, 3, 0, Registration::Live, true, false, false, true, nullptr},
        ToolCase{"registered window is gone", 1, 3, 1, Registration::Gone, true, true, false, true, nullptr},
        ToolCase{"registered window is no tool", 1, 3, 1, Registration::OtherWindow, true, true, false, true, nullptr},
        ToolCase{"registered tool of another folder", 1, 3, 1, Registration::OtherFolder, true, true, false, true,
                 nullptr},
        ToolCase{"tool cannot be started", 1, 2, 0, Registration::None, false, false, false, true,
                 "Fail to initialize Right Button Function!"}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

// The real tool: started by a splash run, it registers; a later splash run with the automatic
// setting finds it registered and hides it instead of starting a second one.
TEST_F(StartupProgram, TheRealToolIsStartedRegistersAndIsHiddenNextTime) {
  const fs::path tool = fs::path(test::ProgramFolder()) / "KORALprb.exe";
  ASSERT_TRUE(fs::exists(tool)) << tool;
  fs::copy_file(tool, install_ / kRightButtonProgram, fs::copy_options::overwrite_existing);
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.RightButtonFunction = kRightButtonOn;
  block.VirtualButton = kTouchDownMode;
  block.RightButtonAutoMode = kRightButtonManual;
  ASSERT_TRUE(sim_.LoadBlock(block));

  RunToEnd();
  HWND registered = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] {
    const auto slot = sim_.RightButtonSlot();
    if (!slot || !IsRightButtonToolWindow(slot->Handle, install_.string())) return false;
    registered = reinterpret_cast<HWND>(static_cast<INT_PTR>(slot->Handle));
    return IsWindowVisible(registered) != FALSE;
  })) << "the started tool did not register a shown window";

  block.RightButtonAutoMode = kRightButtonAutomatic;
  ASSERT_TRUE(sim_.LoadBlock(block));
  RunToEnd();
  EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(registered); })) << "the tool was not hidden";
  EXPECT_EQ(test::RightButtonToolProcesses(), 1) << "a second tool was started";
  EXPECT_TRUE(test::QuitRightButtonTools());
}

// ---- What a standard user can change ----

// The model key's InstallPath is anyone's to set, and the startup program runs for whoever logs
// on: it starts the tool and the companion from its own folder, never from there.
TEST_F(StartupProgram, StartsNothingFromWhereTheModelKeysInstallPathPoints) {
  const fs::path user = install_.parent_path() / "koral_startup_user";
  fs::remove_all(user);
  fs::create_directories(user);
  for (const char* program : {"KORALPrb.exe", "KORALPvr.exe"})
    fs::copy_file(fs::path(test::ToolFolder()) / "marker_program.exe", user / program);
  ASSERT_TRUE(test::WriteDevelopmentProfile(user.string()));
  InstallRightButtonTool();
  Install("marker_program.exe", "KORALPvr.exe");
  ParamBlock block = sim::SimClient::DefaultBlock();
  block.RightButtonFunction = kRightButtonOn;
  block.VirtualButton = kTouchDownMode;
  ASSERT_TRUE(sim_.LoadBlock(block));

  RunToEnd();
  EXPECT_TRUE(test::WaitUntil([&] { return Ran("KORALPrb.exe") && Ran("KORALPvr.exe"); }))
      << "the installation's own tool and companion were started";
  EXPECT_FALSE(fs::exists(user / "KORALPrb.exe.ran")) << "the user's program ran as the tool";
  EXPECT_FALSE(fs::exists(user / "KORALPvr.exe.ran")) << "the user's program ran as the companion";
  std::error_code ignored;
  fs::remove_all(user, ignored);
}

// ---- The command line and the single instance ----

TEST_F(StartupProgram, OnlySdcAloneOpensTheDialog) {
  struct Case {
    const char* arguments;
    bool dialog;
  };
  for (const Case& c : {Case{"/sdc", true}, Case{"/SDC", true}, Case{"/SDC x", false}}) {
    SCOPED_TRACE(c.arguments);
    test::SetWindowsDoubleClick(kBefore);
    if (!c.dialog) {
      RunToEnd(c.arguments);
      EXPECT_EQ(test::FreshDoubleClick(), (DoubleClickSettings{500, 32, 32})) << "the splash run applied";
      continue;
    }
    ASSERT_TRUE(program_.Start(kStartup, c.arguments, install_.string()));
    const HWND window = test::WaitForVisibleWindow(kStartupTitle);
    ASSERT_NE(window, nullptr);
    const HWND frame = ui::FindNamedChild(window, "Frame1");
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(IsWindowVisible(frame)) << "the full dialog shows";
    EXPECT_TRUE(program_.Running()) << "the dialog waits for the user";
    EXPECT_EQ(test::FreshDoubleClick(), kBefore) << "the dialog applies nothing by itself";
    EXPECT_TRUE(sim_.ReadJournal().empty()) << "the dialog leaves the driver alone";
    PostMessageA(ui::FindNamedChild(window, "cmdCandel"), BM_CLICK, 0, 0);
    EXPECT_TRUE(program_.WaitForExit()) << "Cancel ends the program";
    EXPECT_EQ(test::FreshDoubleClick(), kBefore);
  }
}

TEST_F(StartupProgram, SecondStartBringsTheRunningWindowForward) {
  ASSERT_TRUE(program_.Start(kStartup, "/SDC", install_.string()));
  const HWND first = test::WaitForVisibleWindow(kStartupTitle);
  ASSERT_NE(first, nullptr);
  test::RunningProgram second;
  ASSERT_TRUE(second.Start(kStartup, "", install_.string()));
  ASSERT_TRUE(second.WaitForExit()) << "the second start did not end";
  EXPECT_EQ(test::FindTopWindow(kStartupTitle, "#32770"), nullptr) << "a message box appeared";
  EXPECT_EQ(test::CountProcessWindows(second.Id(), kStartupTitle), 0);
  EXPECT_EQ(GetForegroundWindow(), first);
  EXPECT_EQ(test::FreshDoubleClick(), kBefore) << "the second start applied nothing";
  EXPECT_TRUE(program_.Running());
}

// ---- The program file ----

// The image bytes of an icon group's first image; empty when the group is missing.
std::string FirstIconImage(HMODULE file, int group) {
#pragma pack(push, 2)
  struct GroupEntry {
    BYTE Width, Height, Colours, Reserved;
    WORD Planes, BitCount;
    DWORD Bytes;
    WORD Id;
  };
  struct GroupHeader {
    WORD Reserved, Type, Count;
    GroupEntry First;
  };
#pragma pack(pop)
  auto data = [&](LPCSTR name, LPCSTR type) -> std::string {
    HRSRC found = FindResourceA(file, name, type);
    if (!found) return {};
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(file, found)));
    return bytes ? std::string(bytes, SizeofResource(file, found)) : std::string();
  };
  const std::string header = data(MAKEINTRESOURCEA(group), RT_GROUP_ICON);
  if (header.size() < sizeof(GroupHeader)) return {};
  const auto* directory = reinterpret_cast<const GroupHeader*>(header.data());
  return data(MAKEINTRESOURCEA(directory->First.Id), RT_ICON);
}

TEST(StartupProgramFile, CarriesItsIconAndBothLampsApart) {
  const std::string path = test::ProgramFolder() + "\\" + kStartup;
  const HMODULE file = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(file, nullptr) << path;
  const std::string program = FirstIconImage(file, 1), off = FirstIconImage(file, 2), on = FirstIconImage(file, 3);
  FreeLibrary(file);
  EXPECT_FALSE(program.empty());
  EXPECT_FALSE(off.empty());
  EXPECT_FALSE(on.empty());
  EXPECT_NE(program, off) << "the program icon was taken by a lamp";
  EXPECT_NE(program, on);
  EXPECT_NE(off, on);
}

}  // namespace
}  // namespace koral
