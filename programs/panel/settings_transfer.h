// The control panel's commands for administrators, run without a window: "/EXPORT file" writes
// this PC's settings as a "setup.ini", "/IMPORT file" checks such a file and applies it here. The
// exit code tells the outcome; lines on standard error say what went wrong.
#pragma once

#include <functional>
#include <string>

#include "common/core/command_lines.h"
#include "common/core/driver_protocol.h"

namespace koral::panel {

enum TransferExit : int {
  kTransferDone = 0,
  kTransferFailed = 1,   // this PC could not do it: the driver, the registry, the file to write
  kTransferRefused = 2,  // the file to import was refused: missing, unreadable, or with problems
};

// What the commands need of the driver, and nothing more.
class SettingsDriver {
 public:
  virtual ~SettingsDriver() = default;
  // The driver's whole block (0xF2010); false when it could not be read.
  virtual bool ReadBlock(ParamBlock& block) = 0;
  // The whole block to the driver in one write (0xF20B0); false when the driver did not take it.
  virtual bool WriteWholeBlock(const ParamBlock& block) = 0;
  // What the virtual button dialog's Apply does after its write: starts the right-button tool
  // when the block's right-button function needs it, tells it to quit otherwise. False when the
  // tool was needed and could not be started.
  virtual bool SettleRightButtonTool(const ParamBlock& block) = 0;
  // The folder the tool is started from, for the message when it could not be.
  virtual std::string ToolFolder() const = 0;
};

// Where the lines go, one call a line.
using TransferReport = std::function<void(const std::string& line)>;

// The driver's block, the control panel's calibration mode and the startup program's double-click
// values, as a "setup.ini" that replaces `file`.
int ExportSettings(const std::string& file, SettingsDriver& driver, const TransferReport& report);

// Checks the whole file first and changes nothing unless it passes; then writes the model key's
// seeds, sends the block with the file's values in one write, and starts or stops the
// right-button tool. A failed step takes back the seeds written before it.
int ImportSettings(const std::string& file, SettingsDriver& driver, const TransferReport& report);

// The whole command as the program runs it: the profile, the driver link, the command, with the
// lines on standard error. The right-button tool is started from `installFolder`, the trusted one.
int RunSettingsCommand(const PanelCommand& command, const std::string& installFolder);

}  // namespace koral::panel
