#include "common/core/ini_text.h"

#include <algorithm>

namespace koral {
namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

bool HasControl(std::string_view text) { return std::any_of(text.begin(), text.end(), IsControl); }

// What the profile reader trims: the space, and the no-break space of the ANSI code page.
bool IsBlank(char c) { return c == ' ' || static_cast<unsigned char>(c) == 0xA0; }

bool IsQuote(char c) { return c == '"' || c == '\''; }

}  // namespace

std::string CleanIniValue(std::string_view returned) {
  const auto nul = returned.find('\0');
  if (nul != std::string_view::npos) returned = returned.substr(0, nul);
  const auto last = returned.find_last_not_of(' ');
  return std::string(last == std::string_view::npos ? std::string_view() : returned.substr(0, last + 1));
}

bool IniTextIsSafe(std::string_view text) { return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos; }

std::optional<std::string> InfStringText(std::string_view value) {
  if (value.size() > kLongestPath || HasControl(value) || value.find('%') != std::string_view::npos) return std::nullopt;
  std::string text = "\"";
  for (char c : value) {
    if (c == '"') text += '"';
    text += c;
  }
  return text + '"';
}

std::optional<std::string> ProfilePathText(std::string_view path) {
  if (path.size() > kLongestPath || HasControl(path)) return std::nullopt;
  if (!path.empty() && (IsBlank(path.front()) || IsBlank(path.back()))) return std::nullopt;
  if (path.size() >= 2 && IsQuote(path.front()) && path.back() == path.front()) return std::nullopt;
  return std::string(path);
}

}  // namespace koral
