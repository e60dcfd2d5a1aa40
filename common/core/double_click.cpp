#include "common/core/double_click.h"

#include <limits>

namespace koral {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool IsDialogCommandLine(std::string_view arguments) {
  constexpr std::string_view kDialogOption = "/SDC";
  const std::string_view text = Trimmed(arguments);
  if (text.size() != kDialogOption.size()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (Upper(text[i]) != kDialogOption[i]) return false;
  return true;
}

std::string ApplyDoubleClick(const DoubleClickSettings& settings, DoubleClickSystem& system) {
  std::string letters;
  if (!system.SetWidth(settings.Width)) letters += 'W';
  if (!system.SetHeight(settings.Height)) letters += 'H';
  if (!system.SetTime(settings.Speed)) letters += 'T';
  system.SetDoubleClickTime(settings.Speed);
  if (!system.OpenUserMouseKey()) return letters + 'R';
  if (!system.WriteUserText(kDoubleClickWidthName, std::to_string(settings.Width))) letters += 'w';
  if (!system.WriteUserText(kDoubleClickHeightName, std::to_string(settings.Height))) letters += 'h';
  if (!system.WriteUserText(kDoubleClickSpeedName, std::to_string(settings.Speed))) letters += 't';
  system.CloseUserMouseKey();
  system.StoreInModelKey(settings);
  return letters;
}

std::string DoubleClickFailureText(const std::string& letters) { return "Fail to SetDoubleClock (" + letters + ")!"; }

int64_t ShownNumber(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 10;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9' || value >= kLimit) break;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

bool DoubleClickChanged(const DoubleClickSettings& bars, const DoubleClickSettings& inForce, int64_t shownSpeed,
                        int64_t shownWidth, int64_t shownHeight) {
  return !(bars == inForce && shownSpeed == inForce.Speed && shownWidth == inForce.Width &&
           shownHeight == inForce.Height);
}

}  // namespace koral
