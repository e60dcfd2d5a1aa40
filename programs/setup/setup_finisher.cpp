#include "programs/setup/setup_finisher.h"

#include "common/core/setup_messages.h"
#include "common/core/setup_settings.h"
#include "common/core/titles.h"
#include "common/win/ini_file.h"
#include "common/win/message_box.h"
#include "common/win/mouse_class.h"
#include "common/win/profile.h"
#include "common/win/registry.h"
#include "common/win/restart.h"
#include "common/win/startup_steps.h"
#include "common/win/trusted_folders.h"
#include "forms/frmMessage.h"

namespace koral::setup {
namespace {

constexpr const char* kTitle = kSetupFinisherTitle;

// Without a trusted folder there is no file to read.
std::string InstallationFile(const std::string& installFolder, const char* name) {
  return installFolder.empty() ? std::string() : installFolder + "\\" + name;
}

// One profile text into the profile and the model key.
void ReplaceProfileText(const RegistryLocation& where, const char* valueName, std::string& field,
                        const std::string& text, const char* failure) {
  field = text;
  if (!OpenModelKey(where).WriteText(valueName, text)) PlainBox(failure, kTitle);
}

bool WriteInfStrings(const TrustedFolders& trusted) {
  if (trusted.Install.empty() || trusted.Windows.empty()) return false;
  const std::string inf = trusted.Windows + "\\inf\\" + kInfFileName;
  const auto strings = InfStrings(trusted.Install);
  if (!strings) return false;
  for (const auto& [name, value] : *strings)
    if (!WriteIniValue(inf, kInfSection, name, value)) return false;
  return true;
}

bool RegisterMouseClass() {
  const ClassRegistration plan = PlanClassRegistration(ReadClassKeysUntilGap());
  DeleteClassKeys(plan.Delete, [](const std::string& path) { PlainBox(SetupDeleteFailureText(path), kTitle); });
  DeleteDeviceEnumKeys(plan.DeviceId);

  RegKey key = RegKey::Create(HKEY_LOCAL_MACHINE, kMouseClassPath, plan.SubKey);
  if (!key) return false;
  bool all = true;
  for (const auto& [name, value] : ClassValues(plan.DeviceDescription, plan.DeviceId))
    all = key.WriteText(name, value) && all;
  if (all) return true;
  // The key is new (a PS/2 key of that name was deleted above): without all its values it would
  // register a mouse Windows cannot load.
  key.Close();
  registry::DeleteKey(HKEY_LOCAL_MACHINE, ClassKeyPath(plan.SubKey));
  return false;
}

// The progress window was the program's only window: its unloading asked for the end of a
// message loop this program does not run, and that request would close the next message box
// at once.
void ForgetEndRequest() {
  MSG quit;
  PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

}  // namespace

int32_t ReadIniSetting(const std::string& file, const char* key, int32_t minimum, int32_t maximum) {
  return SettingValue(ReadIniValue(file, "Settings", key), minimum, maximum);
}

bool StoreSetting(HKEY key, const std::string& valueName, int32_t value, int byteCount) {
  const bool stored = byteCount == 0
                          ? registry::WriteNumber(key, valueName, value)
                          : registry::WriteBytes(key, valueName, SeedBytes(static_cast<uint32_t>(value), byteCount));
  if (!stored) PlainBox(SaveSettingFailureText(valueName), kTitle);
  return stored;
}

void ImportSetupIni(const std::string& installFolder, const RegistryLocation& where) {
  const std::string file = InstallationFile(installFolder, "setup.ini");
  if (!IniFilePresent(file)) return;
  const RegKey key = OpenModelKey(where);
  if (!key) return;
  const auto stores = PlanSeedStores(
      [&](const SetupIniKey& setting) { return ReadIniSetting(file, setting.Name, setting.Minimum, setting.Maximum); });
  for (const SeedStore& store : stores) StoreSetting(key.get(), store.ValueName, store.Value, store.ByteCount);
}

void ApplyOemStrings(const std::string& installFolder, InstallationProfile& profile, const RegistryLocation& where) {
  const std::string file = InstallationFile(installFolder, "setup.oem");
  if (!IniFilePresent(file)) return;
  if (const std::string title = ReadIniValue(file, "SETUP", "TITLE"); !title.empty())
    ReplaceProfileText(where, "VenderName", profile.VenderName, title, kVenderNameFailureText);
  if (const std::string style = ReadIniValue(file, "SETUP", "STYLE"); !style.empty())
    ReplaceProfileText(where, "VenderStyle", profile.VenderStyle, style, kVenderStyleFailureText);
}

bool ConfigureMouseClass(const TrustedFolders& trusted) {
  if (WriteInfStrings(trusted) && RegisterMouseClass()) return true;
  WarningBox(kRegistryConfigFailureText, kTitle);
  return false;
}

bool RunSetupFinisher(const TrustedFolders& trusted, frmMessage& progress, bool silent, bool restart) {
  if (!silent) progress.ShowMessage(kSetupProgressText, kTitle);
  const StartupSteps start(kTitle, StartupSteps::Report::PlainBox);
  ModelKeyStore store;
  InstallationProfile profile;
  if (!start.LoadProfile(store, profile)) {
    progress.Close();
    return false;
  }
  ImportSetupIni(trusted.Install);
  ApplyOemStrings(trusted.Install, profile);
  const bool configured = ConfigureMouseClass(trusted);
  progress.Close();
  if (!restart) return configured;
  ForgetEndRequest();
  if (configured)
    InformationBox(kSetupFinishedText, kTitle);
  else
    ExclamationBox(kSetupIncompleteText, kTitle);
  RestartWindows(kTitle);
  return configured;
}

}  // namespace koral::setup
