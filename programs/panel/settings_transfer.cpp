#include "programs/panel/settings_transfer.h"

#include <windows.h>

#include <optional>
#include <utility>
#include <vector>

#include "common/core/double_click.h"
#include "common/core/messages.h"
#include "common/core/settings_file.h"
#include "common/core/titles.h"
#include "common/win/driver_link.h"
#include "common/win/profile.h"
#include "common/win/registry.h"
#include "common/win/single_instance.h"
#include "common/win/text_files.h"

namespace koral::panel {
namespace {

constexpr char kNotExported[] = "not exported: ";
constexpr char kNotImported[] = "not imported: ";
constexpr char kNoDriver[] = "the driver KORALPS2 does not answer (it is not installed, or not running)";

// The program's driver session, opened on first use.
class SessionDriver final : public SettingsDriver {
 public:
  SessionDriver(device::DriverSession& session, std::string installFolder)
      : session_(session), installFolder_(std::move(installFolder)) {}
  bool ReadBlock(ParamBlock& block) override {
    if (!session_.IsOpen() && !session_.Open()) return false;
    const std::optional<ParamBlock> read = session_.ReadBlock();
    if (!read) return false;
    block = *read;
    return true;
  }
  bool WriteWholeBlock(const ParamBlock& block) override {
    return session_.Write(device::Group::WholeBlock, block);
  }
  bool SettleRightButtonTool(const ParamBlock& block) override {
    if (RightButtonUsesTool(block)) return device::StartRightButtonTool(installFolder_);
    device::TellRightButtonTool(session_, installFolder_, device::kQuitTool);
    return true;
  }
  std::string ToolFolder() const override { return installFolder_; }

 private:
  device::DriverSession& session_;
  std::string installFolder_;
};

// The installation profile, loaded as the programs load it at their start.
bool ProfileLoads() {
  ModelKeyStore store;
  InstallationProfile profile;
  return LoadProfile(store, profile);
}

// The driver's block of a present controller; false after saying why not.
bool ReadControllerBlock(SettingsDriver& driver, ParamBlock& block, const std::string& failed,
                         const TransferReport& report) {
  if (!driver.ReadBlock(block)) {
    report(failed + kNoDriver);
    return false;
  }
  if (block.DetectedPort == 0) {
    report(failed + kControllerNotFoundText);
    return false;
  }
  return true;
}

// The startup program's rule: the three stored values together, or the defaults.
DoubleClickSettings StoredDoubleClick(const RegKey& model) {
  DoubleClickSettings stored;
  const bool complete = model.ReadNumber(kDoubleClickSpeedName, stored.Speed) &&
                        model.ReadNumber(kDoubleClickWidthName, stored.Width) &&
                        model.ReadNumber(kDoubleClickHeightName, stored.Height);
  return complete ? stored : kDefaultDoubleClick;
}

std::optional<int32_t> StoredCalibrationMode(const RegKey& model) {
  int32_t mode = 0;
  if (!model.ReadNumber("CalibrationMode", mode)) return std::nullopt;
  return mode;
}

// The seeds an import writes, each value's earlier state kept so that a failed import can take
// them all back.
class SeedWrites {
 public:
  explicit SeedWrites(RegKey& key) : key_(key) {}

  bool Write(const SeedStore& store) {
    Remember(store.ValueName);
    if (store.ByteCount == 0) return key_.WriteNumber(store.ValueName, store.Value);
    return key_.WriteBytes(store.ValueName, SeedBytes(static_cast<uint32_t>(store.Value), store.ByteCount));
  }

  void Undo() {
    for (auto it = earlier_.rbegin(); it != earlier_.rend(); ++it) {
      if (!it->Existed) {
        RegDeleteValueA(key_.get(), it->Name.c_str());
        continue;
      }
      RegSetValueExA(key_.get(), it->Name.c_str(), 0, it->Type, it->Data.data(), static_cast<DWORD>(it->Data.size()));
    }
    earlier_.clear();
  }

 private:
  struct Earlier {
    std::string Name;
    bool Existed = false;
    DWORD Type = REG_NONE;
    std::vector<BYTE> Data;
  };

  void Remember(const std::string& name) {
    Earlier earlier;
    earlier.Name = name;
    DWORD size = 0;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &earlier.Type, nullptr, &size) == ERROR_SUCCESS) {
      earlier.Data.resize(size);
      earlier.Existed = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &earlier.Type, earlier.Data.data(),
                                         &size) == ERROR_SUCCESS;
      earlier.Data.resize(size);
    }
    earlier_.push_back(std::move(earlier));
  }

  RegKey& key_;
  std::vector<Earlier> earlier_;
};

// The file's values when it passes the check; otherwise its problems are reported.
std::optional<SettingsValues> CheckedFile(const std::string& file, const TransferReport& report) {
  const FileBytes read = ReadFileStart(file, kSettingsFileLimit + 1);
  if (!read.Read) {
    report(read.Problem);
    return std::nullopt;
  }
  const SettingsFileCheck check = CheckSettingsFile(file, read.Bytes);
  for (const std::string& problem : check.Problems) report(problem);
  if (!check.Accepted()) return std::nullopt;
  return check.Values;
}

}  // namespace

int ExportSettings(const std::string& file, SettingsDriver& driver, const TransferReport& report) {
  const std::string failed = kNotExported;
  if (!ProfileLoads()) {
    report(failed + kProfileFailureText);
    return kTransferFailed;
  }
  PcSettings pc;
  if (!ReadControllerBlock(driver, pc.Block, failed, report)) return kTransferFailed;
  {
    const RegKey model = OpenModelKey();
    pc.CalibrationMode = CalibrationModeInForce(StoredCalibrationMode(model));
    pc.DoubleClick = StoredDoubleClick(model);
  }
  const ExportedSettings exported = ExportedValues(pc);
  if (!exported.Problems.empty()) {
    std::string line = failed;
    for (size_t i = 0; i < exported.Problems.size(); ++i) line += (i == 0 ? "" : "; ") + exported.Problems[i];
    report(line);
    return kTransferFailed;
  }
  if (const std::string problem = ReplaceFileContent(file, SettingsFileText(exported.Values)); !problem.empty()) {
    report(failed + problem);
    return kTransferFailed;
  }
  return kTransferDone;
}

int ImportSettings(const std::string& file, SettingsDriver& driver, const TransferReport& report) {
  const std::string failed = kNotImported;
  const std::optional<SettingsValues> values = CheckedFile(file, report);
  if (!values) return kTransferRefused;
  if (FindRunningInstance(kControlPanelTitle, nullptr) != nullptr) {
    report(failed + "the control panel is open; close it first, or its dialogs would send their own copy of the "
                    "settings later");
    return kTransferFailed;
  }
  if (!ProfileLoads()) {
    report(failed + kProfileFailureText);
    return kTransferFailed;
  }
  ParamBlock block;
  if (!ReadControllerBlock(driver, block, failed, report)) return kTransferFailed;
  PutIntoBlock(*values, block);

  RegKey model = OpenModelKey();
  if (!model) {
    report(failed + "the model key cannot be opened (" + Win32ErrorText(static_cast<DWORD>(model.Error())) + ")");
    return kTransferFailed;
  }
  SeedWrites seeds(model);
  for (const SeedStore& store : SeedStoresOf(*values)) {
    if (seeds.Write(store)) continue;
    seeds.Undo();
    report(failed + "the model key's value " + store.ValueName + " cannot be written");
    return kTransferFailed;
  }
  if (!driver.WriteWholeBlock(block)) {
    seeds.Undo();
    report(failed + "the driver KORALPS2 did not take the settings");
    return kTransferFailed;
  }
  if (!driver.SettleRightButtonTool(block)) {
    report("imported, but the right-button tool could not be started from " + driver.ToolFolder());
    return kTransferFailed;
  }
  return kTransferDone;
}

int RunSettingsCommand(const PanelCommand& command, const std::string& installFolder) {
  const TransferReport report = [](const std::string& line) { WriteErrorLine(line); };
  device::DriverSession session;
  SessionDriver driver(session, installFolder);
  int result = kTransferFailed;
  switch (command.What) {
    case PanelCommand::Kind::Export:
      result = ExportSettings(command.File, driver, report);
      break;
    case PanelCommand::Kind::Import:
      result = ImportSettings(command.File, driver, report);
      break;
    case PanelCommand::Kind::Usage:
    case PanelCommand::Kind::Window:
      report(command.Problem + " (KORALpcp.exe /EXPORT file, or KORALpcp.exe /IMPORT file)");
      break;
  }
  session.Close();
  return result;
}

}  // namespace koral::panel
