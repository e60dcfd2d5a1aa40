// The restart request without restarting: the system call is replaced, the privilege is real.
#include <gtest/gtest.h>

#include "common/core/titles.h"
#include "common/win/handles.h"
#include "common/win/restart.h"
#include "tests/support/fake_boxes.h"

namespace koral {
namespace {

struct Request {
  UINT Flags;
  DWORD Reason;
};
std::vector<Request> g_requests;
BOOL g_answer = TRUE;

BOOL WINAPI FakeExitWindows(UINT flags, DWORD reason) {
  g_requests.push_back({flags, reason});
  return g_answer;
}

bool ShutdownPrivilegeEnabled() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  const UniqueHandle owned(token);
  PRIVILEGE_SET set{};
  set.PrivilegeCount = 1;
  set.Control = PRIVILEGE_SET_ALL_NECESSARY;
  if (!LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &set.Privilege[0].Luid)) return false;
  BOOL held = FALSE;
  return PrivilegeCheck(token, &set, &held) && held;
}

TEST(RestartWindows, AsksForARebootWithTheShutdownPrivilegeOrSaysItWasRefused) {
  struct Case {
    BOOL Answer;
    bool Expected;
    std::vector<std::string> Boxes;
  };
  for (const auto& c : {Case{TRUE, true, {}}, Case{FALSE, false, {"Fail to restart system! (ExitWindowsEx=0)"}}}) {
    test::FakeMessageBoxes boxes;
    g_requests.clear();
    g_answer = c.Answer;
    EXPECT_EQ(RestartWindows(kUninstallerTitle, FakeExitWindows), c.Expected);
    ASSERT_EQ(g_requests.size(), 1u);
    EXPECT_EQ(g_requests[0].Flags, static_cast<UINT>(EWX_REBOOT));
    EXPECT_EQ(g_requests[0].Reason, 0u);
    EXPECT_TRUE(ShutdownPrivilegeEnabled()) << "enabled before the request";
    std::vector<std::string> texts;
    for (const auto& box : boxes.shown) {
      texts.push_back(box.Text);
      EXPECT_EQ(box.Caption, kUninstallerTitle);
      EXPECT_EQ(box.Flags, static_cast<UINT>(MB_OK));
    }
    EXPECT_EQ(texts, c.Boxes);
  }
}

}  // namespace
}  // namespace koral
