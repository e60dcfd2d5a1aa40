#include "programs/panel/calibration_device.h"

#include <optional>

#include "common/calibration/pointer_mapping.h"
#include "common/win/driver_link.h"
#include "common/win/pointer.h"
#include "common/win/profile.h"
#include "common/win/registry.h"

namespace koral::calibration {
namespace {

using device::Link;

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
  device::ReadRawPoint();
  samplesRead_.fetch_add(1, std::memory_order_relaxed);
  const RawPoint& raw = Link().Raw;
  return {raw.X, raw.Y, (raw.Status & kTouchedBit) != 0, raw.Counter};
}

void DriverCalibrationDevice::SignalCalibration(int32_t event) { device::SignalCalibration(event); }

void DriverCalibrationDevice::WriteCalibration(const NewCalibration& c) {
  BusyPointer busy;
  PutCalibration(c, Link().Block);
  device::WriteCalibration();
}

int16_t DriverCalibrationDevice::ReadOrientation() {
  device::GetCompanionSlot();
  return Link().Slot.State;
}

void DriverCalibrationDevice::KeepOrientation(int16_t code) { Link().Slot.State = code; }

int16_t DriverCalibrationDevice::ResolutionX() const { return Link().Block.ResolutionX; }
int16_t DriverCalibrationDevice::ResolutionY() const { return Link().Block.ResolutionY; }

SessionSettings DriverCalibrationDevice::Settings() const {
  SessionSettings s;
  s.CalibrationMode = CalibrationMode();
  s.ResolutionX = ResolutionX();
  s.ResolutionY = ResolutionY();
  s.OldCalibration = CalibrationOf(Link().Block);
  s.Safeguard = ReadSafeguards();
  return s;
}

void DriverCalibrationDevice::SuspendRightButton() { rightButton_.Suspend(Link().Block); }
void DriverCalibrationDevice::ResumeRightButton() { rightButton_.Resume(Link().Block); }

Safeguards ReadSafeguards() {
  // Read only: a program that may run for any user never creates or alters the model key.
  const RegKey key = RegKey::Open(HKEY_LOCAL_MACHINE, std::string(kModelKeyPath) + "\\" + kModelSubKey, KEY_READ);
  return SafeguardsOf(NumberOf(key, kTouchToleranceValue), NumberOf(key, kKeepSecondsValue));
}

}  // namespace koral::calibration
