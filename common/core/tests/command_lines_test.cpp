#include "common/core/command_lines.h"

#include <gtest/gtest.h>

namespace koral {

void PrintTo(const PanelCommand& c, std::ostream* out) {
  *out << "{" << static_cast<int>(c.What) << ", \"" << c.File << "\", \"" << c.Problem << "\"}";
}
void PrintTo(const SetupIniOption& o, std::ostream* out) {
  *out << "{" << static_cast<int>(o.What) << ", \"" << o.File << "\", \"" << o.Problem << "\"}";
}

namespace {

using Kind = PanelCommand::Kind;

TEST(ParsePanelCommand, ChoosesTheCommandByItsFirstWordAndTakesTheFileAsGiven) {
  struct Case {
    const char* Arguments;
    PanelCommand Expected;
  };
  for (const auto& c : {
           Case{"", {}},
           Case{"   ", {}},
           Case{"/SDC", {}},
           Case{"/EXPORTX a.ini", {}},
           Case{"export a.ini", {}},
           Case{"/EXPORT a.ini", {Kind::Export, "a.ini", ""}},
           Case{"  /export   C:\\a b\\c.ini  ", {Kind::Export, "C:\\a b\\c.ini", ""}},
           Case{"/Import \"C:\\Fleet Settings\\pc.ini\"", {Kind::Import, "C:\\Fleet Settings\\pc.ini", ""}},
           Case{"/IMPORT\t\"x.ini\"  ", {Kind::Import, "x.ini", ""}},
           Case{"/EXPORT", {Kind::Usage, "", "/EXPORT needs a file name"}},
           Case{"/import \"\"", {Kind::Usage, "", "/IMPORT needs a file name"}},
           Case{"/IMPORT \"a.ini", {Kind::Usage, "", "/IMPORT: the file name's closing quote is missing"}},
           Case{"/IMPORT \"a.ini\" b", {Kind::Usage, "", "/IMPORT: nothing may follow the quoted file name"}},
       }) {
    EXPECT_EQ(ParsePanelCommand(c.Arguments), c.Expected) << '"' << c.Arguments << '"';
  }
}

TEST(ParseSetupIniOption, FindsTheFileBetweenTheOtherOptions) {
  using K = SetupIniOption::Kind;
  struct Case {
    const char* Arguments;
    SetupIniOption Expected;
  };
  for (const auto& c : {
           Case{"", {}},
           Case{"/S /TRIALDRIVER /D=C:\\x", {}},
           Case{"/S /D=C:\\x/INI=y", {}},
           Case{"/INI=fleet.ini", {K::File, "fleet.ini", ""}},
           Case{"/S /ini=C:\\Fleet Settings\\pc.ini /NORESTART /D=C:\\TS", {K::File, "C:\\Fleet Settings\\pc.ini", ""}},
           Case{"/S /INI=\"C:\\a /b\\pc.ini\" /D=C:\\TS", {K::File, "C:\\a /b\\pc.ini", ""}},
           Case{"/S\t/INI=\\\\server\\share\\pc.ini  ", {K::File, "\\\\server\\share\\pc.ini", ""}},
           Case{"/S \"/INI=\\\\server\\deploy share\\pc.ini\" /NORESTART", {K::File, "\\\\server\\deploy share\\pc.ini", ""}},
           Case{"\"/ini=a b.ini\"", {K::File, "a b.ini", ""}},
           Case{"x\"/INI=a.ini\"", {}},
           Case{"/INI=", {K::Invalid, "", "/INI= names no file"}},
           Case{"/INI= /S", {K::Invalid, "", "/INI= names no file"}},
           Case{"/INI=\"\"", {K::Invalid, "", "/INI= names no file"}},
           Case{"/INI=\"a.ini", {K::Invalid, "", "/INI=: the file name's closing quote is missing"}},
           Case{"/INI=\"a.ini\"b", {K::Invalid, "", "/INI=: nothing may follow the quoted file name but a blank"}},
           Case{"/INI=a.ini /INI=b.ini", {K::Invalid, "", "/INI= is given twice"}},
       }) {
    EXPECT_EQ(ParseSetupIniOption(c.Arguments), c.Expected) << '"' << c.Arguments << '"';
  }
}

TEST(ArgumentsAfter, SkipsTheHelpersOwnArgumentsQuotedOrNot) {
  EXPECT_EQ(ArgumentsAfter("\"C:\\t m p\\helper.exe\" stage-ini \"C:\\t m p\" /S /INI=\"a b.ini\"", 3),
            "/S /INI=\"a b.ini\"");
  EXPECT_EQ(ArgumentsAfter("helper.exe  stage-ini   dir", 3), "");
  EXPECT_EQ(ArgumentsAfter("helper.exe", 3), "");
  EXPECT_EQ(ArgumentsAfter("a b c", 0), "a b c");
}

TEST(IsNoRestartSetupRun, IsTheSilentRunWithNoRestartAlone) {
  for (const char* args : {"/XPEFBASETUP /NORESTART", " /xpefbasetup\t /norestart ", "/XpefBaSetup /NoRestart"})
    EXPECT_TRUE(IsNoRestartSetupRun(args)) << args;
  for (const char* args : {"", "/XPEFBASETUP", "/NORESTART", "/NORESTART /XPEFBASETUP", "/XPEFBASETUP /NORESTART x",
                           "/XPEFBASETUP/NORESTART"})
    EXPECT_FALSE(IsNoRestartSetupRun(args)) << args;
}

}  // namespace
}  // namespace koral
