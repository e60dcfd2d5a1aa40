#include "programs/panel/calibration_device.h"

#include <optional>

#include "common/calibration/pointer_mapping.h"
#include "common/win/pointer.h"
#include "common/win/profile.h"
#include "common/win/registry.h"

namespace koral::calibration {
namespace {

void PutCalibration(const NewCalibration& c, ParamBlock& b) {
  b.CalXLeft = c.CalXLeft;
  b.CalXCenter = c.CalXCenter;
  b.CalXRight = c.CalXRight;
  b.CalYTop = c.CalYTop;
  b.CalYCenter = c.CalYCenter;
  b.CalYBottom = c.CalYBottom;
  b.PanelDirection = c.PanelDirection;
}

std::optional<int32_t> NumberOf(const RegKey& key, const char* name) {
  int32_t value = 0;
  if (!key || !key.ReadNumber(name, value)) return std::nullopt;
  return value;
}

}  // namespace

PanelSample DriverCalibrationDevice::ReadSample() {
  if (const std::optional<RawPoint> read = controller_.driver().ReadRawPoint()) lastSample_ = *read;
  samplesRead_.fetch_add(1, std::memory_order_relaxed);
  return {lastSample_.X, lastSample_.Y, (lastSample_.Status & kTouchedBit) != 0, lastSample_.Counter};
}

void DriverCalibrationDevice::SignalCalibration(int32_t event) { controller_.driver().SignalCalibration(event); }

bool DriverCalibrationDevice::WriteCalibration(const NewCalibration& c) {
  BusyPointer busy;
  ParamBlock changed = controller_.Block();
  PutCalibration(c, changed);
  return controller_.Write(device::Group::Calibration, changed);
}

int16_t DriverCalibrationDevice::ReadOrientation() {
  const std::optional<WindowSlot> companion = controller_.driver().CompanionSlot();
  return companion ? companion->State : 0;
}

SessionSettings DriverCalibrationDevice::Settings(int32_t mode) const {
  SessionSettings s;
  s.CalibrationMode = mode;
  s.ResolutionX = ResolutionX();
  s.ResolutionY = ResolutionY();
  s.OldCalibration = CalibrationOf(controller_.Block());
  s.Safeguard = ReadSafeguards();
  return s;
}

Safeguards ReadSafeguards() {
  // Read only: a program that may run for any user never creates or alters the model key.
  const RegKey key = RegKey::Open(HKEY_LOCAL_MACHINE, std::string(kModelKeyPath) + "\\" + kModelSubKey, KEY_READ);
  return SafeguardsOf(NumberOf(key, kTouchToleranceValue), NumberOf(key, kKeepSecondsValue));
}

}  // namespace koral::calibration
