#include "common/calibration/calibration_computation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace koral::calibration {
namespace {

using ::testing::HasSubstr;

CalibrationInput Input(int32_t mode, std::array<PanelPoint, 4> points, int16_t width = 1024,
                       int16_t height = 768, int16_t orientation = 0) {
  CalibrationInput in;
  in.CalibrationMode = mode;
  in.OrientationCode = orientation;
  in.ResolutionX = width;
  in.ResolutionY = height;
  const int first = mode == kEdgeMode ? 5 : 1;
  for (int i = 0; i < 4; ++i) {
    in.PointX[first + i] = points[i].X;
    in.PointY[first + i] = points[i].Y;
  }
  return in;
}

struct ComputedCase {
  const char* name;
  CalibrationInput input;
  const char* firstPattern;
  const char* secondPattern;
  NewCalibration expected;  // left, centre, right, top, centre, bottom, direction
};

TEST(ComputeCalibration, WorkedExamples) {
  const ComputedCase cases[] = {
      {"corners, panel as the screen",
       Input(kCornerMode, {{{100, 120}, {920, 118}, {922, 900}, {98, 902}}}),
       "00101101", "", {86, 510, 934, 102, 510, 918, 0}},
      {"corners, wires exchanged",
       Input(kCornerMode, {{{120, 100}, {118, 920}, {900, 922}, {902, 98}}}),
       "00011110", "00101101", {86, 510, 934, 102, 510, 918, 4}},
      {"corners, X mirrored on 800 x 600",
       Input(kCornerMode, {{{880, 140}, {140, 142}, {138, 870}, {882, 868}}}, 800, 600),
       "10000111", "", {127, 513, 899, 120, 505, 890, 1}},
      {"halves of the extension go to the even neighbour",
       Input(kCornerMode, {{{100, 120}, {936, 118}, {936, 900}, {100, 902}}}),
       "00101101", "", {86, 518, 950, 102, 510, 918, 0}},
      {"readings at the very corners are clamped to the raw range",
       Input(kCornerMode, {{{0, 0}, {1023, 0}, {1023, 1023}, {0, 1023}}}),
       "00101101", "", {0, 511, 1023, 0, 511, 1023, 0}},
      {"edge midpoints",
       Input(kEdgeMode, {{{510, 60}, {960, 400}, {512, 950}, {62, 398}}}),
       "00101101", "", {47, 511, 975, 45, 399, 974, 0}},
      {"edge midpoints on an odd-sized screen halve it without truncation",
       Input(kEdgeMode, {{{510, 60}, {960, 400}, {512, 950}, {62, 398}}}, 645, 481),
       "00101101", "", {39, 511, 983, 36, 399, 989, 0}},
      {"orientation 1 turns the points before the direction test",
       Input(kCornerMode, {{{98, 902}, {100, 120}, {920, 118}, {922, 900}}}, 1024, 768, 1),
       "11010010", "", {89, 513, 937, 105, 513, 921, 3}},
      {"orientation 7 is taken as 0",
       Input(kCornerMode, {{{100, 120}, {920, 118}, {922, 900}, {98, 902}}}, 1024, 768, 7),
       "00101101", "", {86, 510, 934, 102, 510, 918, 0}},
      // Mirrored X of TOP-LEFT and DOWN-LEFT are -7 and -4: their mean truncates to -5, not -6.
      {"readings just beyond the range compute, halving toward zero",
       Input(kCornerMode, {{{1030, 140}, {-5, 142}, {-3, 870}, {1027, 868}}}, 800, 600),
       "10000111", "", {0, 511, 1023, 120, 505, 890, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CalibrationResult r = ComputeCalibration(c.input);
    ASSERT_TRUE(r.Succeeded()) << r.Reason;
    EXPECT_EQ(r.FirstPattern, c.firstPattern);
    EXPECT_EQ(r.SecondPattern, c.secondPattern);
    EXPECT_EQ(r.Calibration, c.expected);
    EXPECT_EQ(r.OrientationCode, c.input.OrientationCode == 7 ? 0 : c.input.OrientationCode);
    EXPECT_TRUE(r.Reason.empty());
  }
}

TEST(ComputeCalibration, UnrecognisedDirectionReportsBothPatterns) {
  const CalibrationResult r = ComputeCalibration(
      Input(kCornerMode, {{{100, 120}, {300, 118}, {922, 900}, {98, 902}}}, 1024, 768, -3));
  EXPECT_EQ(r.Outcome, CalibrationOutcome::kDirectionNotRecognised);
  EXPECT_EQ(r.FirstPattern, "00001101");
  EXPECT_EQ(r.SecondPattern, "00001110");
  EXPECT_EQ(r.Reason,
            "Incorrect Panel Direction! (00001101-00001110)\r\n\r\n"
            "Please checkout the pinout of your touch panel.");
  EXPECT_EQ(r.OrientationCode, 0);
}

TEST(ComputeCalibration, ReadsOnlyTheFourPointsOfTheMode) {
  CalibrationInput in = Input(kEdgeMode, {{{510, 60}, {960, 400}, {512, 950}, {62, 398}}});
  for (int slot : {0, 1, 2, 3, 4, 9, 17, 25}) {
    in.PointX[slot] = -32768;
    in.PointY[slot] = 32767;
  }
  const CalibrationResult r = ComputeCalibration(in);
  ASSERT_TRUE(r.Succeeded()) << r.Reason;
  EXPECT_EQ(r.Calibration, (NewCalibration{47, 511, 975, 45, 399, 974, 0}));
}

struct RejectedCase {
  const char* name;
  CalibrationInput input;
  CalibrationOutcome outcome;
  const char* reasonPart;
};

CalibrationInput WithPoint(CalibrationInput in, int slot, int16_t x, int16_t y) {
  in.PointX[slot] = x;
  in.PointY[slot] = y;
  return in;
}

TEST(ComputeCalibration, InputsWithoutADefinedAnswerAreRejected) {
  const CalibrationInput corners =
      Input(kCornerMode, {{{100, 120}, {920, 118}, {922, 900}, {98, 902}}});
  const CalibrationInput edges = Input(kEdgeMode, {{{510, 60}, {960, 400}, {512, 950}, {62, 398}}});
  auto mode = [&](int32_t m) { CalibrationInput in = corners; in.CalibrationMode = m; return in; };
  auto screen = [](CalibrationInput in, int16_t w, int16_t h) {
    in.ResolutionX = w;
    in.ResolutionY = h;
    return in;
  };
  using enum CalibrationOutcome;
  const RejectedCase cases[] = {
      {"mode 2", mode(2), kUnsupportedMode, "mode 2"},
      {"mode -1", mode(-1), kUnsupportedMode, "mode -1"},
      {"width 32 in corner mode", screen(corners, 32, 768), kResolutionTooSmall, "32 x 768"},
      {"height 32 in edge mode", screen(edges, 1024, 32), kResolutionTooSmall, "1024 x 32"},
      {"zero width", screen(corners, 0, 768), kResolutionTooSmall, "0 x 768"},
      {"negative height", screen(edges, 640, -480), kResolutionTooSmall, "640 x -480"},
      {"X just above the accepted range", WithPoint(corners, 3, 1280, 900), kReadingOutOfRange,
       "DOWN-RIGHT reading X = 1280"},
      {"Y just below the accepted range", WithPoint(corners, 1, 100, -257), kReadingOutOfRange,
       "TOP-LEFT reading Y = -257"},
      {"far outside, edge mode", WithPoint(edges, 8, -32768, 398), kReadingOutOfRange,
       "LEFT reading X = -32768"},
      {"far outside, overflow in the sum", WithPoint(edges, 7, 32767, 950), kReadingOutOfRange,
       "DOWN reading X = 32767"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CalibrationResult r = ComputeCalibration(c.input);
    EXPECT_EQ(r.Outcome, c.outcome);
    EXPECT_THAT(r.Reason, HasSubstr(c.reasonPart));
    EXPECT_EQ(r.Calibration, NewCalibration{});
  }
  EXPECT_TRUE(ComputeCalibration(screen(edges, 33, 33)).Succeeded());
  EXPECT_TRUE(ComputeCalibration(WithPoint(corners, 3, kHighestReading, 900)).Succeeded());
  EXPECT_TRUE(ComputeCalibration(WithPoint(corners, 1, 100, kLowestReading)).Succeeded());
}

TEST(DirectionPattern, ComparesEachValueWithHalfRangeSigned) {
  EXPECT_EQ(BuildDirectionPattern({{{511, 512}, {-1, 1023}, {-32768, 32767}, {512, 0}}}),
            "01010110");
  for (const char* unknown : {"", "0010110", "001011010", "00101100", "0010110x"})
    EXPECT_EQ(DecodeDirectionPattern(unknown), kUnrecognisedDirection) << unknown;
}

}  // namespace
}  // namespace koral::calibration
