#include "common/win/ini_file.h"

#include <windows.h>

#include "common/core/ini_text.h"
#include "common/win/utilities.h"

namespace koral {

std::string ReadIniValue(const std::string& file, const std::string& section, const std::string& key) {
  char buffer[255] = {};
  const DWORD length =
      GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer, file.c_str());
  if (length == 0) return {};
  return CleanIniValue(std::string_view(buffer, length < sizeof buffer ? length : sizeof buffer));
}

bool WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) {
  if (!IniTextIsSafe(section) || !IniTextIsSafe(key) || !IniTextIsSafe(value)) return false;
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

bool IniFilePresent(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return FileExists(path);
}

}  // namespace koral
