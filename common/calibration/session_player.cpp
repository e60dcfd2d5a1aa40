#include "common/calibration/session_player.h"

#include <array>

#include "common/calibration/targets.h"

namespace koral::calibration {

void PanelPlayer::Push(int16_t x, int16_t y, bool touched, bool repeatCounter) {
  const int16_t previous = samples_.empty() ? last_.Counter : samples_.back().Counter;
  samples_.push_back({x, y, touched, static_cast<int16_t>(repeatCounter ? previous : previous + 1)});
}

void PanelPlayer::TouchAt(double x, double y, int16_t rawOffsetX, int16_t rawOffsetY) {
  const PanelPoint p = panel_.Touch(x, y);
  const int16_t rx = static_cast<int16_t>(p.X + rawOffsetX), ry = static_cast<int16_t>(p.Y + rawOffsetY);
  for (int i = 0; i < 3; ++i) Push(rx, ry, true);
  Push(rx, ry, false);
}

PixelPoint PanelPlayer::MarkCentre(int16_t target) const {
  const auto mark = CrossMarkOf(target, GeometryOf(panel_.Width, panel_.Height));
  return mark ? mark->Centre() : PixelPoint{0, 0};
}

PanelSample PanelPlayer::ReadSample() {
  ++Reads;
  if (!samples_.empty()) {
    last_ = samples_.front();
    samples_.pop_front();
  } else {
    last_.Touched = held_;
  }
  return last_;
}

void PanelPlayer::SignalCalibration(int32_t event) { Commands.push_back("event " + std::to_string(event)); }

bool PanelPlayer::WriteCalibration(const NewCalibration& c) {
  Commands.push_back("write");
  Writes.push_back(c);
  return RefusedWrites.count(Writes.size() - 1) == 0;
}

int16_t PanelPlayer::ReadOrientation() {
  Commands.push_back("orientation");
  return panel_.Orientation;
}

void RecordingView::ShowMark(int16_t target, bool visible) {
  Lines.push_back("mark " + std::to_string(target) + (visible ? " on" : " off"));
}
void RecordingView::ShowTouchPrompt(std::string_view target, bool again) {
  Lines.push_back((again ? "again " : "prompt ") + std::string(target));
}
void RecordingView::ShowLiftOffPrompt(std::string_view text) { Lines.push_back("lift " + std::string(text)); }
void RecordingView::SetTouchIndicator(bool on) { Indicator = on; }
void RecordingView::Ask(SessionQuestion question, int secondsLeft) {
  QuestionOpen = true;
  Lines.push_back(std::string(question == SessionQuestion::kKeep ? "ask keep " : "ask break ") +
                  std::to_string(secondsLeft));
}
void RecordingView::ShowTimeLeft(int secondsLeft) { Lines.push_back("time " + std::to_string(secondsLeft)); }
void RecordingView::Withdraw() {
  QuestionOpen = false;
  Lines.push_back("withdraw");
}
void RecordingView::Tell(SessionNotice, const std::string& text) {
  NoticeOpen = true;
  Lines.push_back("tell " + text);
}

void PumpQueued(CalibrationSession& session, const PanelPlayer& device) {
  while (session.WantsSamples() && !device.Drained()) session.Pump();
}

void TouchAsAsked(CalibrationSession& session, PanelPlayer& device, const TouchOffsets& offsets) {
  std::array<size_t, kLastTarget + 1> touches{};
  // Each pass takes one touch; a run never asks for more than its rounds of four.
  for (int pass = 0; pass < 4 * kMisfitRounds + 4 && session.WantsSamples(); ++pass) {
    const int16_t target = session.CurrentTarget();
    if (target < 1 || target > kLastTarget) return;
    const auto t = static_cast<size_t>(target);
    PixelOffset off;
    if (t < offsets.size() && touches[t] < offsets[t].size()) off = offsets[t][touches[t]];
    ++touches[t];
    const PixelPoint centre = device.MarkCentre(target);
    device.TouchAt(centre.X + off.X, centre.Y + off.Y);
    PumpQueued(session, device);
  }
}

}  // namespace koral::calibration
