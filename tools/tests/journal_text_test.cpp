#include "tools/journal_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tools/sim_client.h"

namespace koral::sim {
namespace {

JournalEntry EntryOf(uint32_t code, const void* data, uint32_t length) {
  JournalEntry entry{code, length, {}};
  std::memcpy(entry.Data, data, length);
  return entry;
}

TEST(JournalText, EntryShowsTheFieldsItsCodeCarriesAndNoOthers) {
  const ParamBlock block = SimClient::DefaultBlock();
  const WindowSlot slot{0x10086, 1, {}};
  const ModeArg accepted{kCalPointAccepted};
  const SoundTest lowTone{5000, 50};
  const SoundTest noTone{0, 20};
  struct Case {
    JournalEntry entry;
    std::vector<std::string> shown;
    std::vector<std::string> not_shown;
  };
  const Case cases[] = {
      {EntryOf(kWriteMouseSpeed, &block, sizeof block),
       {"0xF2090 WriteMouseSpeed, 82 bytes", "MouseBypass=0", "MouseHSpeed=10", "MouseVSpeed=10",
        "MouseAcceleration=1"},
       {"SleepTime", "Sensitivity", "COM1"}},
      {EntryOf(kWriteVirtualButton, &block, sizeof block),
       {"VirtualButton=4", "RightButtonFunction=0", "RightButtonAutoBeep=1"},
       {"FeedbackSound", "Reserved52", "CalXLeft"}},
      {EntryOf(kWriteSerialPorts, &block, sizeof block),
       {"COM1={BasePort=0x03F8 Irq=4 Spare=0xD1}", "COM9={BasePort=0x0000 Irq=255 Spare=0xD9}"},
       {"DetectedPort", "VirtualButton"}},
      {EntryOf(kWriteWholeBlock, &block, sizeof block),
       {"Reserved0=[A0 A1 A2]", "DetectedPort=12", "ResolutionX=1024", "McuCode=[4B 52 50 32]"},
       {}},
      {EntryOf(kReadBlock, &block, sizeof block), {"ReadBlock, 82 bytes"}, {"DetectedPort"}},
      {EntryOf(kSetRightButtonSlot, &slot, sizeof slot),
       {"Handle=65670 (0x00010086) State=1"},
       {}},
      {EntryOf(kCalibrationEvent, &accepted, sizeof accepted), {"Event=5 (point accepted)"}, {}},
      {EntryOf(kSoundTest, &lowTone, sizeof lowTone),
       {"0xF5010 SoundTest, 4 bytes", "Tone=5000 Duration=50 (plays 239 Hz for 500 ms)"},
       {}},
      {EntryOf(kSoundTest, &noTone, sizeof noTone), {"Tone=0 Duration=20 (plays nothing)"}, {"Hz"}},
      {EntryOf(0xF2020, &accepted, sizeof accepted), {"0xF2020 (unknown), 4 bytes", "05 00 00 00"},
       {}},
  };
  for (const Case& c : cases) {
    const std::string text = DescribeEntry(c.entry);
    for (const std::string& s : c.shown) {
      EXPECT_NE(text.find(s), std::string::npos) << s << "\n" << text;
    }
    for (const std::string& s : c.not_shown) {
      EXPECT_EQ(text.find(s), std::string::npos) << s << "\n" << text;
    }
  }
}

}  // namespace
}  // namespace koral::sim
