// The built setup program and its file remover under Wine, in the throwaway prefix where the setup
// finisher and the uninstaller may restart Windows: what an installation leaves, that the suite
// runs from it, and that the uninstaller takes it away again.
#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/core/messages.h"
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
