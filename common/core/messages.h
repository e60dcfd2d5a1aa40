// Fixed texts of the start-up failures shared by several programs.
#pragma once

namespace koral {

inline constexpr const char kDriverFileName[] = "KORALPS2.vxd";
inline constexpr const char kOpenFailureText[] = "Fail to open KORALPS2.vxd!";
inline constexpr const char kProfileFailureText[] = "Fail to load data from Register File!";
inline constexpr const char kControllerNotFoundText[] = "TouchScreen Controller Not Found!";
// A second start whose running window cannot be found; two carriage returns part the lines.
inline constexpr const char kAlreadyRunningText[] =
    "Application is running!\r\rPlease find and select the running window from Taskbar.";

}  // namespace koral
