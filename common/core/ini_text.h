// Texts going into and coming out of INI files (the installation's settings, the driver's INF
// file, WININIT.INI), apart from the file calls themselves.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/core/path_limits.h"

namespace koral {

// What a read returned, as the caller sees it: cut at the first NUL, trailing blanks removed.
std::string CleanIniValue(std::string_view returned);

// False for a section, key or value that would not stay on its own line of the file: one that
// holds a line break (which would start a line of its own, a key or section nobody wrote) or a
// NUL (which would cut it short).
bool IniTextIsSafe(std::string_view text);

// The text to write as an INF "Strings" value so that the INF reader gives back exactly `value`:
// in double quotes, each quote in it doubled, so that ";" (a comment), "," (the end of a field),
// blanks at either end and a final "\" (a continued line) stay part of it. Nothing for a value no
// line gives back: one holding a control character (a line break ends the line, Ctrl-Z the file),
// a "%" (the reader puts other strings in place of %name%), or longer than kLongestPath.
std::optional<std::string> InfStringText(std::string_view value);

// The text to write as the value of a profile line ("key=value", as WININIT.INI's) so that the
// profile reader gives back exactly `path`: the path itself. Nothing when the reader would give
// back another text: a control character, a blank at either end (dropped), the same quote at both
// ends (dropped), or more than kLongestPath characters.
std::optional<std::string> ProfilePathText(std::string_view path);

}  // namespace koral
