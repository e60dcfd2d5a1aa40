// The built setup program and its file remover under Wine, in the throwaway prefix where the setup
// finisher and the uninstaller may restart Windows: what an installation leaves, that the suite
// runs from it, and that the uninstaller takes it away again.
#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "common/core/messages.h"
#include "common/core/settings_file.h"
#include "common/core/setup_messages.h"
#include "common/core/setup_settings.h"
#include "common/core/titles.h"
#include "common/win/service_control.h"
#include "common/win/ini_file.h"
#include "common/win/mouse_class.h"
#include "common/win/profile.h"
#include "common/win/registry.h"
#include "package/tests/users_access.h"
#include "tests/support/profile_fixture.h"
#include "tests/support/programs.h"
#include "tests/support/restart_probe.h"
#include "tests/support/setup_installation.h"
#include "tools/sim_client.h"
#include "ui/names.h"

namespace koral {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr char kSetupProgram[] = KORAL_SETUP_PROGRAM;
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kAppsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TouchScreen KR-PS2";
constexpr char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char kRemoverQuestion[] = "TouchScreen KR-PS2 Removal";
const char* const kDataFiles[] = {"setup.ini", "setup.oem", "KRVender.Bmp", "Licence.txt", "unins000.exe"};

std::string ModelKeyPath() { return std::string(kModelKeyPath) + "\\" + kModelSubKey; }

// The programs the package was built with.
std::vector<std::string> PackagedPrograms() {
  std::vector<std::string> names;
  std::stringstream list(KORAL_PACKAGED_PROGRAMS);
  for (std::string name; std::getline(list, name, ',');) names.push_back(name + ".exe");
  return names;
}

fs::path Folder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::optional<std::string> MachineText(const std::string& path, const char* name) {
  UniqueHKey key;
  std::string text;
  if (!registry::OpenExistingKey(HKEY_LOCAL_MACHINE, path, key) || !registry::ReadText(key.get(), name, text))
    return std::nullopt;
  return text;
}

// A value of the model key as stored: its type and bytes.
std::optional<std::pair<DWORD, std::vector<uint8_t>>> ModelValue(const std::string& name) {
  UniqueHKey key;
  if (!registry::OpenExistingKey(HKEY_LOCAL_MACHINE, ModelKeyPath(), key)) return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  std::vector<uint8_t> bytes(size);
  RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, bytes.data(), &size);
  return std::pair{type, bytes};
}

// What the setup finisher stores for one planned seed.
std::pair<DWORD, std::vector<uint8_t>> Stored(const SeedStore& store) {
  if (store.ByteCount == 0) {
    const auto value = static_cast<uint32_t>(store.Value);
    return {REG_DWORD, {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)}};
  }
  return {REG_BINARY, SeedBytes(static_cast<uint32_t>(store.Value), store.ByteCount)};
}

std::string PendingRenames() {
  UniqueHKey key;
  if (!registry::OpenExistingKey(HKEY_LOCAL_MACHINE, kSessionManager, key)) return {};
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), "PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
    return {};
  std::string data(size, '\0');
  RegQueryValueExA(key.get(), "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                   &size);
  return data;
}

bool ProgramRunning(const char* exe) { return !test::ProcessesOf(exe).empty(); }

class Package : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(test::ProgramFolder().empty()) << "KORAL_PROGRAMS is not set";
    windows_ = Folder(CSIDL_WINDOWS);
    menu_ = Folder(CSIDL_COMMON_PROGRAMS) / "TouchScreen";
    Clean();
    ASSERT_TRUE(probe_.Arm());
  }
  void TearDown() override {
    program_ = {};
    Clean();
  }

  // Whatever an installation and a removal may leave in this prefix, also what they schedule for
  // the next restart (which would otherwise hit the next test's installation).
  void Clean() {
    // A test that failed half-way may have left the suite's programs waiting on a box.
    for (const char* exe :
         {"KORALpao.exe", "KORALpcp.exe", "KORALprb.exe", "KORALpdi.exe", "KORALpde.exe", "unins000.exe"}) {
      for (const DWORD id : test::ProcessesOf(exe)) {
        const UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (process && TerminateProcess(process.get(), 1)) WaitForSingleObject(process.get(), 5000);
      }
    }
    service::Stop(5000);
    service::Uninstall();
    std::error_code error;
    for (const fs::path& folder : {Default(), Chosen().parent_path(), menu_}) fs::remove_all(folder, error);
    fs::remove(windows_ / "KORALpde.exe", error);
    fs::remove(windows_ / "inf" / "KORALPS2.INF", error);
    test::RemoveModelKey();
    registry::DeleteKey(HKEY_LOCAL_MACHINE, kAppsKey);
    UniqueHKey key;
    if (registry::OpenExistingKey(HKEY_LOCAL_MACHINE, kRunKey, key)) RegDeleteValueA(key.get(), "KORALpao");
    if (registry::OpenExistingKey(HKEY_LOCAL_MACHINE, kSessionManager, key))
      RegDeleteValueA(key.get(), "PendingFileRenameOperations");
    test::ClearMouseRegistration();
  }

  static fs::path Default() { return Folder(CSIDL_PROGRAM_FILES) / "TouchScreen KR-PS2"; }
  // A folder of the test's choosing, with blanks in its path.
  static fs::path Chosen() { return fs::temp_directory_path() / "koral package" / "Touch Screen"; }

  // Runs the setup silently with the arguments and answers the setup finisher's final message.
  // The restart then starts the startup program, as Windows does; without the driver it says so,
  // and the user answers. With `keepStartup` that answer is left to the test.
  void Install(const std::string& arguments, bool keepStartup = false) {
    program_ = {};
    const fs::path setup(kSetupProgram);
    ASSERT_TRUE(program_.Start(setup.filename().string(), "/S " + arguments, setup.parent_path().string()));
    const auto box = test::WaitForMessageBox(kSetupFinisherTitle, 60s);
    ASSERT_TRUE(box) << "the setup finisher did not end the installation";
    EXPECT_EQ(box->Text, kSetupFinishedText);
    EXPECT_EQ(test::FindVisibleWindow(kSetupFinisherTitle), nullptr) << "a silent setup runs the finisher silently";
    test::AnswerMessageBox(box->Box, IDOK);
    EXPECT_TRUE(program_.WaitForExit(30s)) << "the setup did not end";
    EXPECT_TRUE(probe_.WaitForRestart()) << "no restart was asked for";
    ASSERT_TRUE(probe_.Arm());
    if (keepStartup) return;
    if (!service::WaitForDevice(0)) AnswerStartupProgram();
    EXPECT_TRUE(test::WaitUntil([] { return !ProgramRunning("KORALpao.exe"); })) << "the startup program stayed";
  }
  static void AnswerStartupProgram() {
    const auto box = test::WaitForMessageBox(kStartupTitle);
    ASSERT_TRUE(box) << "the startup program did not run at the restart";
    EXPECT_EQ(box->Text, kOpenFailureText);
    test::AnswerMessageBox(box->Box, IDOK);
  }
  // The setup's exit code when it ends without running the setup finisher.
  std::optional<DWORD> InstallRefused(const std::string& arguments) {
    program_ = {};
    const fs::path setup(kSetupProgram);
    if (!program_.Start(setup.filename().string(), "/S " + arguments, setup.parent_path().string())) return {};
    return program_.WaitForExit(30s);
  }

  static std::vector<fs::path> InstalledFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const std::string& name : PackagedPrograms()) files.push_back(folder / name);
    for (const char* name : kDataFiles) files.push_back(folder / name);
    return files;
  }
  static void SetModelNumber(const char* name, int32_t value) {
    UniqueHKey key;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key));
    ASSERT_TRUE(registry::WriteNumber(key.get(), name, value));
  }

  fs::path windows_, menu_;
  test::RestartProbe probe_;
  test::RunningProgram program_;
};

// The build leaves out a program whose target it lacks (and says so); this names the gap.
TEST(PackageContents, CarriesTheFiveProgramsOfTheSuite) {
  std::vector<std::string> missing;
  for (const char* name : {"KORALpcp.exe", "KORALpao.exe", "KORALprb.exe", "KORALpdi.exe", "KORALpde.exe"}) {
    const auto programs = PackagedPrograms();
    if (std::find(programs.begin(), programs.end(), name) == programs.end()) missing.emplace_back(name);
  }
  if (!missing.empty()) GTEST_SKIP() << "this build has no " << missing.front() << ": the package lacks it";
}

TEST_F(Package, InstallsSilentlyRunsThePanelAndIsTakenAwayByTheUninstaller) {
  Install("/TRIALDRIVER");
  const fs::path folder = Default();

  for (const fs::path& file : InstalledFiles(folder)) EXPECT_TRUE(fs::exists(file)) << file;
  EXPECT_TRUE(fs::exists(folder / "KORALPS2.sys"));
  EXPECT_TRUE(fs::exists(windows_ / "KORALpde.exe")) << "the uninstaller runs from its copy in the Windows folder";

  const std::map<std::string, std::string> profile = {
      {"VenderName", "Brimholt"},      {"VenderStyle", "11201209"},
      {"InstallPath", folder.string()}, {"WindowsPath", windows_.string()},
      {"SystemPath", Folder(CSIDL_SYSTEM).string()}, {"HardwareID", "*PNP0F13"},
  };
  for (const auto& [name, text] : profile) EXPECT_EQ(MachineText(ModelKeyPath(), name.c_str()), text) << name;
  // The setup finisher seeded every value of our setup.ini.
  const std::string ini = (folder / "setup.ini").string();
  const auto seeds = PlanSeedStores([&](const SetupIniKey& key) {
    return SettingValue(ReadIniValue(ini, "Settings", key.Name), key.Minimum, key.Maximum);
  });
  EXPECT_EQ(seeds.size(), std::size(kSeedValues)) << "our setup.ini gives every setting";
  for (const SeedStore& seed : seeds) EXPECT_EQ(ModelValue(seed.ValueName), Stored(seed)) << seed.ValueName;
  EXPECT_EQ(test::ReadDacl(HKEY_LOCAL_MACHINE, ModelKeyPath()).Granted, 1) << "standard users may keep settings";

  EXPECT_EQ(MachineText(kRunKey, "KORALpao"), "\"" + (folder / "KORALpao.exe").string() + "\"");
  EXPECT_TRUE(fs::exists(menu_ / "TouchScreen Control Panel.lnk"));
  EXPECT_TRUE(fs::exists(menu_ / "TouchScreen Software Removal.lnk"));
  EXPECT_EQ(MachineText(kAppsKey, "UninstallString"), "\"" + (windows_ / "KORALpde.exe").string() + "\"");
  const auto driver = service::Query();
  ASSERT_TRUE(driver) << "the substitute driver was not installed";
  EXPECT_EQ(driver->BinaryPath, (folder / "KORALPS2.sys").string());

  {
    // The control panel from the installed folder, against the substitute driver, with the
    // support picture found beside it.
    test::RunningProgram panel;
    ASSERT_TRUE(panel.Start("KORALpcp.exe", "", folder.string()));
    const HWND main = test::WaitForVisibleWindow(kControlPanelTitle);
    ASSERT_NE(main, nullptr) << "the control panel did not start";
    EXPECT_EQ(test::ControlText(ui::FindNamedChild(main, "cmdSupport")), "S&upport");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(panel.WaitForExit());
  }

  std::ofstream(folder / "notes.txt") << "the user's own file";
  program_ = {};
  ASSERT_TRUE(program_.Start("KORALpde.exe", "", windows_.string()));
  const HWND question = test::WaitForVisibleWindow(kUninstallerTitle);
  ASSERT_NE(question, nullptr);
  PostMessageA(ui::FindNamedChild(question, "cmdYes"), BM_CLICK, 0, 0);
  const auto finished = test::WaitForMessageBox(kUninstallerTitle, 60s);
  ASSERT_TRUE(finished) << "the removal did not finish";
  EXPECT_EQ(finished->Text, kRemovalFinishedText) << "the file remover ended within the uninstaller's wait";
  test::AnswerMessageBox(finished->Box, IDOK);
  EXPECT_TRUE(program_.WaitForExit());
  EXPECT_TRUE(probe_.WaitForRestart());

  // The remover itself went at the restart; the user's file keeps the folder.
  EXPECT_TRUE(test::WaitUntil([&] { return !fs::exists(folder / "unins000.exe"); })) << "the remover stayed";
  for (const fs::path& file : InstalledFiles(folder)) EXPECT_FALSE(fs::exists(file)) << file;
  EXPECT_FALSE(fs::exists(folder / "KORALPS2.sys"));
  EXPECT_TRUE(fs::exists(folder / "notes.txt"));
  EXPECT_FALSE(MachineText(kRunKey, "KORALpao"));
  EXPECT_FALSE(fs::exists(menu_));
  EXPECT_FALSE(test::MachineKeyExists(ModelKeyPath()));
  EXPECT_FALSE(test::MachineKeyExists("SOFTWARE\\Brimholt")) << "the vendor's empty keys go too";
  EXPECT_FALSE(test::MachineKeyExists(kAppsKey));
  EXPECT_FALSE(service::Query()) << "the substitute driver is removed with the installation";
}

TEST_F(Package, AnInstallationOverAnExistingOneKeepsTheUsersSettings) {
  Install("/D=" + Chosen().string(), true);
  ASSERT_EQ(MachineText(ModelKeyPath(), "InstallPath"), Chosen().string());

  // What the user changed since, a seed that has gone missing, and a profile value that is wrong.
  SetModelNumber("CalibrationMode", 1);
  SetModelNumber("DoubleClickSpeed", 700);
  SetModelNumber("DoubleClickWidth", 12);
  const auto mouseSpeed = ModelValue("MouseSpeed");
  ASSERT_EQ(RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, ModelKeyPath().c_str(), "PanelDirection"), ERROR_SUCCESS);
  {
    UniqueHKey key;
    ASSERT_TRUE(registry::OpenKey(HKEY_LOCAL_MACHINE, kModelKeyPath, kModelSubKey, key));
    ASSERT_TRUE(registry::WriteText(key.get(), "HardwareID", "*PNP0F03"));
    ASSERT_TRUE(registry::WriteText(key.get(), "WindowsPath", "C:\\nowhere"));
  }

  // What a standard user may do meanwhile: point InstallPath at a folder of their own.
  const fs::path user = Chosen().parent_path() / "User";
  fs::create_directories(user);
  ASSERT_TRUE(test::WriteDevelopmentProfile(user.string(), "C:\\nowhere"));

  // The startup program, started by the restart, still runs: nothing changes.
  EXPECT_EQ(InstallRefused(""), 2u);
  EXPECT_EQ(MachineText(ModelKeyPath(), "WindowsPath"), "C:\\nowhere");
  EXPECT_EQ(ReadIniValue((Chosen() / "setup.ini").string(), "Settings", "CalibrationMode"), "0");
  EXPECT_TRUE(probe_.StillArmed()) << "the setup finisher did not run";
  AnswerStartupProgram();

  Install("");  // the existing installation's folder is offered, as the installed-programs entry names it
  EXPECT_TRUE(fs::is_empty(user)) << "nothing went to the folder the model key named";

  EXPECT_EQ(ModelValue("CalibrationMode"), Stored({"CalibrationMode", 1, 0}));
  EXPECT_EQ(ModelValue("DoubleClickSpeed"), Stored({"DoubleClickSpeed", 700, 0}));
  EXPECT_EQ(ModelValue("DoubleClickWidth"), Stored({"DoubleClickWidth", 12, 0}));
  EXPECT_EQ(ModelValue("MouseSpeed"), mouseSpeed);
  EXPECT_EQ(ModelValue("PanelDirection"), Stored({"PanelDirection", 0, 1})) << "what is missing is seeded";
  EXPECT_EQ(MachineText(ModelKeyPath(), "InstallPath"), Chosen().string());
  EXPECT_EQ(MachineText(ModelKeyPath(), "WindowsPath"), windows_.string()) << "the profile is rewritten";
  EXPECT_EQ(MachineText(ModelKeyPath(), "HardwareID"), "*PNP0F13");
  EXPECT_EQ(test::ReadDacl(HKEY_LOCAL_MACHINE, ModelKeyPath()).Granted, 1);
  for (const fs::path& file : InstalledFiles(Chosen())) EXPECT_TRUE(fs::exists(file)) << file;
  EXPECT_FALSE(fs::exists(Default())) << "nothing went to the default folder";
}

TEST_F(Package, AFolderThatCannotBeWrittenStopsTheSetupBeforeAnythingIsInstalled) {
  const fs::path file = Chosen().parent_path() / "a file";
  fs::create_directories(file.parent_path());
  std::ofstream(file) << "not a folder";
  const std::vector<fs::path> targets = {file / "TouchScreen", "Q:\\TouchScreen KR-PS2"};
  for (const fs::path& target : targets) {
    SCOPED_TRACE(target.string());
    EXPECT_EQ(InstallRefused("/TRIALDRIVER /D=" + target.string()), 2u);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(test::MachineKeyExists(ModelKeyPath()));
    EXPECT_FALSE(MachineText(kRunKey, "KORALpao"));
    EXPECT_FALSE(test::MachineKeyExists(kAppsKey));
    EXPECT_FALSE(fs::exists(menu_));
    EXPECT_FALSE(fs::exists(windows_ / "KORALpde.exe"));
    EXPECT_FALSE(service::Query());
    EXPECT_TRUE(probe_.StillArmed()) << "the setup finisher never ran";
  }
  EXPECT_EQ(test::FileText(file), "not a folder");
}

// The programs run elevated and for every user: a folder others can change (here one open to
// everyone) is refused before anything is copied, and left as it was.
TEST_F(Package, AFolderOthersCanChangeIsRefusedBeforeAnythingIsInstalled) {
  const fs::path folder = Chosen();
  fs::create_directories(folder);
  std::ofstream(folder / "KORALpdi.exe") << "a user's program";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(
      ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &descriptor, nullptr));
  BOOL present = FALSE, defaulted = FALSE;
  PACL everyone = nullptr;
  GetSecurityDescriptorDacl(descriptor, &present, &everyone, &defaulted);
  ASSERT_EQ(SetNamedSecurityInfoA(const_cast<char*>(folder.string().c_str()), SE_FILE_OBJECT,
                                  DACL_SECURITY_INFORMATION, nullptr, nullptr, everyone, nullptr),
            static_cast<DWORD>(ERROR_SUCCESS));
  LocalFree(descriptor);

  for (const fs::path& target : {folder, folder / "Below"}) {
    SCOPED_TRACE(target.string());
    EXPECT_EQ(InstallRefused("/D=" + target.string()), 2u);
    EXPECT_EQ(test::FileText(folder / "KORALpdi.exe"), "a user's program") << "the user's file stays as it was";
    EXPECT_FALSE(fs::exists(folder / "KORALpcp.exe"));
    EXPECT_FALSE(fs::exists(folder / "Below"));
    EXPECT_FALSE(test::MachineKeyExists(ModelKeyPath()));
    EXPECT_FALSE(MachineText(kRunKey, "KORALpao"));
    EXPECT_TRUE(probe_.StillArmed()) << "the setup finisher never ran";
  }
}

// With windows, the folder the user chooses on the directory page is the one installed to, also
// when the command line asked for another.
TEST_F(Package, TheFolderChosenOnTheDirectoryPageIsTheOneInstalledTo) {
  const fs::path asked = Chosen().parent_path() / "Asked";
  const fs::path chosen = Chosen();
  program_ = {};
  const fs::path setup(kSetupProgram);
  ASSERT_TRUE(program_.Start(setup.filename().string(), "/D=" + asked.string(), setup.parent_path().string()));
  const HWND wizard = test::WaitForVisibleWindow("TouchScreen KR-PS2 7.2 Setup", 30s);
  ASSERT_NE(wizard, nullptr) << "no setup window";
  // Next through the pages up to the directory page, whose folder field is control 1019.
  HWND field = nullptr;
  for (int page = 0; page < 6 && !field; ++page) {
    const HWND inner = FindWindowExA(wizard, nullptr, "#32770", nullptr);
    field = inner ? GetDlgItem(inner, 1019) : nullptr;
    if (field) break;
    PostMessageA(GetDlgItem(wizard, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(test::WaitUntil([&] { return FindWindowExA(wizard, nullptr, "#32770", nullptr) != inner; }))
        << "the setup did not go on to its next page";
  }
  ASSERT_NE(field, nullptr) << "no directory page";
  EXPECT_EQ(test::ControlText(field), asked.string()) << "the page offers the folder asked for";
  SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.string().c_str()));
  PostMessageA(GetDlgItem(wizard, IDOK), BM_CLICK, 0, 0);

  const auto box = test::WaitForMessageBox(kSetupFinisherTitle, 60s);
  ASSERT_TRUE(box) << "the setup finisher did not end the installation";
  EXPECT_TRUE(fs::exists(chosen / "KORALpcp.exe")) << "the folder chosen on the page";
  EXPECT_FALSE(fs::exists(asked)) << "the folder of the command line";
  EXPECT_EQ(MachineText(ModelKeyPath(), "InstallPath"), chosen.string());
  test::AnswerMessageBox(box->Box, IDOK);
  EXPECT_TRUE(probe_.WaitForRestart());
  ASSERT_TRUE(probe_.Arm());
  if (!service::WaitForDevice(0)) AnswerStartupProgram();
  // The wizard's last page is closed by the restart, or waits for Finish.
  if (program_.Running()) PostMessageA(GetDlgItem(wizard, IDOK), BM_CLICK, 0, 0);
  EXPECT_TRUE(program_.WaitForExit(30s));
}

TEST_F(Package, TheFileRemoverAsksUnlessSilentAndRunningItAgainIsHarmless) {
  Install("/D=" + Chosen().string());
  const fs::path folder = Chosen();
  std::ofstream(folder / "notes.txt") << "the user's own file";
  const std::string remover = "unins000.exe";

  ASSERT_TRUE(program_.Start(remover, "", folder.string()));
  const auto question = test::WaitForMessageBox(kRemoverQuestion);
  ASSERT_TRUE(question) << "no question without /SILENT";
  test::AnswerMessageBox(question->Box, IDNO);
  EXPECT_TRUE(program_.WaitForExit());
  for (const fs::path& file : InstalledFiles(folder)) EXPECT_TRUE(fs::exists(file)) << "No keeps " << file;
  EXPECT_TRUE(test::MachineKeyExists(ModelKeyPath()));

  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE(run);
    ASSERT_TRUE(program_.Start(remover, "/SILENT", folder.string()));
    EXPECT_EQ(program_.WaitForExit(10s), 0u) << "the remover ends within the uninstaller's wait";
    EXPECT_EQ(test::FindTopWindow(kRemoverQuestion, "#32770"), nullptr) << "no question with /SILENT";
    for (const fs::path& file : InstalledFiles(folder))
      if (file.filename() != remover) {
        EXPECT_FALSE(fs::exists(file)) << file;
      }
    EXPECT_EQ(test::FileText(folder / "notes.txt"), "the user's own file");
    EXPECT_FALSE(test::MachineKeyExists(ModelKeyPath()));
    EXPECT_FALSE(MachineText(kRunKey, "KORALpao"));
    EXPECT_FALSE(fs::exists(menu_));
    EXPECT_FALSE(fs::exists(windows_ / "KORALpde.exe"));
  }
  EXPECT_NE(PendingRenames().find((folder / remover).string()), std::string::npos)
      << "the running remover is deleted at the next start";
}

TEST_F(Package, AKORALPS2DriverOfAnotherImageIsNeitherReplacedNorRemoved) {
  const std::string other = "C:\\drivers elsewhere\\KORALPS2.sys";
  ASSERT_EQ(service::Install(other), static_cast<DWORD>(ERROR_SUCCESS));
  Install("/TRIALDRIVER /D=" + Chosen().string());
  ASSERT_TRUE(service::Query());
  EXPECT_EQ(service::Query()->BinaryPath, other);
  EXPECT_FALSE(fs::exists(Chosen() / "KORALPS2.sys")) << "the unused image is not left behind";

  test::RunningProgram remover;
  ASSERT_TRUE(remover.Start("unins000.exe", "/SILENT", Chosen().string()));
  EXPECT_EQ(remover.WaitForExit(10s), 0u);
  ASSERT_TRUE(service::Query()) << "the other driver stays";
  EXPECT_EQ(service::Query()->BinaryPath, other);
}

}  // namespace
}  // namespace koral

// ---- Deployment: the command lines of docs/deployment.md, run as they stand there.

namespace koral {
namespace {

constexpr char kSetupLog[] = "TouchScreen-7.2-Setup.log";
constexpr char kSetupCaption[] = "TouchScreen KR-PS2 7.2 Setup";
constexpr DWORD kRestartNeeded = 3010;

// A fleet's settings, each different from our setup.ini's.
constexpr char kFleet[] =
    "; the fleet's settings\r\n[Settings]\r\nCalibrationMode=1\r\nVirtualButton=3\r\nRightButtonFunction=1\r\n"
    "RightButtonAutoMode=0\r\nRightButtonAutoSTime=5\r\nRightButtonAutoETime=7\r\nRightButtonAutoBeep=0\r\n"
    "FeedbackSound=2\r\nFeedbackTone=1500\r\nFeedbackDuration=40\r\nMouseBypass=1\r\nMouseHSpeed=14\r\n"
    "MouseVSpeed=6\r\nMouseAcceleration=3\r\nDoubleClickSpeed=420\r\nDoubleClickWidth=8\r\n"
    "DoubleClickHeight=9\r\nPanelDirection=2\r\n";

std::string DeploymentDocument() { return test::FileText(fs::path(KORAL_DEPLOYMENT_DOC)); }

// The first line of docs/deployment.md that starts (after blanks) with `start`, without them.
std::string DocumentedLine(const std::string& start) {
  std::istringstream lines(DeploymentDocument());
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto first = line.find_first_not_of(' ');
    if (first != std::string::npos && line.compare(first, start.size(), start) == 0) return line.substr(first);
  }
  ADD_FAILURE() << "docs/deployment.md has no line starting with " << start;
  return {};
}

// The startup script of docs/deployment.md, with CR LF line ends as a .cmd file has them.
std::string DocumentedScript() {
  const std::string text = DeploymentDocument();
  const auto begin = text.find("```bat\n");
  const auto end = text.find("```", begin + 7);
  if (begin == std::string::npos || end == std::string::npos) {
    ADD_FAILURE() << "docs/deployment.md has no startup script";
    return {};
  }
  std::string script;
  std::istringstream lines(text.substr(begin + 7, end - begin - 7));
  for (std::string line; std::getline(lines, line);) script += line + "\r\n";
  return script;
}

// Every seed value of the model key: its type and bytes.
std::map<std::string, std::pair<DWORD, std::vector<uint8_t>>> ModelSeeds() {
  std::map<std::string, std::pair<DWORD, std::vector<uint8_t>>> seeds;
  for (const SeedValue& seed : kSeedValues)
    if (const auto value = ModelValue(seed.ValueName)) seeds[seed.ValueName] = *value;
  return seeds;
}

class Deployment : public Package {
 protected:
  void SetUp() override {
    Package::SetUp();
    share_ = fs::temp_directory_path() / "deploy share";
    fs::remove_all(share_);
    fs::create_directories(share_);
    fs::copy_file(kSetupProgram, share_ / fs::path(kSetupProgram).filename());
    std::ofstream(share_ / "fleet.ini", std::ios::binary) << kFleet;
    log_ = fs::temp_directory_path() / kSetupLog;
    fs::remove(log_);
    fleet_ = CheckSettingsFile("fleet.ini", kFleet);
    ASSERT_TRUE(fleet_.Accepted());
  }
  void TearDown() override {
    Package::TearDown();
    fs::remove_all(share_);
  }

  // Runs a documented setup line from the share, as a deployment tool does; its exit code.
  std::optional<DWORD> RunSetupLine(const std::string& line) {
    const std::string setup = fs::path(kSetupProgram).filename().string();
    EXPECT_EQ(line.rfind(setup + " ", 0), 0u) << line;
    program_ = {};
    if (!program_.Start(setup, line.substr(setup.size() + 1), share_.string())) return std::nullopt;
    const auto code = program_.WaitForExit(90s);
    EXPECT_EQ(test::FindTopWindow(kSetupFinisherTitle, "#32770"), nullptr) << "a box nobody can answer";
    return code;
  }
  // A documented command line that starts with a quoted program path.
  static std::optional<DWORD> RunQuotedLine(const std::string& line) {
    const auto close = line.find('"', 1);
    const fs::path program = line.substr(1, close - 1);
    test::RunningProgram run;
    if (!run.Start(program.filename().string(), line.substr(close + 2), program.parent_path().string())) return {};
    return run.WaitForExit(30s);
  }
  // The driver's block after it was stopped and started again, as at the next start of Windows.
  static std::optional<ParamBlock> BlockAfterDriverRestart() {
    EXPECT_EQ(service::Stop(5000), 0u);
    EXPECT_EQ(service::Start(), 0u);
    EXPECT_TRUE(service::WaitForDevice(10000)) << "the driver did not come back";
    sim::SimClient sim;
    if (!sim.Open(10000)) return std::nullopt;
    return sim.ReadBlock();
  }
  static ParamBlock WithValues(const SettingsValues& values) {
    ParamBlock block = sim::SimClient::DefaultBlock();
    PutIntoBlock(values, block);
    return block;
  }
  void ExpectFleetSeeds() {
    for (const SeedStore& seed : SeedStoresOf(fleet_.Values)) EXPECT_EQ(ModelValue(seed.ValueName), Stored(seed)) << seed.ValueName;
  }

  fs::path share_, log_;
  SettingsFileCheck fleet_;
};

bool SameBlock(const ParamBlock& a, const ParamBlock& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST_F(Deployment, TheIntuneLinesInstallWithTheFleetsSettingsDetectAndRemove) {
  EXPECT_EQ(RunSetupLine(DocumentedLine("TouchScreen-7.2-Setup.exe /S /NORESTART /INI=fleet.ini")), kRestartNeeded);
  EXPECT_TRUE(probe_.StillArmed()) << "the restart is left to the deployment tool";
  EXPECT_EQ(test::FileText(Default() / "setup.ini"), kFleet) << "the fleet's file in place of ours";
  ExpectFleetSeeds();
  EXPECT_EQ(MachineText(kAppsKey, "DisplayVersion"), "7.2") << "the detection rule finds it";
  EXPECT_TRUE(fs::exists(windows_ / "inf" / "KORALPS2.INF")) << "the setup finisher ran";

  const std::string log = test::FileText(log_);
  for (const char* said : {"setup started: /S /NORESTART /INI=fleet.ini", "passed its check", "files copied",
                           "setup finisher started", "done; Windows must be restarted (exit code 3010)"})
    EXPECT_NE(log.find(said), std::string::npos) << "the log says " << said << "\n" << log;

  EXPECT_EQ(RunQuotedLine(DocumentedLine("\"C:\\Program Files\\TouchScreen KR-PS2\\unins000.exe\" /SILENT")), 0u);
  EXPECT_FALSE(MachineText(kAppsKey, "DisplayVersion")) << "the detection rule no longer finds it";
  EXPECT_FALSE(test::MachineKeyExists(ModelKeyPath()));
  for (const std::string& name : PackagedPrograms()) EXPECT_FALSE(fs::exists(Default() / name)) << name;
}

TEST_F(Deployment, ARefusedSettingsFileStopsTheSetupWithItsProblemsAndChangesNothing) {
  struct Case {
    const char* What;
    std::string Option;
    std::optional<std::string> Bytes;  // written to share\bad.ini
    std::string Problem;
  };
  const Case cases[] = {
      {"a missing file", "/INI=missing.ini", std::nullopt, "missing.ini: no such file"},
      {"an empty file", "/INI=bad.ini", "", "bad.ini: the file is empty"},
      {"a UTF-16 file", "/INI=bad.ini", std::string("\xFF\xFE[\0S\0", 6), "bad.ini: UTF-16 text; save it as ANSI text"},
      {"a folder", "\"/INI=" + share_.string() + "\"", std::nullopt, share_.string() + ": is a folder"},
      {"a key twice", "/INI=\"" + (share_ / "bad.ini").string() + "\"", "[Settings]\r\nFeedbackSound=2\r\nFeedbackSound=3\r\n",
       (share_ / "bad.ini").string() + ":3: FeedbackSound: given twice (first at line 2)"},
      {"10,000 digits", "/INI=bad.ini", "[Settings]\r\nFeedbackDuration=" + std::string(10'000, '1') + "\r\n",
       "bad.ini:2: FeedbackDuration: 111111111111111111111111... (10000 characters) is outside 10..50"},
      {"no file named", "/INI=", std::nullopt, "/INI= names no file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    if (c.Bytes) std::ofstream(share_ / "bad.ini", std::ios::binary | std::ios::trunc) << *c.Bytes;
    fs::remove(log_);
    EXPECT_EQ(RunSetupLine("TouchScreen-7.2-Setup.exe /S /NORESTART /TRIALDRIVER " + c.Option), 2u);
    const std::string log = test::FileText(log_);
    EXPECT_NE(log.find(c.Problem), std::string::npos) << log;
    EXPECT_NE(log.find("stopped: the settings file was refused; nothing was installed"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(Default()));
    EXPECT_FALSE(test::MachineKeyExists(ModelKeyPath()));
    EXPECT_FALSE(test::MachineKeyExists(kAppsKey));
    EXPECT_FALSE(service::Query());
    EXPECT_TRUE(probe_.StillArmed());
  }

  // Not silent, the problems are shown before the setup ends.
  std::ofstream(share_ / "bad.ini", std::ios::binary | std::ios::trunc) << "[Settings]\r\nVirtualButton=9\r\n";
  program_ = {};
  ASSERT_TRUE(program_.Start(fs::path(kSetupProgram).filename().string(), "/INI=bad.ini", share_.string()));
  const auto box = test::WaitForMessageBox(kSetupCaption, 30s);
  ASSERT_TRUE(box) << "no box for a refused settings file";
  EXPECT_NE(box->Text.find("bad.ini:2: VirtualButton: 9 is outside 1..4"), std::string::npos) << box->Text;
  test::AnswerMessageBox(box->Box, IDOK);
  EXPECT_EQ(program_.WaitForExit(30s), 2u);
  EXPECT_FALSE(fs::exists(Default()));
}

// The template PC set up with /INI= and the trial driver; its export, on the next installation,
// gives the same driver block and seeds.
TEST_F(Deployment, AFleetsSettingsGoFromOneInstallationToTheNext) {
  EXPECT_EQ(RunSetupLine(DocumentedLine("TouchScreen-7.2-Setup.exe /S /NORESTART /TRIALDRIVER /INI=fleet.ini")),
            kRestartNeeded);
  ExpectFleetSeeds();
  const auto template_block = BlockAfterDriverRestart();
  ASSERT_TRUE(template_block);
  EXPECT_TRUE(SameBlock(*template_block, WithValues(fleet_.Values))) << "the new driver took the seeds";
  const auto template_seeds = ModelSeeds();

  const fs::path exported = share_ / "exported pc.ini";
  test::RunningProgram panel;
  ASSERT_TRUE(panel.Start("KORALpcp.exe", "/EXPORT \"" + exported.string() + "\"", Default().string()));
  ASSERT_EQ(panel.WaitForExit(30s), 0u);
  const SettingsFileCheck check = CheckSettingsFile(exported.string(), test::FileText(exported));
  ASSERT_TRUE(check.Accepted());
  EXPECT_EQ(check.Values, fleet_.Values) << "the export carries the fleet's settings";

  ASSERT_EQ(RunQuotedLine(DocumentedLine("\"C:\\Program Files\\TouchScreen KR-PS2\\unins000.exe\" /SILENT")), 0u);
  ASSERT_FALSE(service::Query()) << "the driver went with the installation";

  // The next PC: our own settings, then the template's imported.
  EXPECT_EQ(RunSetupLine("TouchScreen-7.2-Setup.exe /S /NORESTART /TRIALDRIVER /D=" + Chosen().string()),
            kRestartNeeded);
  sim::SimClient sim;
  ASSERT_TRUE(sim.Open(10000));
  const auto fresh = sim.ReadBlock();
  ASSERT_TRUE(fresh);
  EXPECT_TRUE(SameBlock(*fresh, sim::SimClient::DefaultBlock())) << "nothing of the template's driver is left";
  sim.Close();
  ASSERT_TRUE(panel.Start("KORALpcp.exe", "/IMPORT \"" + exported.string() + "\"", Chosen().string()));
  ASSERT_EQ(panel.WaitForExit(30s), 0u);
  const auto imported = BlockAfterDriverRestart();
  ASSERT_TRUE(imported);
  EXPECT_TRUE(SameBlock(*imported, *template_block)) << "the same driver block";
  EXPECT_EQ(ModelSeeds(), template_seeds) << "the same seeds";
}

// Wine's shutdown.exe does nothing; the file remover's stand-in, as shutdown.exe in the folder
// the script runs in (which a command prompt searches first), notes how it was asked.
TEST_F(Deployment, TheStartupScriptInstallsOnceAndAsksForTheRestart) {
  const fs::path script = share_ / "install-touchscreen.cmd";
  std::ofstream(script, std::ios::binary) << DocumentedScript();
  fs::copy_file(fs::path(test::ToolFolder()) / "unins000.exe", share_ / "shutdown.exe");
  const fs::path asked = share_ / "unins000.log";
  const std::string run = "/c cd /d \"" + share_.string() + "\" && \"" + script.string() + "\"";
  const std::string system = Folder(CSIDL_SYSTEM).string();
  test::RunningProgram cmd;
  ASSERT_TRUE(cmd.Start("cmd.exe", run, system));
  EXPECT_EQ(cmd.WaitForExit(90s), kRestartNeeded);
  ExpectFleetSeeds();
  EXPECT_EQ(MachineText(kAppsKey, "DisplayVersion"), "7.2");
  EXPECT_NE(test::FileText(asked).find("shutdown /r /t 0 /c \"The touchscreen software was installed.\""),
            std::string::npos)
      << test::FileText(asked);

  // At the next start the installed version is found and nothing runs again.
  fs::remove(log_);
  fs::remove(asked);
  ASSERT_TRUE(cmd.Start("cmd.exe", run, system));
  EXPECT_EQ(cmd.WaitForExit(30s), 0u);
  EXPECT_FALSE(fs::exists(log_)) << "the setup did not run again";
  EXPECT_FALSE(fs::exists(asked)) << "nor was a restart asked for";
}

}  // namespace
}  // namespace koral
