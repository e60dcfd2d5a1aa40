// The double-click settings the startup program keeps: what it stores, how it hands them to
// Windows and reports what failed, and when its dialog has something to apply. The Windows calls
// themselves stay behind DoubleClickSystem, so the order of the steps and the failure letters are
// tested without Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace koral {

struct DoubleClickSettings {
  int32_t Speed = 500;  // milliseconds
  int32_t Width = 32;   // pixels
  int32_t Height = 32;  // pixels
  friend bool operator==(const DoubleClickSettings&, const DoubleClickSettings&) = default;
};

// What applies when the model key does not hold all three values.
inline constexpr DoubleClickSettings kDefaultDoubleClick{};

// The ranges of the dialog's bars, which are also those of the seeds "setup.ini" gives.
inline constexpr int32_t kSpeedMin = 100;
inline constexpr int32_t kSpeedMax = 900;
inline constexpr int32_t kSizeMin = 0;
inline constexpr int32_t kSizeMax = 64;

// All three values lie in their ranges. Stored values outside them count as unreadable: every
// user who logs on gets them applied, and anyone may set them in the model key.
constexpr bool WithinDoubleClickRanges(const DoubleClickSettings& settings) {
  return settings.Speed >= kSpeedMin && settings.Speed <= kSpeedMax && settings.Width >= kSizeMin &&
         settings.Width <= kSizeMax && settings.Height >= kSizeMin && settings.Height <= kSizeMax;
}

// Value names: REG_SZ under HKEY_CURRENT_USER "Control Panel\Mouse", REG_DWORD in the model key.
inline constexpr const char kDoubleClickSpeedName[] = "DoubleClickSpeed";
inline constexpr const char kDoubleClickWidthName[] = "DoubleClickWidth";
inline constexpr const char kDoubleClickHeightName[] = "DoubleClickHeight";

// True when the program's argument text asks for the settings dialog: "/SDC" in any case. Blanks
// around it do not count; any other text, "/SDC x" included, asks for the start-up run.
bool IsDialogCommandLine(std::string_view arguments);

// Where the settings go, one call per step.
class DoubleClickSystem {
 public:
  virtual ~DoubleClickSystem() = default;
  virtual bool SetWidth(int32_t pixels) = 0;
  virtual bool SetHeight(int32_t pixels) = 0;
  virtual bool SetTime(int32_t milliseconds) = 0;
  // The second way of setting the time; its result says nothing.
  virtual void SetDoubleClickTime(int32_t milliseconds) = 0;
  // The user's Windows mouse settings (HKEY_CURRENT_USER "Control Panel\Mouse").
  virtual bool OpenUserMouseKey() = 0;
  virtual bool WriteUserText(const char* name, const std::string& text) = 0;
  virtual void CloseUserMouseKey() = 0;
  // The three values as numbers in the model key; the outcome is not reported.
  virtual void StoreInModelKey(const DoubleClickSettings& settings) = 0;
};

// Applies the settings to Windows, records them in the user's mouse settings and in the model key,
// and returns one letter for each step that failed, in this order: "W", "H", "T" for the three
// Windows settings, "R" when the user's mouse settings cannot be opened (its writes are then
// skipped), "w", "h", "t" for each of those writes. Empty when everything succeeded.
std::string ApplyDoubleClick(const DoubleClickSettings& settings, DoubleClickSystem& system);

// "Fail to SetDoubleClock (" + letters + ")!"
std::string DoubleClickFailureText(const std::string& letters);

// A number as a label shows it: an optional "-" and the digits that follow, up to the first
// other character ("500" -> 500, "12ab" -> 12, "" -> 0). Values beyond the 64-bit range stop there.
int64_t ShownNumber(std::string_view text);

// True unless the bars and the values Windows uses (as shown) all equal the settings in force.
bool DoubleClickChanged(const DoubleClickSettings& bars, const DoubleClickSettings& inForce,
                        int64_t shownSpeed, int64_t shownWidth, int64_t shownHeight);

}  // namespace koral
