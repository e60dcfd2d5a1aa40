// The real uninstaller under Wine, in the throwaway prefix where it may restart Windows. That
// prefix has no driver: the removal goes on without stopping anything, as it must. The file
// remover is the stand-in from tools/, told how long to take. The uninstaller runs from a copy in
// the test's installation folder (or, as Windows runs it, from the Windows folder).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/core/setup_messages.h"
#include "common/core/titles.h"
#include "common/core/trusted_folders.h"
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

constexpr char kProgram[] = "KORALpde.exe";

// A class sub-key as a test lays it out.
struct ClassKey {
  std::string Name, Provider, MouseType, DeviceId;
};

using test::MachineKeyExists;

// Keys go to the window with the focus in the program's thread.
HWND FocusOf(HWND main) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) && info.hwndFocus) return info.hwndFocus;
  return main;
}

class Uninstaller : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(test::ProgramFolder().empty()) << "KORAL_PROGRAMS is not set";
    // The installation folder has a blank in its path: the remover must be started quoted.
    ASSERT_TRUE(installation_.Create("koral removal"));
    install_ = installation_.Install;
    windows_ = installation_.Windows;
    ASSERT_TRUE(installation_.AddProgram(kProgram));
    ASSERT_TRUE(probe_.Arm());
  }
  void TearDown() override {
    program_ = {};
    std::error_code ignored;
    fs::remove(windows_ / kProgram, ignored);
    registry::DeleteKey(HKEY_LOCAL_MACHINE, kUninstallEntryKey);
  }

  // The stand-in file remover in the installation folder, taking `seconds`.
  void InstallRemover(int seconds, int exitCode = 0) {
    fs::copy_file(fs::path(ToolPath("unins000.exe")), install_ / "unins000.exe", fs::copy_options::overwrite_existing);
    std::ofstream(install_ / "unins000.ini") << "[StandIn]\r\nSeconds=" << seconds << "\r\nExitCode=" << exitCode
                                             << "\r\n";
  }
  static std::string ToolPath(const char* name) {
    std::string folder = test::ToolFolder();
    return folder + "\\" + name;
  }
  static void LayClassKeys(const std::vector<ClassKey>& keys) {
    for (const ClassKey& k : keys) {
      UniqueHKey key;
      ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kMouseClassPath, k.Name, key));
      for (const auto& [name, text] : {std::pair{"ProviderName", &k.Provider}, std::pair{"MouseType", &k.MouseType},
                                       std::pair{"MatchingDeviceId", &k.DeviceId}}) {
        if (!text->empty()) {
          ASSERT_TRUE(registry::WriteText(key.get(), name, *text));
        }
      }
    }
  }
  static void AddEnumKeys(const std::string& id) { ASSERT_TRUE(test::AddDeviceEnumKeys(id)); }
  std::string RemoverLog() const { return test::FileText(install_ / "unins000.log"); }

  // Starts the uninstaller (from the installation folder, or the given one) and waits for its
  // question window.
  HWND Start(const fs::path& from = {}) {
    EXPECT_TRUE(program_.Start(kProgram, "", (from.empty() ? install_ : from).string()));
    const HWND main = test::WaitForVisibleWindow(kUninstallerTitle);
    EXPECT_NE(main, nullptr) << "the question window did not appear";
    return main;
  }
  // WININIT.INI as the removal's last message finds it; the message is answered.
  std::string WininitAtTheEnd() {
    const auto box = test::WaitForMessageBox(kUninstallerTitle, std::chrono::seconds(40));
    EXPECT_TRUE(box) << "no final message";
    if (!box) return {};
    EXPECT_EQ(box->Text, kRemovalFinishedText);
    const std::string wininit = test::FileText(windows_ / "WININIT.INI");
    test::AnswerMessageBox(box->Box, IDOK);
    return wininit;
  }
  // Runs the removal to its end: Yes, the final message, the restart.
  std::string RemoveAll(const fs::path& from = {}) {
    const HWND main = Start(from);
    if (!main) return {};
    PostMessageA(ui::FindNamedChild(main, "cmdYes"), BM_CLICK, 0, 0);
    const std::string wininit = WininitAtTheEnd();
    EXPECT_TRUE(program_.WaitForExit());
    EXPECT_TRUE(probe_.WaitForRestart()) << "no restart was asked for";
    return wininit;
  }
  // What a standard user can do: point the model key's paths at a folder of their own, which
  // holds their program under the file remover's name.
  void PlantInUserFolder() {
    fs::copy_file(fs::path(ToolPath("marker_program.exe")), installation_.User / "unins000.exe",
                  fs::copy_options::overwrite_existing);
    fs::create_directories(installation_.User / "inf");
    ASSERT_TRUE(test::WriteDevelopmentProfile(installation_.User.string(), installation_.User.string()));
  }
  void ExpectNothingOfTheUsersRan() {
    EXPECT_FALSE(fs::exists(installation_.User / "unins000.exe.ran")) << "the user's program ran elevated";
    EXPECT_FALSE(fs::exists(installation_.User / "WININIT.INI")) << "the user chose where WININIT.INI goes";
  }

  // Expects a box with the text, answers it and waits until it is gone.
  void AnswerBox(const std::string& text, std::chrono::milliseconds limit = test::kDefaultWait) {
    const auto box = test::WaitForMessageBox(kUninstallerTitle, limit);
    ASSERT_TRUE(box) << "no box for: " << text;
    EXPECT_EQ(box->Text, text);
    test::AnswerMessageBox(box->Box, IDOK);
    ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(box->Box); }));
  }

  test::SetupInstallation installation_;
  fs::path install_, windows_;
  test::RestartProbe probe_;
  test::RunningProgram program_;
};

TEST_F(Uninstaller, RunsTheFileRemoverCleansTheMouseClassAndRestarts) {
  InstallRemover(1);
  LayClassKeys({{"0000", "TouchScreen", "PS2", "*PNP0F03"},
                {"0001", "Microsoft", "PS2", "*PNP0F13"},
                {"0002", "TouchScreen", "SERIAL", "*PNP0F0E"},
                // 0003 is missing: the touchscreen's key behind the gap goes too.
                {"0004", "touchscreen", "ps2", ""}});
  AddEnumKeys("*PNP0F03");
  AddEnumKeys("*PNP0F13");

  const HWND main = Start();
  ASSERT_NE(main, nullptr);
  PostMessageA(ui::FindNamedChild(main, "cmdYes"), BM_CLICK, 0, 0);
  ASSERT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(main); })) << "the question window hides";
  const HWND progress = test::WaitForVisibleWindow(kUninstallerTitle);
  ASSERT_NE(progress, nullptr) << "no progress window";
  EXPECT_EQ(test::ControlText(ui::FindNamedChild(progress, "lblMsg")), "Removing files from your system...");

  // The restart takes WININIT.INI's entries: it is read while the last message is up.
  const std::string wininit = WininitAtTheEnd();
  EXPECT_TRUE(program_.WaitForExit());
  EXPECT_TRUE(probe_.WaitForRestart()) << "no restart was asked for";

  const std::string log = RemoverLog();
  EXPECT_NE(log.find("started \"" + install_.string() + "\\unins000.exe\" /SILENT"), std::string::npos) << log;
  EXPECT_NE(log.find("ended"), std::string::npos) << "waited for the remover to end: " << log;

  EXPECT_NE(wininit.find("[rename]\r\nNUL=" + windows_.string() + "\\KORALPde.exe\r\n"), std::string::npos) << wininit;

  EXPECT_FALSE(MachineKeyExists(ClassKeyPath("0000")));
  EXPECT_TRUE(MachineKeyExists(ClassKeyPath("0001"))) << "another provider's PS/2 key stays";
  EXPECT_TRUE(MachineKeyExists(ClassKeyPath("0002"))) << "the touchscreen's key of another mouse type stays";
  EXPECT_FALSE(MachineKeyExists(ClassKeyPath("0004")));
  EXPECT_FALSE(MachineKeyExists("Enum\\ACPI\\*PNP0F03"));
  EXPECT_FALSE(MachineKeyExists("Enum\\BIOS\\*PNP0F03"));
  EXPECT_TRUE(MachineKeyExists("Enum\\ACPI\\*PNP0F13")) << "the last identifier read names the device";
  UniqueHKey model;
  std::string install;
  EXPECT_TRUE(registry::OpenExistingKey(HKEY_LOCAL_MACHINE, std::string(kModelKeyPath) + "\\" + kModelSubKey, model) &&
              registry::ReadText(model.get(), "InstallPath", install))
      << "the model key is the file remover's business";
}

// The model key's InstallPath and WindowsPath are anyone's to set: the uninstaller runs the file
// remover from its own folder and writes WININIT.INI into the system's Windows folder.
TEST_F(Uninstaller, RunsAndWritesNothingWhereTheModelKeysPathsPoint) {
  InstallRemover(0);
  PlantInUserFolder();
  const std::string wininit = RemoveAll();
  ExpectNothingOfTheUsersRan();
  EXPECT_NE(RemoverLog().find("started \"" + install_.string() + "\\unins000.exe\" /SILENT"), std::string::npos)
      << "the installation's own remover did the work: " << RemoverLog();
  EXPECT_NE(wininit.find("NUL=" + windows_.string() + "\\KORALPde.exe"), std::string::npos) << wininit;
}

// Windows runs the uninstaller's copy in the Windows folder: the installation is the one the entry
// of installed programs names (only administrators can change it).
TEST_F(Uninstaller, TheCopyInTheWindowsFolderRemovesTheInstallationTheInstalledProgramsEntryNames) {
  InstallRemover(0);
  PlantInUserFolder();
  fs::copy_file(install_ / kProgram, windows_ / kProgram, fs::copy_options::overwrite_existing);
  {
    UniqueHKey entry;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "", entry));
    ASSERT_TRUE(registry::WriteText(entry.get(), kInstallLocationName, install_.string()));
  }
  RemoveAll(windows_);
  ExpectNothingOfTheUsersRan();
  EXPECT_NE(RemoverLog().find("ended"), std::string::npos) << RemoverLog();
}

TEST_F(Uninstaller, TheCopyInTheWindowsFolderWithoutAnEntryRunsNothing) {
  InstallRemover(0);
  PlantInUserFolder();
  fs::copy_file(install_ / kProgram, windows_ / kProgram, fs::copy_options::overwrite_existing);
  const HWND main = Start(windows_);
  ASSERT_NE(main, nullptr);
  PostMessageA(ui::FindNamedChild(main, "cmdYes"), BM_CLICK, 0, 0);
  AnswerBox("Fail to remove files! (Startup)", std::chrono::seconds(30));
  EXPECT_TRUE(program_.WaitForExit());
  ExpectNothingOfTheUsersRan();
  EXPECT_EQ(RemoverLog(), "");
  EXPECT_TRUE(probe_.StillArmed());
}

// The clean-up takes only the six identifiers the setup finisher writes: an empty one named the
// whole of Enum\ACPI and Enum\BIOS.
TEST_F(Uninstaller, AnEmptyOrUnknownDeviceIdentifierRemovesNoOtherEnumerationKeys) {
  InstallRemover(0);
  for (const auto& [name, id] : {std::pair{"0000", "*PNP0F99"}, std::pair{"0001", "..\\.."}, std::pair{"0002", ""}}) {
    UniqueHKey key;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kMouseClassPath, name, key));
    ASSERT_TRUE(registry::WriteText(key.get(), "ProviderName", "TouchScreen"));
    ASSERT_TRUE(registry::WriteText(key.get(), "MouseType", "PS2"));
    ASSERT_TRUE(registry::WriteText(key.get(), "MatchingDeviceId", id));
  }
  AddEnumKeys("*PNP0F13");
  AddEnumKeys("PNP0303");  // another device's: the keyboard's
  RemoveAll();
  for (const char* name : {"0000", "0001", "0002"}) EXPECT_FALSE(MachineKeyExists(ClassKeyPath(name))) << name;
  EXPECT_FALSE(MachineKeyExists("Enum\\ACPI\\*PNP0F13")) << "the default identifier's keys go";
  EXPECT_FALSE(MachineKeyExists("Enum\\BIOS\\*PNP0F13"));
  EXPECT_TRUE(MachineKeyExists("Enum\\ACPI\\PNP0303\\0")) << "another device's keys stay";
  EXPECT_TRUE(MachineKeyExists("Enum\\BIOS\\PNP0303\\0"));
}

TEST_F(Uninstaller, AFileRemoverThatTakesTooLongEndsItWithTheRegistryUntouched) {
  InstallRemover(12);
  LayClassKeys({{"0000", "TouchScreen", "PS2", "*PNP0F03"}});
  AddEnumKeys("*PNP0F03");

  const HWND main = Start();
  ASSERT_NE(main, nullptr);
  PostMessageA(ui::FindNamedChild(main, "cmdYes"), BM_CLICK, 0, 0);
  const auto box = test::WaitForMessageBox(kUninstallerTitle, std::chrono::seconds(30));
  ASSERT_TRUE(box);
  EXPECT_EQ(box->Text, "Fail to remove files! (WAIT_TIMEOUT)");
  EXPECT_EQ(RemoverLog().find("ended"), std::string::npos) << "the remover is still running at the message";
  test::AnswerMessageBox(box->Box, IDOK);
  EXPECT_TRUE(program_.WaitForExit());

  EXPECT_TRUE(MachineKeyExists(ClassKeyPath("0000")));
  EXPECT_TRUE(MachineKeyExists("Enum\\ACPI\\*PNP0F03"));
  EXPECT_FALSE(fs::exists(windows_ / "WININIT.INI"));
  EXPECT_FALSE(probe_.WaitForRestart(std::chrono::seconds(3)));
  EXPECT_TRUE(probe_.StillArmed());
  EXPECT_TRUE(test::WaitUntil([&] { return RemoverLog().find("ended") != std::string::npos; }))
      << "the remover kept running and ended by itself";
}

// A step that fails is told, and the last message never says that the removal is complete. A
// remover that could not do its work (it ends with another exit code than 0) stops the removal
// before any registry change and any restart; a WININIT.INI that cannot be written (a folder
// stands where it belongs) is told, the removal goes on, and the restart is asked for all the same.
TEST_F(Uninstaller, AStepThatFailsIsToldAndTheRemovalIsNotCalledComplete) {
  struct Case {
    const char* Name;
    int RemoverExit;
    bool WininitBlocked;
    std::vector<std::string> Boxes;
    bool Unregistered;  // the touchscreen's class key is gone and a restart was asked for
  };
  const std::string ownCopy = windows_.string() + "\\KORALPde.exe";
  const Case cases[] = {
      {"remover failed", 3, false, {"Fail to remove files! (ExitCode=3)"}, false},
      {"WININIT.INI not written", 0, true, {ScheduleDeletionFailureText(ownCopy), kRemovalIncompleteText}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    InstallRemover(0, c.RemoverExit);
    LayClassKeys({{"0000", "TouchScreen", "PS2", "*PNP0F03"}});
    fs::remove_all(windows_ / "WININIT.INI");
    if (c.WininitBlocked) fs::create_directories(windows_ / "WININIT.INI");
    ASSERT_TRUE(probe_.Arm());

    const HWND main = Start();
    ASSERT_NE(main, nullptr);
    PostMessageA(ui::FindNamedChild(main, "cmdYes"), BM_CLICK, 0, 0);
    for (const std::string& text : c.Boxes) ASSERT_NO_FATAL_FAILURE(AnswerBox(text, std::chrono::seconds(30)));
    EXPECT_TRUE(program_.WaitForExit());
    program_ = {};

    EXPECT_NE(RemoverLog().find("ended"), std::string::npos) << "the remover ran to its end";
    EXPECT_EQ(MachineKeyExists(ClassKeyPath("0000")), !c.Unregistered);
    EXPECT_EQ(probe_.WaitForRestart(std::chrono::seconds(c.Unregistered ? 10 : 2)), c.Unregistered);
    if (!c.WininitBlocked) EXPECT_FALSE(fs::exists(windows_ / "WININIT.INI"));
    fs::remove(install_ / "unins000.log");
  }
}

TEST_F(Uninstaller, NoEnterAndEscapeEndItUnchanged) {
  InstallRemover(0);
  LayClassKeys({{"0000", "TouchScreen", "PS2", "*PNP0F03"}});
  struct Case {
    const char* Name;
    void (*Answer)(HWND main);
  };
  const Case cases[] = {
      {"No", [](HWND main) { PostMessageA(ui::FindNamedChild(main, "cmdNo"), BM_CLICK, 0, 0); }},
      {"Enter", [](HWND main) { PostMessageA(FocusOf(main), WM_KEYDOWN, VK_RETURN, 0); }},
      {"Escape", [](HWND main) { PostMessageA(FocusOf(main), WM_KEYDOWN, VK_ESCAPE, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const HWND main = Start();
    ASSERT_NE(main, nullptr);
    c.Answer(main);
    EXPECT_TRUE(program_.WaitForExit(std::chrono::seconds(10)));
    program_ = {};
  }
  EXPECT_FALSE(fs::exists(install_ / "unins000.log")) << "the file remover never ran";
  EXPECT_TRUE(MachineKeyExists(ClassKeyPath("0000")));
  EXPECT_FALSE(probe_.WaitForRestart(std::chrono::seconds(1)));
}

TEST_F(Uninstaller, AMissingProfileEndsItBeforeTheQuestion) {
  ASSERT_TRUE(test::RemoveModelKey());
  ASSERT_TRUE(program_.Start(kProgram, "", install_.string()));
  AnswerBox("Fail to load data from Register File!");
  EXPECT_EQ(test::FindVisibleWindow(kUninstallerTitle), nullptr);
  EXPECT_TRUE(program_.WaitForExit());
  EXPECT_TRUE(probe_.StillArmed());
}

}  // namespace
}  // namespace koral
