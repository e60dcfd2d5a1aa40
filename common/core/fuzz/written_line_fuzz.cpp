// libFuzzer target: the lines the setup tools write from texts they read in the registry, which a
// standard user can set (the model key lets the Users group set values), must read back as the
// same text or not be written at all. The readers are modelled here from the file formats' rules:
// the INF reader of a quoted value (doubled quotes, a NUL read as a blank, a line feed ending the
// line and Ctrl-Z the file, %name% replaced, anything after the closing quote but blanks breaking
// the value), the profile reader (split at the first "=", blanks around the value dropped, one pair
// of matching quotes dropped), and the start of a program's command line (a quoted program path).
// The Wine tests of common/win check the same texts against the system's own readers.
//
// Input: the text as read from the registry (any bytes, up to 10,000 characters and more).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/core/fuzz/require.h"
#include "common/core/ini_text.h"
#include "common/core/launch_rules.h"
#include "common/core/mouse_class_rules.h"

namespace {

using namespace koral;
using fuzz::Require;

bool IsSpace(char c) {
  const auto u = static_cast<unsigned char>(c);
  return c == ' ' || (u >= '\t' && u <= '\r') || u == 0x1A || u == 0xA0;
}

// The profile writer drops blanks around a value.
std::string_view TrimmedValue(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

// What the file holds after a profile write of key=text: the line and whatever follows it.
std::string WrittenLine(std::string_view key, std::string_view text) {
  return std::string(key) + "=" + std::string(TrimmedValue(text)) + "\r\n";
}

// The INF reader's one field of a key="value" line, the form the setup finisher writes: the text
// between the quotes, each doubled quote read as one, a NUL as a blank; the line ends at a line
// feed or Ctrl-Z. Nothing when the line holds anything else after the closing quote but blanks
// (another field, a comment, a "\" joining the next line), or the field would be replaced
// (%name%) or cut (the shortest field limit among the readers, 511 characters).
std::optional<std::string> InfQuotedField(std::string_view line) {
  constexpr size_t kLongestField = 511;
  auto end = [&](size_t at) { return at >= line.size() || line[at] == '\n' || line[at] == 0x1A; };
  size_t i = line.find('=');
  if (i == std::string_view::npos) return std::nullopt;
  for (++i; !end(i) && IsSpace(line[i]);) ++i;
  if (end(i) || line[i] != '"') return std::nullopt;
  std::string field;
  for (++i;; ++i) {
    if (end(i)) return std::nullopt;  // unclosed: the field stops at the line's end
    if (line[i] == '"') {
      if (i + 1 < line.size() && line[i + 1] == '"') {
        field += '"';
        ++i;
        continue;
      }
      break;
    }
    field += line[i] == '\0' ? ' ' : line[i];
  }
  for (++i; !end(i); ++i)
    if (!IsSpace(line[i])) return std::nullopt;
  if (field.size() > kLongestField || field.find('%') != std::string::npos) return std::nullopt;
  return field;
}

// The profile reader's value of a key=value line.
std::string ProfileValue(std::string_view line) {
  std::string_view value = line.substr(line.find('=') + 1);
  const size_t stop = value.find_first_of("\r\n");
  value = TrimmedValue(value.substr(0, stop));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

// The program a command line starts, and what follows it, when the path is quoted.
std::optional<std::pair<std::string, std::string>> QuotedProgram(std::string_view line) {
  if (line.empty() || line.front() != '"') return std::nullopt;
  const size_t close = line.find('"', 1);
  if (close == std::string_view::npos) return std::nullopt;
  return std::pair{std::string(line.substr(1, close - 1)), std::string(line.substr(close + 1))};
}

bool OneLine(std::string_view written) {
  return written.find_first_of(std::string_view("\r\n\0", 3)) == written.size() - 2;
}

bool Plain(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) return false;
  return text.size() <= kLongestPath;
}

void CheckInf(std::string_view value) {
  const auto text = InfStringText(value);
  if (Plain(value) && value.find('%') == std::string_view::npos) Require(text.has_value(), "a plain path is written");
  if (!text) return;
  const std::string line = WrittenLine("InstallPath", *text);
  Require(OneLine(line), "the INF string stays on its one line");
  Require(InfQuotedField(line) == value, "the INF string reads back as the value");

  const auto strings = InfStrings(std::string(value));
  Require(strings.has_value(), "the INF strings are written when the path is");
  for (const auto& [name, written] : *strings) {
    const auto read = InfQuotedField(WrittenLine(name, written));
    Require(read.has_value(), "every INF string reads back as one field");
    if (name == "InstallPath") Require(*read == value, "the installation path reads back whole");
  }
}

void CheckProfile(std::string_view path) {
  const auto text = ProfilePathText(path);
  const bool quoted = path.size() >= 2 && (path.front() == '"' || path.front() == '\'') && path.back() == path.front();
  if (Plain(path) && !quoted && (path.empty() || (path.front() != ' ' && path.back() != ' ')))
    Require(text.has_value(), "a plain path is written");
  if (!text) return;
  const std::string line = WrittenLine("NUL", *text);
  Require(OneLine(line), "the WININIT.INI line stays one line");
  Require(ProfileValue(line) == path, "the WININIT.INI line reads back as the path");
}

void CheckCommandLine(std::string_view folder) {
  const std::string path = std::string(folder) + "\\" + kRightButtonProgram;
  const auto line = ProgramCommandLine(std::string(folder), kRightButtonProgram);
  if (Plain(path) && path.find('"') == std::string::npos) Require(line.has_value(), "a plain folder is started");
  if (!line) return;
  const auto program = QuotedProgram(*line);
  Require(program && program->first == path && program->second.empty(),
          "the command line starts the folder's program and passes nothing else");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckInf(input);
  CheckProfile(input);
  CheckCommandLine(input);
  return 0;
}
