// Whole calibration runs played on a synthetic panel: what goes to the driver and what the user
// is shown for every way a run can go, the two safeguards on and off.
#include "common/calibration/calibration_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "common/calibration/session_player.h"
#include "common/core/messages.h"

namespace koral::calibration {
namespace {

using enum SessionOutcome;
using Commands = std::vector<std::string>;

const SyntheticPanel kPanel{5, 40, 1000, 25, 965, 1024, 768, 0};
const NewCalibration kOld{1, 2, 3, 4, 5, 6, 0};

struct Played {
  PanelPlayer device{kPanel};
  RecordingView view;
  CalibrationSession session{device, view};

  void Start(int32_t mode, Safeguards safeguards = {}) {
    session.Start({mode, static_cast<int16_t>(kPanel.Width), static_cast<int16_t>(kPanel.Height), kOld, safeguards});
  }
  bool Saw(const std::string& line) const {
    for (const auto& l : view.Lines)
      if (l == line) return true;
    return false;
  }
};

// What the computation makes of the marks touched exactly.
NewCalibration Exact(int32_t mode) { return ComputeCalibration(MarksTouched(kPanel, mode)).Calibration; }

const Commands kFour = {"orientation", "event 5", "event 5", "event 5", "event 5"};
Commands Then(Commands first, const Commands& more) {
  first.insert(first.end(), more.begin(), more.end());
  return first;
}

TEST(CalibrationSession, EachWayARunGoesSendsItsCommandsAndEndsAsItSays) {
  struct Case {
    const char* name;
    int32_t mode;
    Safeguards safeguards;
    bool heldAtStart;
    std::function<void(Played&)> play;
    SessionOutcome outcome;
    Commands commands;
    size_t writes;  // the first the computed calibration, a second the old one
    std::set<size_t> refused = {};  // the writes the driver refuses
  };
  const auto touchAll = [](Played& r) { TouchAsAsked(r.session, r.device); };
  const Case cases[] = {
      {"corners kept with Yes", kCornerMode, {}, false,
       [&](Played& r) { touchAll(r); r.session.Answer(SessionReply::kYes); },
       kKept, Then(kFour, {"write", "event 0"}), 1},
      {"edges restored with No", kEdgeMode, {}, false,
       [&](Played& r) { touchAll(r); r.session.Answer(SessionReply::kNo); },
       kRestored, Then(kFour, {"write", "event 0", "write"}), 2},
      {"a panel touched at the start is waited for", kCornerMode, {}, true,
       [&](Played& r) {
         r.device.HoldDown(false);
         r.device.Push(500, 500, true);
         r.device.Push(500, 500, false);
         PumpQueued(r.session, r.device);
         touchAll(r);
         r.session.Answer(SessionReply::kYes);
       },
       kKept, Then({"orientation", "event 3"}, {"event 5", "event 5", "event 5", "event 5", "write", "event 0"}), 1},
      {"Escape answered No goes on at the same target", kCornerMode, {}, false,
       [&](Played& r) {
         r.device.TouchAt(15, 15);
         PumpQueued(r.session, r.device);
         r.session.Escape();
         r.session.Answer(SessionReply::kNo);
         touchAll(r);
         r.session.Answer(SessionReply::kYes);
       },
       kKept, {"orientation", "event 5", "event 0", "event 5", "event 5", "event 5", "write", "event 0"}, 1},
      {"Escape answered Yes breaks off", kCornerMode, {}, false,
       [&](Played& r) {
         r.device.TouchAt(15, 15);
         PumpQueued(r.session, r.device);
         r.session.Escape();
         r.session.Answer(SessionReply::kYes);
       },
       kBrokenOff, {"orientation", "event 5", "event 0", "event 4"}, 0},
      {"Escape while the panel is held at the start", kEdgeMode, {}, true,
       [&](Played& r) {
         r.session.Escape();
         r.session.Answer(SessionReply::kYes);
       },
       kBrokenOff, {"orientation", "event 3", "event 0", "event 4"}, 0},
      {"the window closing breaks off, also under the break question", kCornerMode, {}, false,
       [&](Played& r) {
         r.session.Escape();
         r.session.Abort();
         r.session.Answer(SessionReply::kNo);
       },
       kBrokenOff, {"orientation", "event 0", "event 4"}, 0},
      {"the window closing under the keep question changes nothing", kCornerMode, {}, false,
       [&](Played& r) {
         touchAll(r);
         r.session.Abort();
         r.session.Escape();
         r.session.Answer(SessionReply::kYes);
       },
       kKept, Then(kFour, {"write", "event 0"}), 1},
      {"an unsupported mode captures nothing", 2, {}, false, [](Played&) {}, kUnsupportedMode, {"orientation"}, 0},
      {"four touches on one spot give no direction", kCornerMode, {}, false,
       [&](Played& r) { TouchAsAsked(r.session, r.device, {{}, {}, {{-991, 0}}, {{-991, -735}}, {{0, -735}}}); },
       kNotComputed, kFour, 0},
      {"without the safeguard a misplaced touch is taken", kCornerMode, {}, false,
       [&](Played& r) {
         TouchAsAsked(r.session, r.device, {{}, {}, {}, {{-80, -60}}});
         r.session.Answer(SessionReply::kYes);
       },
       kKept, Then(kFour, {"write", "event 0"}), 1},
      {"a misplaced touch is asked again", kCornerMode, {20, {}}, false,
       [&](Played& r) {
         TouchAsAsked(r.session, r.device, {{}, {}, {}, {{-80, -60}}});
         r.session.Answer(SessionReply::kYes);
       },
       kKept, Then(kFour, {"event 5", "write", "event 0"}), 1},
      {"three rounds of misplaced touches end the run", kEdgeMode, {20, {}}, false,
       [&](Played& r) {
         TouchAsAsked(r.session, r.device, {{}, {}, {}, {}, {}, {}, {}, {}, {{0, -90}, {0, -90}, {0, -90}}});
       },
       kTouchesDoNotFit, Then(kFour, {"event 5", "event 5", "event 5", "event 5", "event 4"}), 0},
      {"an unanswered keep question restores after its seconds", kCornerMode, {{}, 5}, false,
       [&](Played& r) {
         touchAll(r);
         for (int i = 0; i < 7; ++i) r.session.Tick();
         r.session.Answer(SessionReply::kOk);
         r.session.Answer(SessionReply::kYes);
       },
       kRestoredUnanswered, Then(kFour, {"write", "event 0", "write"}), 2},
      {"an answer in time stops the count", kCornerMode, {{}, 5}, false,
       [&](Played& r) {
         touchAll(r);
         r.session.Tick();
         r.session.Answer(SessionReply::kYes);
         for (int i = 0; i < 7; ++i) r.session.Tick();
       },
       kKept, Then(kFour, {"write", "event 0"}), 1},
      {"new values the driver refuses are told and not offered for keeping", kCornerMode, {{}, 5}, false,
       [&](Played& r) {
         touchAll(r);
         for (int i = 0; i < 7; ++i) r.session.Tick();
       },
       kNewValuesRefused, Then(kFour, {"write", "event 0"}), 1, {0}},
      {"old values the driver refuses after No are told", kEdgeMode, {}, false,
       [&](Played& r) { touchAll(r); r.session.Answer(SessionReply::kNo); },
       kOldValuesRefused, Then(kFour, {"write", "event 0", "write"}), 2, {1}},
      {"old values the driver refuses when the time ran out are told", kCornerMode, {{}, 5}, false,
       [&](Played& r) {
         touchAll(r);
         for (int i = 0; i < 7; ++i) r.session.Tick();
       },
       kOldValuesRefused, Then(kFour, {"write", "event 0", "write"}), 2, {1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Played r;
    r.device.RefusedWrites = c.refused;
    r.device.HoldDown(c.heldAtStart);
    r.Start(c.mode, c.safeguards);
    c.play(r);
    r.session.Answer(SessionReply::kOk);  // acknowledges a notice; ignored otherwise
    EXPECT_TRUE(r.session.Finished());
    EXPECT_EQ(r.session.Outcome(), c.outcome);
    EXPECT_EQ(r.device.Commands, c.commands);
    ASSERT_EQ(r.device.Writes.size(), c.writes);
    if (c.writes >= 1) {
      EXPECT_EQ(r.device.Writes[0], ComputeCalibration(r.session.Input()).Calibration);
      if (c.safeguards.TouchTolerance) EXPECT_EQ(r.device.Writes[0], Exact(c.mode));
    }
    if (c.writes == 2) EXPECT_EQ(r.device.Writes[1], kOld);
    // A refusal is told, and a refused new calibration is never offered for keeping.
    if (c.outcome == kNewValuesRefused) {
      EXPECT_TRUE(r.Saw("tell " + std::string(kCalibrationSaveFailureText)));
      EXPECT_FALSE(r.Saw("ask keep 5"));
    }
    if (c.outcome == kOldValuesRefused) EXPECT_TRUE(r.Saw("tell " + std::string(kCalibrationRestoreFailureText)));
    if (c.outcome == kRestored || c.outcome == kKept) EXPECT_EQ(r.view.Lines.back().rfind("tell ", 0), std::string::npos);
  }
}

TEST(CalibrationSession, TheUserSeesEachStepOfARun) {
  struct Case {
    const char* name;
    Safeguards safeguards;
    TouchOffsets offsets;
    int ticks;
    std::vector<std::string> seen;  // in this order, other lines between
  };
  const Case cases[] = {
      {"plain run",
       {},
       {},
       0,
       {"mark 1 on", "prompt TOP-LEFT", "mark 1 off", "lift NEXT STEP!", "mark 2 on", "prompt TOP-RIGHT",
        "mark 4 on", "prompt DOWN-LEFT", "mark 4 off", "ask keep 0"}},
      {"the misfit is asked again at its own mark",
       {20, {}},
       {{}, {}, {{30, 40}}},
       0,
       {"mark 4 off", "mark 2 on", "again TOP-RIGHT", "mark 2 off", "ask keep 0"}},
      {"the keep question counts down and says why the old values came back",
       {{}, 3},
       {},
       3,
       {"ask keep 3", "time 2", "time 1", "withdraw",
        "tell No answer came in time: the old calibration is restored."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Played r;
    r.Start(kCornerMode, c.safeguards);
    TouchAsAsked(r.session, r.device, c.offsets);
    for (int i = 0; i < c.ticks; ++i) r.session.Tick();
    size_t at = 0;
    for (const std::string& line : r.view.Lines)
      if (at < c.seen.size() && line == c.seen[at]) ++at;
    EXPECT_EQ(at, c.seen.size()) << "missing: " << (at < c.seen.size() ? c.seen[at] : "");
  }
}

TEST(CalibrationSession, EscapeAsksOnlyWhileATouchIsAwaitedAndRestoresOnlyAMarkStillAwaited) {
  Played r;
  r.Start(kCornerMode);
  r.device.HoldDown(true);
  const PanelPoint topLeft = kPanel.Touch(15, 15);
  for (int i = 0; i < 3; ++i) r.device.Push(topLeft.X, topLeft.Y, true);
  PumpQueued(r.session, r.device);  // taken, still held: the lift-off wait
  r.session.Escape();
  r.session.Escape();  // one question at a time
  r.session.Answer(SessionReply::kNo);
  EXPECT_EQ(r.device.Commands, (Commands{"orientation", "event 5", "event 0"}));
  EXPECT_NE(r.view.Lines.back(), "mark 1 on");
  r.device.HoldDown(false);
  TouchAsAsked(r.session, r.device);
  r.session.Escape();  // under the keep question: nothing
  EXPECT_EQ(r.device.Commands.back(), "event 0");
  EXPECT_EQ(std::count(r.device.Commands.begin(), r.device.Commands.end(), "event 0"), 2);
}

TEST(CalibrationSession, AResolutionTheComputationRejectsIsReportedWithItsReason) {
  PanelPlayer device{kPanel};
  RecordingView view;
  CalibrationSession session{device, view};
  session.Start({kCornerMode, 20, 20, kOld, {}});
  TouchAsAsked(session, device);
  EXPECT_EQ(session.Outcome(), kNotComputed);
  ASSERT_FALSE(view.Lines.empty());
  EXPECT_EQ(view.Lines.back().rfind("tell ", 0), 0u);
  EXPECT_FALSE(session.Finished());  // until the message is acknowledged
  session.Answer(SessionReply::kYes);
  EXPECT_TRUE(session.Finished());
  EXPECT_TRUE(device.Writes.empty());
}

TEST(CalibrationSessionTexts, QuestionsAndPromptsReadAsTheSuiteWritesThem) {
  EXPECT_EQ(KeepQuestionText(0),
            "CALIBRATION IS COMPLETE.\r\rFor test, touch on the screen and check cursor position.\r"
            "To save new calibration, click Yes button.\rTo restore old calibration, click No button.");
  EXPECT_EQ(KeepQuestionText(15), KeepQuestionText(0) + "\r\rWithout an answer the old calibration comes back in 15 seconds.");
  EXPECT_EQ(KeepQuestionText(1), KeepQuestionText(0) + "\r\rWithout an answer the old calibration comes back in 1 second.");
  EXPECT_EQ(NoticeText(SessionNotice::kUnsupportedMode, 2), "Fail to calibration! ( mode 2 not support )");
  EXPECT_EQ(NoticeText(SessionNotice::kNotComputed, 0, "why"), "why");
  const PromptLines first = TouchPromptLines("TOP-LEFT", false), again = TouchPromptLines("TOP-LEFT", true);
  EXPECT_EQ(first.First, "Please touch on the center of Cross Mark that");
  EXPECT_EQ(again.First, "Touch again on the center of Cross Mark that");
  EXPECT_EQ(first.Second, "show on the TOP-LEFT of the screen");
  EXPECT_EQ(again.Second, first.Second);
}

TEST(Safeguards, AValueOutsideItsRangeOrAbsentLeavesItsSafeguardOff) {
  struct Case {
    std::optional<int32_t> tolerance, seconds;
    std::optional<int16_t> wantTolerance, wantSeconds;
  };
  const Case cases[] = {
      {{}, {}, {}, {}},
      {1, 5, 1, 5},
      {255, 300, 255, 300},
      {0, 4, {}, {}},
      {256, 301, {}, {}},
      {-1, -15, {}, {}},
      {65556, 65541, {}, {}},  // would wrap to a valid 16-bit number
  };
  for (const Case& c : cases) {
    const Safeguards s = SafeguardsOf(c.tolerance, c.seconds);
    EXPECT_EQ(s.TouchTolerance, c.wantTolerance);
    EXPECT_EQ(s.KeepSeconds, c.wantSeconds);
  }
}

}  // namespace
}  // namespace koral::calibration
