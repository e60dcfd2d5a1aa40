// Fixed texts of the start-up failures shared by several programs, and of the driver or the
// registry refusing what the control panel sends.
#pragma once

#include <string>

namespace koral {

inline constexpr const char kDriverFileName[] = "KORALPS2.vxd";
inline constexpr const char kOpenFailureText[] = "Fail to open KORALPS2.vxd!";
inline constexpr const char kProfileFailureText[] = "Fail to load data from Register File!";
inline constexpr const char kControllerNotFoundText[] = "TouchScreen Controller Not Found!";
// A second start whose running window cannot be found; two carriage returns part the lines.
inline constexpr const char kAlreadyRunningText[] =
    "Application is running!\r\rPlease find and select the running window from Taskbar.";

// The calibration's new values, or the old ones put back, refused by the driver.
inline constexpr const char kCalibrationSaveFailureText[] =
    "Fail to save calibration! The previous calibration is kept.";
inline constexpr const char kCalibrationRestoreFailureText[] =
    "Fail to restore the previous calibration! The new calibration is kept.";

// The control panel's calibration method that the registry refused.
inline constexpr const char kCalibrationModeFailureText[] =
    "Fail to save calibration mode! The previous mode is kept.";

// A settings dialog whose values the driver refused ("mouse speed", "virtual button", ...).
inline std::string ApplyFailureText(const std::string& settings) {
  return "Fail to apply " + settings + "! The previous settings are kept.";
}

}  // namespace koral
