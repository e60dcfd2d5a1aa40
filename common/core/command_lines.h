// The command lines with which administrators carry settings from PC to PC: the control panel's
// "/EXPORT file" and "/IMPORT file", the setup program's "/INI=file", and how the setup's helper
// finds the setup's own arguments behind its own.
#pragma once

#include <string>
#include <string_view>

namespace koral {

// What the control panel's argument text asks for.
struct PanelCommand {
  enum class Kind {
    Window,  // no command of ours: the control panel's window, as always
    Export,  // "/EXPORT file"
    Import,  // "/IMPORT file"
    Usage,   // "/EXPORT" or "/IMPORT" without a usable file name; Problem says why
  };
  Kind What = Kind::Window;
  std::string File;
  std::string Problem;
  friend bool operator==(const PanelCommand&, const PanelCommand&) = default;
};

// The first word, in any case, chooses: "/EXPORT" or "/IMPORT", then the file: in double quotes
// (nothing may follow the closing quote), or else the rest of the text without the blanks around
// it, so that an unquoted path with blanks works too. Any other first word, or none, is the
// window.
PanelCommand ParsePanelCommand(std::string_view arguments);

// The setup program's "/INI=" option in its argument text.
struct SetupIniOption {
  enum class Kind {
    Absent,   // no "/INI=": the package's own setup.ini
    File,     // the file to install in its place
    Invalid,  // Problem says why
  };
  Kind What = Kind::Absent;
  std::string File;
  std::string Problem;
  friend bool operator==(const SetupIniOption&, const SetupIniOption&) = default;
};

// "/INI=" in any case, at the start or after a blank; the file in double quotes, or the whole
// option in them ("/INI=file"), or else up to the next blank followed by "/" (the next option) or
// the end, blanks around it dropped. Given twice, with no file, or with a quote left open, it is
// invalid.
SetupIniOption ParseSetupIniOption(std::string_view arguments);

// The setup finisher's run for deployment tools, which restart the PC themselves: "/XPEFBASETUP
// /NORESTART" in any case, with blanks between and around the two words, is the silent run
// without the final message and the restart. Anything else leaves the finisher's own rule.
bool IsNoRestartSetupRun(std::string_view arguments);

// The text of a Windows command line behind its first `count` arguments (the program's own
// arguments, each a word or a double-quoted text), with the blanks before it dropped: what the
// setup's helper was handed of the setup's own command line, as the setup received it.
std::string_view ArgumentsAfter(std::string_view commandLine, int count);

}  // namespace koral
