// Texts going into and coming out of INI files (the installation's settings, the driver's INF
// file, WININIT.INI), apart from the file calls themselves.
#pragma once

#include <string>
#include <string_view>

namespace koral {

// What a read returned, as the caller sees it: cut at the first NUL, trailing blanks removed.
std::string CleanIniValue(std::string_view returned);

// False for a section, key or value that would not stay on its own line of the file: one that
// holds a line break (which would start a line of its own, a key or section nobody wrote) or a
// NUL (which would cut it short).
bool IniTextIsSafe(std::string_view text);

}  // namespace koral
