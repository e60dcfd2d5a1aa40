// libFuzzer target: a calibration run fed any stream of samples, touches, Escapes, closings,
// answers and seconds must end in one of its outcomes once the stream is over, and whatever it
// sends the driver must be what it computed from touches it was given (or the old values).
//
// Input layout: byte 0 chooses the mode (low two bits: corners, edges, 2, -1), the safeguards
// (bit 2 the touch check, bit 3 the keep time), a panel held at the start (bit 4) and the driver
// refusing the new values (bit 5) or the old ones back (bit 6); byte 1 the
// tolerance, byte 2 the keep seconds; then one step per byte, its low three bits saying what:
//   0 a raw touched sample (two more bytes: X and Y, 0..1020 in steps of 4; bit 3 repeats the counter)
//   1 an untouched sample      2 a touch on the awaited mark, off by (byte - 128) / 2 pixels
//   3 Escape    4 the window closing    5 an answer (bits 3..4: Yes, No, OK)    6 a second
//   7 the session reads what is queued
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <utility>

#include "common/calibration/calibration_session.h"
#include "common/calibration/session_player.h"
#include "common/calibration/touch_fit.h"

namespace {

using namespace koral::calibration;

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "calibration session invariant broken: %s\n", what);
  std::abort();
}

class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool More() const { return at_ < size_; }
  uint8_t Take() { return at_ < size_ ? data_[at_++] : 0; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

const NewCalibration kOld{11, 512, 1001, 13, 500, 990, 3};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bytes in(data, size);
  const uint8_t config = in.Take();
  const int32_t modes[] = {kCornerMode, kEdgeMode, 2, -1};
  SessionSettings settings;
  settings.CalibrationMode = modes[config & 3];
  settings.ResolutionX = 1024;
  settings.ResolutionY = 768;
  settings.OldCalibration = kOld;
  const uint8_t tolerance = in.Take(), seconds = in.Take();
  settings.Safeguard = SafeguardsOf((config & 4) ? std::optional<int32_t>(tolerance) : std::nullopt,
                                    (config & 8) ? std::optional<int32_t>(seconds) : std::nullopt);

  PanelPlayer device(SyntheticPanel{5, 40, 1000, 25, 965, 1024, 768, 0});
  RecordingView view;
  CalibrationSession session(device, view);
  std::set<std::pair<int16_t, int16_t>> fed;  // every touched reading the panel gave
  if (config & 32) device.RefusedWrites.insert(0);
  if (config & 64) device.RefusedWrites.insert(1);
  device.HoldDown((config & 16) != 0);
  session.Start(settings);
  device.HoldDown(false);

  const auto feed = [&](int16_t x, int16_t y, bool repeat) {
    device.Push(x, y, true, repeat);
    fed.insert({x, y});
  };
  for (int steps = 0; in.More() && steps < 4096; ++steps) {
    const uint8_t step = in.Take();
    switch (step & 7) {
      case 0: feed(static_cast<int16_t>(in.Take() * 4), static_cast<int16_t>(in.Take() * 4), (step & 8) != 0); break;
      case 1: device.Push(0, 0, false); break;
      case 2: {
        const double off = (in.Take() - 128) / 2.0;
        const PixelPoint c = device.MarkCentre(session.CurrentTarget());
        const PanelPoint p = device.Panel().Touch(c.X + off, c.Y - off);
        for (int i = 0; i < 3; ++i) feed(p.X, p.Y, false);
        device.Push(p.X, p.Y, false);
        break;
      }
      case 3: session.Escape(); break;
      case 4: session.Abort(); break;
      case 5: {
        const SessionReply replies[] = {SessionReply::kYes, SessionReply::kNo, SessionReply::kOk, SessionReply::kOk};
        session.Answer(replies[(step >> 3) & 3]);
        break;
      }
      case 6: session.Tick(); break;
      case 7: PumpQueued(session, device); break;
    }
  }
  // Whatever is still open is closed as a user leaving would: the window goes, No, OK.
  session.Abort();
  session.Answer(SessionReply::kNo);
  session.Answer(SessionReply::kOk);
  Require(session.Finished(), "the run did not end");
  Require(!session.WantsSamples(), "an ended run wants samples");

  using enum SessionOutcome;
  const SessionOutcome outcome = session.Outcome();
  const auto& writes = device.Writes;
  size_t expectedWrites = 0;
  switch (outcome) {
    case kKept: expectedWrites = 1; break;
    case kRestored:
    case kRestoredUnanswered: expectedWrites = 2; break;
    case kNewValuesRefused: expectedWrites = 1; break;
    case kOldValuesRefused: expectedWrites = 2; break;
    case kBrokenOff:
    case kTouchesDoNotFit: Require(device.Commands.back() == "event 4", "broken off without ModeArg 4"); break;
    case kNotComputed: break;
    case kUnsupportedMode:
      Require(settings.CalibrationMode != kCornerMode && settings.CalibrationMode != kEdgeMode, "mode refused");
      break;
    case kRunning: Require(false, "outcome still running"); break;
  }
  Require(writes.size() == expectedWrites, "writes do not match the outcome");
  Require(outcome != kRestoredUnanswered || settings.Safeguard.KeepSeconds, "timed out without a keep time");
  // A refused write is told; a write the driver took never is.
  Require((outcome == kNewValuesRefused) == (writes.size() >= 1 && (config & 32)), "new values refused, not told");
  Require((outcome == kOldValuesRefused) == (writes.size() == 2 && (config & 64)), "old values refused, not told");
  Require(outcome != kTouchesDoNotFit || settings.Safeguard.TouchTolerance, "touches refused without the check");
  if (!writes.empty()) {
    const CalibrationInput input = session.Input();
    const int first = input.CalibrationMode == kCornerMode ? 1 : 5;
    for (int t = first; t < first + 4; ++t)
      Require(fed.count({input.PointX[static_cast<size_t>(t)], input.PointY[static_cast<size_t>(t)]}) == 1,
              "a reading the panel never gave");
    const CalibrationResult computed = ComputeCalibration(input);
    Require(computed.Succeeded() && writes[0] == computed.Calibration, "sent values it did not compute");
    if (settings.Safeguard.TouchTolerance)
      Require(MisfitTargets(input.PointX, input.PointY, input.CalibrationMode, *settings.Safeguard.TouchTolerance).empty(),
              "sent values from touches that do not fit");
  }
  if (writes.size() == 2) Require(writes[1] == kOld, "restored something else than the old values");
  return 0;
}
