// The information windows in this process, opened from the control panel's main window that
// loaded against the real substitute driver: the firmware window behind the hidden gesture, and
// the support picture or the about window behind the support button and the icon.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "programs/panel/frmMain.h"
#include "tests/support/bitmap_bytes.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tools/sim_client.h"
#include "ui/twips.h"

namespace koral::panel {
namespace {

namespace fs = std::filesystem;

// A bitmap file of the given size in pixels, 24 bits a pixel.
void WriteBitmap(const fs::path& path, int width, int height) {
  const std::string bytes = test::BitmapBytes(width, height);
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A control's rectangle in its window's client coordinates, in pixels.
RECT ClientPlace(const ui::Control& control) {
  RECT r;
  GetWindowRect(control.hwnd(), &r);
  MapWindowPoints(nullptr, GetAncestor(control.hwnd(), GA_ROOT), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Text(const ui::Control& control) { return test::WindowText(control.hwnd()); }

// What the user's hand does: a right press with the given keys held, as the window receives it.
void RightPressWithKeys(const ui::Control& control, std::initializer_list<int> keys) {
  BYTE state[256] = {};
  GetKeyboardState(state);
  BYTE held[256];
  std::copy(std::begin(state), std::end(state), held);
  for (int key : keys) held[key] |= 0x80;
  SetKeyboardState(held);
  WPARAM flags = MK_RBUTTON;
  for (int key : keys) flags |= key == VK_SHIFT ? MK_SHIFT : key == VK_CONTROL ? MK_CONTROL : 0;
  SendMessageA(control.hwnd(), WM_RBUTTONDOWN, flags, MAKELPARAM(5, 5));
  SendMessageA(control.hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  SetKeyboardState(state);
}

class InformationDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.Open(10000)) << "the substitute driver is not running in the test prefix";
    ASSERT_TRUE(sim_.Reset());
    install_ = fs::temp_directory_path() / "koral_information_dialogs";
    fs::remove_all(install_);
    fs::create_directories(install_);
    ASSERT_TRUE(test::WriteDevelopmentProfile(install_.string()));
    app_.MainForm(&main_);
  }
  void TearDown() override {
    Close();
    sim_.Reset();
    test::WriteDevelopmentProfile(test::ProgramFolder());
    fs::remove_all(install_);
  }

  // The main window loads afresh against a driver holding the block.
  void Load(const ParamBlock& block = sim::SimClient::DefaultBlock()) {
    Close();
    ASSERT_TRUE(sim_.LoadBlock(block));
    ASSERT_TRUE(main_.Load()) << "the main window did not load";
    main_.Show();
    sim_.ReadJournal();
  }
  void Close() {
    if (!main_.Loaded()) return;
    app_.EndProgram();
    driver_.Close();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  // The serial port button as a model with a serial port shows it, so the gesture can reach it.
  void ShowSerialPortButton() {
    main_.cmdSerialPort.Visible(true);
    main_.cmdSerialPort.Enabled(true);
  }
  static void Click(const ui::Control& control) { SendMessageA(control.hwnd(), BM_CLICK, 0, 0); }

  sim::SimClient sim_;
  ui::Application app_;
  device::DriverSession driver_;
  ModelKeyStore store_;
  frmMain main_{app_, driver_, store_, test::ProgramFolder()};
  fs::path install_;
};

TEST_F(InformationDialogs, OnlyTheFullGestureOnTheSerialPortButtonOpensTheFirmwareWindow) {
  struct Case {
    const char* name;
    bool right;
    std::initializer_list<int> keys;
    bool opens;
  };
  const Case cases[] = {
      {"right with Shift, Ctrl and Alt", true, {VK_SHIFT, VK_CONTROL, VK_MENU}, true},
      {"right with Shift and Ctrl", true, {VK_SHIFT, VK_CONTROL}, false},
      {"right with Ctrl and Alt", true, {VK_CONTROL, VK_MENU}, false},
      {"right alone", true, {}, false},
      {"left with all three", false, {VK_SHIFT, VK_CONTROL, VK_MENU}, false},
  };
  ASSERT_NO_FATAL_FAILURE(Load());
  ShowSerialPortButton();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.right) {
      RightPressWithKeys(main_.cmdSerialPort, c.keys);
    } else {
      SendMessageA(main_.cmdSerialPort.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT | MK_CONTROL, 0);
    }
    EXPECT_EQ(main_.dialogs.McuInfo.Visible(), c.opens);
    EXPECT_EQ(main_.Visible(), !c.opens);
    main_.dialogs.McuInfo.Unload();
    main_.Show();
  }
}

TEST_F(InformationDialogs, FirmwareWindowShowsTheBlocksBytesAndSendsNothing) {
  struct Case {
    const char* name;
    uint8_t mode, version;
    uint8_t code[4];
    const char* line;
  };
  const Case cases[] = {
      {"BCD version", 0xD4, 0x42, {0x00, 0x00, 0x12, 0xAB}, "MCU-Mode=D4  MCU-Version=4.2  MCU-Code=000012AB"},
      {"leading zero", 0x02, 0x05, {0x4B, 0x52, 0x50, 0x32}, "MCU-Mode=02  MCU-Version=0.5  MCU-Code=4B525032"},
      {"not BCD", 0x00, 0x4A, {0, 0, 0, 0}, "MCU-Mode=00  MCU-Version=4.A  MCU-Code=00000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ParamBlock block = sim::SimClient::DefaultBlock();
    block.McuMode = c.mode;
    block.McuVersion = c.version;
    std::copy(std::begin(c.code), std::end(c.code), block.McuCode);
    ASSERT_NO_FATAL_FAILURE(Load(block));
    ShowSerialPortButton();
    RightPressWithKeys(main_.cmdSerialPort, {VK_SHIFT, VK_CONTROL, VK_MENU});
    frmMcuInfo& window = main_.dialogs.McuInfo;
    ASSERT_TRUE(window.Visible());
    EXPECT_EQ(Text(window.lblMcuInfo), c.line);
    EXPECT_EQ(test::WindowText(window.hwnd()), kControlPanelTitle);
    EXPECT_EQ(Text(window.lblSystem), "TouchScreen Control Panel Version 7.2.PS2");
    Click(window.cmdOK);
    EXPECT_FALSE(window.Loaded());
    EXPECT_TRUE(main_.Visible());
    EXPECT_TRUE(sim_.ReadJournal().empty()) << "the firmware window sends no command";
  }
}

TEST_F(InformationDialogs, SupportButtonOpensThePictureOnlyWhenItCanBeShown) {
  struct Case {
    const char* name;
    void (*prepare)(const fs::path& folder);
    bool support;
  };
  const Case cases[] = {
      {"vendor picture", [](const fs::path& f) { WriteBitmap(f / "KRVender.Bmp", 64, 48); }, true},
      {"no vendor picture", [](const fs::path&) {}, false},
      {"a vendor picture that is no bitmap", [](const fs::path& f) { std::ofstream(f / "KRVender.Bmp") << "x"; },
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(install_);
    fs::create_directories(install_);
    c.prepare(install_);
    ASSERT_NO_FATAL_FAILURE(Load());
    Click(main_.cmdSupport);
    EXPECT_FALSE(main_.Visible());
    EXPECT_EQ(main_.dialogs.Support.Visible(), c.support);
    EXPECT_EQ(main_.dialogs.About.Visible(), !c.support);
    ui::Form& shown = c.support ? static_cast<ui::Form&>(main_.dialogs.Support) : main_.dialogs.About;
    SendMessageA(shown.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(shown.Loaded());
    EXPECT_TRUE(main_.Visible());
  }
}

TEST_F(InformationDialogs, SupportWindowFitsItsPicture) {
  struct Case {
    int width, height;
    bool narrowerThanAWindow;
  };
  const Case cases[] = {{240, 48, false}, {400, 30, false}, {300, 300, false}, {20, 100, true}};
  for (const auto& [width, height, narrow] : cases) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    WriteBitmap(install_ / "KRVender.Bmp", width, height);
    ASSERT_NO_FATAL_FAILURE(Load());
    Click(main_.cmdSupport);
    frmSupport& window = main_.dialogs.Support;
    ASSERT_TRUE(window.Visible());
    EXPECT_EQ(test::WindowText(window.hwnd()), kControlPanelTitle);

    RECT inner;
    GetClientRect(window.picSupport.hwnd(), &inner);
    EXPECT_EQ(inner.right, width);
    EXPECT_EQ(inner.bottom, height);
    RECT client;
    GetClientRect(window.hwnd(), &client);
    const RECT picture = ClientPlace(window.picSupport);
    const RECT button = ClientPlace(window.cmdOK);
    EXPECT_LE(std::abs((client.right - picture.right) - picture.left), 1) << "left and right margins";
    if (!narrow) {
      EXPECT_EQ(picture.left, ui::TwipsToPixelsX(120)) << "the picture's designed offset";
    }
    EXPECT_EQ(button.top - picture.bottom, 2 * picture.top) << "gap above the button";
    EXPECT_EQ(client.bottom - button.bottom, 2 * picture.top) << "margin below the button";
    EXPECT_LE(std::abs((button.left - client.left) - (client.right - button.right)), 1) << "button centred";
    Click(window.cmdOK);
    EXPECT_TRUE(main_.Visible());
  }
}

TEST_F(InformationDialogs, IconDoubleClickOpensTheAboutWindow) {
  ASSERT_NO_FATAL_FAILURE(Load());
  SendMessageA(main_.imgIcon.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
  frmAbout& about = main_.dialogs.About;
  ASSERT_TRUE(about.Visible());
  EXPECT_FALSE(main_.Visible());
  EXPECT_EQ(test::WindowText(about.hwnd()), " About");
  EXPECT_EQ(Text(about.lblSystem), "TouchScreen Control Panel Version 7.2.PS2");
  Click(about.cmdOK);
  EXPECT_TRUE(main_.Visible());
  EXPECT_TRUE(sim_.ReadJournal().empty());
}

}  // namespace
}  // namespace koral::panel
