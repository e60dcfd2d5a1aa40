#include "common/core/command_lines.h"

namespace koral {
namespace {

constexpr std::string_view kBlanks = " \t";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Where the next option starts: the first blank followed (after more blanks) by "/"; the end
// when there is none.
size_t NextOption(std::string_view text) {
  for (size_t at = 0; at < text.size(); ++at) {
    if (!IsBlank(text[at])) continue;
    const auto next = text.find_first_not_of(kBlanks, at);
    if (next == std::string_view::npos) break;
    if (text[next] == '/') return at;
    at = next;
  }
  return text.size();
}

}  // namespace

PanelCommand ParsePanelCommand(std::string_view arguments) {
  arguments = Trimmed(arguments);
  const auto wordEnd = std::min(arguments.find_first_of(kBlanks), arguments.size());
  const std::string_view word = arguments.substr(0, wordEnd);
  PanelCommand command;
  if (SameText(word, "/EXPORT")) {
    command.What = PanelCommand::Kind::Export;
  } else if (SameText(word, "/IMPORT")) {
    command.What = PanelCommand::Kind::Import;
  } else {
    return command;
  }
  const std::string option = command.What == PanelCommand::Kind::Export ? "/EXPORT" : "/IMPORT";
  std::string_view file = Trimmed(arguments.substr(wordEnd));
  if (!file.empty() && file.front() == '"') {
    const auto close = file.find('"', 1);
    if (close == std::string_view::npos) {
      return {PanelCommand::Kind::Usage, {}, option + ": the file name's closing quote is missing"};
    }
    if (close + 1 != file.size()) {
      return {PanelCommand::Kind::Usage, {}, option + ": nothing may follow the quoted file name"};
    }
    file = file.substr(1, close - 1);
  }
  if (file.empty()) return {PanelCommand::Kind::Usage, {}, option + " needs a file name"};
  command.File = std::string(file);
  return command;
}

SetupIniOption ParseSetupIniOption(std::string_view arguments) {
  constexpr std::string_view kOption = "/INI=";
  SetupIniOption found;
  for (size_t at = 0; at + kOption.size() <= arguments.size(); ++at) {
    // The option alone, or the whole option in quotes ("/INI=C:\a b.ini").
    const bool wholeQuoted = at > 0 && arguments[at - 1] == '"' && (at == 1 || IsBlank(arguments[at - 2]));
    if (at > 0 && !IsBlank(arguments[at - 1]) && !wholeQuoted) continue;
    if (!SameText(arguments.substr(at, kOption.size()), kOption)) continue;
    if (found.What != SetupIniOption::Kind::Absent) return {SetupIniOption::Kind::Invalid, {}, "/INI= is given twice"};
    std::string_view rest = arguments.substr(at + kOption.size());
    const bool valueQuoted = !wholeQuoted && !rest.empty() && rest.front() == '"';
    std::string_view file;
    if (wholeQuoted || valueQuoted) {
      const size_t open = valueQuoted ? 1 : 0;
      const auto close = rest.find('"', open);
      if (close == std::string_view::npos) {
        return {SetupIniOption::Kind::Invalid, {}, "/INI=: the file name's closing quote is missing"};
      }
      if (close + 1 < rest.size() && !IsBlank(rest[close + 1])) {
        return {SetupIniOption::Kind::Invalid, {}, "/INI=: nothing may follow the quoted file name but a blank"};
      }
      file = rest.substr(open, close - open);
      at += kOption.size() + close;
    } else {
      const size_t end = NextOption(rest);
      file = rest.substr(0, end);
      at += kOption.size() + end;
    }
    file = Trimmed(file);
    if (file.empty()) return {SetupIniOption::Kind::Invalid, {}, "/INI= names no file"};
    found = {SetupIniOption::Kind::File, std::string(file), {}};
  }
  return found;
}

bool IsNoRestartSetupRun(std::string_view arguments) {
  arguments = Trimmed(arguments);
  const auto wordEnd = std::min(arguments.find_first_of(kBlanks), arguments.size());
  return SameText(arguments.substr(0, wordEnd), "/XPEFBASETUP") &&
         SameText(Trimmed(arguments.substr(wordEnd)), "/NORESTART");
}

std::string_view ArgumentsAfter(std::string_view commandLine, int count) {
  size_t at = 0;
  for (int i = 0; i < count; ++i) {
    while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
    bool quoted = false;
    while (at < commandLine.size() && (quoted || !IsBlank(commandLine[at]))) {
      if (commandLine[at] == '"') quoted = !quoted;
      ++at;
    }
  }
  while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
  return commandLine.substr(at);
}

}  // namespace koral
