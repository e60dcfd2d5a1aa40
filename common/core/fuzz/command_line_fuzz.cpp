// libFuzzer target: the command lines of the suite's programs and of the setup helper. Anyone
// who can start a program can give it any arguments: a shortcut, a script, another program.
//
// Input: any bytes. Programs read their command line as one text (WinMain's argument text); the
// setup helper reads its arguments one by one (argv), which the input gives separated by NUL.
// Each reader is one line of kReaders; a program that comes to read options adds its own.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/core/double_click.h"
#include "common/core/fuzz/require.h"
#include "common/core/helper_command.h"
#include "common/core/mouse_class_rules.h"

namespace {

using namespace koral;
using fuzz::Require;

std::vector<std::string> Arguments(std::string_view input) {
  std::vector<std::string> arguments;
  if (input.empty()) return arguments;
  for (size_t from = 0;;) {
    const size_t end = input.find('\0', from);
    arguments.emplace_back(input.substr(from, end - from));
    if (end == std::string_view::npos) return arguments;
    from = end + 1;
  }
}

std::string HelperDecision(std::string_view input) {
  const std::vector<std::string> arguments = Arguments(input);
  const HelperCall call = ParseHelperCall(arguments);
  if (call.Command == HelperCommand::kUsage) return "usage";
  Require(call.Files == std::vector<std::string>(arguments.begin() + 1, arguments.end()),
          "the helper's files are its arguments after the command, as given");
  std::string decision = "command " + std::to_string(static_cast<int>(call.Command));
  for (const std::string& file : call.Files) decision += '|' + file;
  return decision;
}

enum class Form {
  kText,       // WinMain's argument text: blanks around it are not part of any option
  kArguments,  // argv, one argument after the other
};

struct Reader {
  const char* Program;
  Form Reads;
  std::string (*Decide)(std::string_view input);
};

const Reader kReaders[] = {
    {"KORALpao", Form::kText, [](std::string_view s) { return std::string(IsDialogCommandLine(s) ? "dialog" : "run"); }},
    {"KORALpdi", Form::kText, [](std::string_view s) { return std::string(IsSilentSetupRun(s) ? "silent" : "progress"); }},
    {"setup_helper", Form::kArguments, HelperDecision},
};

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return upper;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  for (const Reader& reader : kReaders) {
    const std::string decision = reader.Decide(input);
    Require(reader.Decide(input) == decision, "the same command line, the same decision");
    if (reader.Reads == Form::kText) {
      const std::string padded = " \t" + std::string(input) + "\t ";
      Require(reader.Decide(padded) == decision, "blanks around the text change nothing");
    }
  }
  // The two options are the whole text, in any case, and nothing else.
  Require(IsDialogCommandLine(input) == (Upper(Trimmed(input)) == "/SDC"), "/SDC alone asks for the dialog");
  Require(IsSilentSetupRun(input) == (Upper(Trimmed(input)) == "/XPEFBASETUP"), "/XPEFBASETUP alone runs silently");
  return 0;
}
