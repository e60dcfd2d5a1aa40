// INI-file access of the setup tools: the installation's "setup.ini" and "setup.oem", the driver's
// INF file and WININIT.INI.
#pragma once

#include <string>

namespace koral {

// The key's text (at most 255 characters), cut at its first NUL and without trailing blanks;
// empty when the file, section or key is missing.
std::string ReadIniValue(const std::string& file, const std::string& section, const std::string& key);

// Writes key=value into the section; true when the system reports success. A section, key or
// value holding a line break or a NUL is refused (false, nothing written): it would add lines,
// keys or sections of its own to the file.
bool WriteIniValue(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value);

// The file can be opened for reading; a trailing "\" of the path is dropped first.
bool IniFilePresent(std::string path);

}  // namespace koral
