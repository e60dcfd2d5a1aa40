#include "driver/logic/driver_logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <vector>

namespace koral::logic {
namespace {

using Bytes = std::vector<uint8_t>;

template <typename T>
Bytes BytesOf(const T& value) {
  Bytes bytes(sizeof(T));
  std::memcpy(bytes.data(), &value, sizeof(T));
  return bytes;
}

class DriverLogic : public ::testing::Test {
 protected:
  void SetUp() override {
    state_ = std::make_unique<DriverState>();
    Reset(*state_);
  }

  // One call as the I/O manager makes it: a buffer of max(in, out) bytes holding the input.
  Outcome Call(uint32_t code, Bytes& buffer, uint32_t in, uint32_t out) {
    buffer.resize(std::max<size_t>({buffer.size(), in, out}));
    return Handle(*state_, code, buffer.empty() ? nullptr : buffer.data(), in, out);
  }
  // The suite's way: one buffer as input and output, same length.
  Outcome Exchange(uint32_t code, Bytes& buffer) {
    const auto length = static_cast<uint32_t>(buffer.size());
    return Call(code, buffer, length, length);
  }
  template <typename T>
  Outcome Send(uint32_t code, const T& value) {
    Bytes buffer = BytesOf(value);
    return Exchange(code, buffer);
  }
  template <typename T>
  T Read(uint32_t code) {
    Bytes buffer(sizeof(T));
    const Outcome outcome = Exchange(code, buffer);
    EXPECT_EQ(outcome.Result, Status::kOk);
    EXPECT_EQ(outcome.BytesReturned, sizeof(T));
    T value;
    std::memcpy(&value, buffer.data(), sizeof(T));
    return value;
  }
  std::vector<JournalEntry> TakeJournal(uint32_t room) {
    Bytes buffer(room * sizeof(JournalEntry));
    const Outcome outcome = Exchange(kSimReadJournal, buffer);
    EXPECT_EQ(outcome.Result, Status::kOk);
    EXPECT_EQ(outcome.BytesReturned % sizeof(JournalEntry), 0u);
    std::vector<JournalEntry> entries(outcome.BytesReturned / sizeof(JournalEntry));
    if (!entries.empty()) std::memcpy(entries.data(), buffer.data(), outcome.BytesReturned);
    return entries;
  }
  void PushSample(int16_t x, int16_t y, uint8_t touched) {
    ASSERT_EQ(Send(kSimPushSample, SimSample{x, y, touched, {}}).Result, Status::kOk);
  }

  std::unique_ptr<DriverState> state_;
};

bool SameBytes(const ParamBlock& a, const ParamBlock& b) { return BytesOf(a) == BytesOf(b); }

// Every byte inverted, so that a byte taken shows up and a byte left alone does too.
ParamBlock Inverted(const ParamBlock& block) {
  Bytes bytes = BytesOf(block);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(~b);
  ParamBlock result;
  std::memcpy(&result, bytes.data(), sizeof result);
  return result;
}

TEST_F(DriverLogic, ReadBlockReturnsTheDefaultBlockWhole) {
  const ParamBlock block = Read<ParamBlock>(kReadBlock);
  EXPECT_TRUE(SameBytes(block, DefaultBlock()));
  EXPECT_NE(block.DetectedPort, 0);
}

TEST_F(DriverLogic, DefaultBlockHasValidSettingsAndRecognisableReservedBytes) {
  const ParamBlock b = DefaultBlock();
  EXPECT_EQ(b.VirtualButton, 4);
  EXPECT_EQ(b.FeedbackSound, 1);
  EXPECT_EQ(b.MouseHSpeed, 10);
  EXPECT_EQ(b.MouseVSpeed, 10);
  EXPECT_EQ(b.MouseAcceleration, 1);
  EXPECT_EQ(b.MouseBypass, 0);
  EXPECT_GT(b.DetectedPort, 9) << "a PS/2 controller, not a COM port";
  EXPECT_GE(b.FeedbackTone, 200);
  EXPECT_LE(b.FeedbackTone, 5000);
  EXPECT_GE(b.FeedbackDuration, 10);
  EXPECT_LE(b.FeedbackDuration, 50);
  EXPECT_LE(b.SleepTime, 30);
  EXPECT_LE(b.PanelDirection, 7);
  std::set<uint8_t> reserved = {b.Reserved0[0], b.Reserved0[1], b.Reserved0[2], b.Reserved52,
                                b.Reserved71};
  for (const ComPortEntry& port : b.ComPort) reserved.insert(port.Spare);
  EXPECT_EQ(reserved.count(0), 0u);
  EXPECT_EQ(reserved.size(), 14u) << "each pass-through byte has its own value";
}

struct GroupCase {
  uint32_t code;
  std::vector<std::pair<int, int>> taken;  // inclusive byte ranges of the block
};

TEST_F(DriverLogic, EachGroupCodeTakesExactlyItsBytes) {
  const std::vector<GroupCase> cases = {
      {kWriteSerialPorts, {{4, 39}}},
      {kWriteVirtualButton, {{40, 40}, {53, 57}}},
      {kWriteFeedback, {{41, 45}}},
      {kWriteSensitivity, {{46, 46}}},
      {kWriteMouseSpeed, {{47, 50}}},
      {kWriteCalibration, {{58, 70}}},
      {kWriteWholeBlock, {{0, 81}}},
      {kWriteSleepTime, {{51, 51}}},
  };
  for (const GroupCase& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.code);
    Reset(*state_);
    const ParamBlock sent = Inverted(DefaultBlock());
    Bytes buffer = BytesOf(sent);
    const Outcome outcome = Exchange(c.code, buffer);
    EXPECT_EQ(outcome.Result, Status::kOk);
    EXPECT_EQ(outcome.BytesReturned, 0u);
    EXPECT_TRUE(outcome.BlockChanged);
    EXPECT_EQ(buffer, BytesOf(sent)) << "nothing is written back";

    const Bytes now = BytesOf(state_->Block);
    const Bytes before = BytesOf(DefaultBlock());
    for (int i = 0; i < 82; ++i) {
      bool taken = false;
      for (auto [first, last] : c.taken) taken |= i >= first && i <= last;
      EXPECT_EQ(now[i], taken ? buffer[i] : before[i]) << "byte " << i;
      EXPECT_EQ(TakesBlockByte(c.code, i), taken) << "byte " << i;
    }

    const auto journal = TakeJournal(4);
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0].Code, c.code);
    EXPECT_EQ(journal[0].Length, 82u);
    EXPECT_EQ(std::memcmp(journal[0].Data, &sent, 82), 0);
    EXPECT_EQ(journal[0].Data[82], 0);
    EXPECT_EQ(journal[0].Data[83], 0);
  }
}

struct LengthCase {
  uint32_t code;
  uint32_t in;
  uint32_t out;
};

TEST(DriverLogicGroups, CodesOtherThanGroupWritesTakeNoBlockByte) {
  for (uint32_t code :
       {uint32_t{kReadBlock}, uint32_t{kSimLoadBlock}, uint32_t{kSetRightButtonSlot}}) {
    for (uint32_t i = 0; i < 82; ++i) EXPECT_FALSE(TakesBlockByte(code, i)) << code << " " << i;
  }
}

TEST_F(DriverLogic, WrongLengthsAndUnknownCodesFailAndChangeNothing) {
  const std::vector<LengthCase> bad_lengths = {
      {kReadBlock, 81, 81},          {kReadBlock, 82, 83},        {kReadBlock, 82, 0},
      {kReadBlock, 0, 0},            {kReadRawPoint, 8, 4},       {kReadRawPoint, 16, 16},
      {kCalibrationEvent, 2, 2},     {kCalibrationEvent, 0, 4},   {kWriteSerialPorts, 40, 40},
      {kWriteVirtualButton, 83, 83}, {kWriteFeedback, 82, 41},    {kWriteSensitivity, 1, 1},
      {kWriteMouseSpeed, 0, 82},     {kWriteCalibration, 81, 0},  {kWriteWholeBlock, 84, 84},
      {kWriteSleepTime, 82, 1},      {kGetRightButtonSlot, 4, 4}, {kSetRightButtonSlot, 6, 6},
      {kGetCompanionSlot, 8, 12},    {kSoundTest, 8, 8},          {kSimLoadBlock, 92, 92},
      {kSimPushSample, 5, 5},        {kSimReadJournal, 0, 0},     {kSimReadJournal, 91, 91},
      {kSimReadJournal, 93, 93},     {kSimReadJournal, 92, 184},  {kSimRightClickDone, 0, 0},
      {kSimRightClickDone, 8, 8},    {kSimSetCompanionSlot, 4, 4}, {kSimReset, 0, 0},
      {kSimReset, 4, 8},             {kSimRefuse, 4, 4},
  };
  // Something in every part of the state, so that any change would show.
  ASSERT_EQ(Send(kSetRightButtonSlot, WindowSlot{0x1234, 1, {}}).Result, Status::kOk);
  ASSERT_EQ(Send(kSimSetCompanionSlot, WindowSlot{0x5678, 2, {}}).Result, Status::kOk);
  PushSample(300, 400, 1);
  const auto snapshot = std::make_unique<DriverState>(*state_);

  auto expect_unchanged = [&](uint32_t code, uint32_t in, uint32_t out, Status expected) {
    SCOPED_TRACE(testing::Message() << std::hex << code << std::dec << " in " << in << " out "
                                    << out);
    Bytes buffer(std::max({in, out, 1u}));
    for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(0x40 + i);
    const Bytes sent = buffer;
    const Outcome outcome = Call(code, buffer, in, out);
    EXPECT_EQ(outcome.Result, expected);
    EXPECT_EQ(outcome.BytesReturned, 0u);
    EXPECT_FALSE(outcome.BlockChanged);
    EXPECT_EQ(buffer, sent);
    EXPECT_EQ(std::memcmp(state_.get(), snapshot.get(), sizeof(DriverState)), 0);
  };
  for (const LengthCase& c : bad_lengths) expect_unchanged(c.code, c.in, c.out, Status::kBadLength);
  for (uint32_t code : {0u, 0xF2020u, 0xF2011u, 0xF2012u, 0xF3030u, 0xF6080u, 0xFFFFFFFFu}) {
    expect_unchanged(code, 82, 82, Status::kUnknownCode);
  }
  // A touched flag other than 0 or 1 is refused.
  SimSample sample{1, 2, 2, {}};
  Bytes buffer = BytesOf(sample);
  EXPECT_EQ(Exchange(kSimPushSample, buffer).Result, Status::kBadValue);
  EXPECT_EQ(std::memcmp(state_.get(), snapshot.get(), sizeof(DriverState)), 0);
}

TEST_F(DriverLogic, TheUnusedDirectionMayBeEmptyOrTheSameLength) {
  const std::vector<LengthCase> good = {
      {kReadBlock, 0, 82},        {kReadBlock, 82, 82},       {kWriteFeedback, 82, 0},
      {kWriteFeedback, 82, 82},   {kGetRightButtonSlot, 0, 8}, {kSetRightButtonSlot, 8, 0},
      {kSimReadJournal, 0, 92},   {kSimReadJournal, 920, 920}, {kSimRightClickDone, 4, 0},
      {kSimReset, 4, 4},
  };
  for (const LengthCase& c : good) {
    Bytes buffer = BytesOf(DefaultBlock());
    buffer.resize(std::max<size_t>({c.in, c.out, 82}));
    EXPECT_EQ(Call(c.code, buffer, c.in, c.out).Result, Status::kOk)
        << std::hex << c.code << std::dec << " in " << c.in << " out " << c.out;
  }
}

TEST_F(DriverLogic, JournalKeepsOrderRemovesWhatIsReadAndSkipsSetUpAndPolling) {
  PushSample(1, 2, 1);
  Read<RawPoint>(kReadRawPoint);
  ASSERT_EQ(Send(kCalibrationEvent, ModeArg{3}).Result, Status::kOk);
  ASSERT_EQ(Send(kSimLoadBlock, DefaultBlock()).Result, Status::kOk);
  Read<ParamBlock>(kReadBlock);
  ASSERT_EQ(Send(kSetRightButtonSlot, WindowSlot{77, 1, {}}).Result, Status::kOk);
  ASSERT_EQ(Send(kSimRightClickDone, uint32_t{0}).Result, Status::kOk);
  Read<WindowSlot>(kGetRightButtonSlot);
  ASSERT_EQ(Send(kSimSetCompanionSlot, WindowSlot{88, 2, {}}).Result, Status::kOk);
  Read<WindowSlot>(kGetCompanionSlot);
  ASSERT_EQ(Send(kSoundTest, SoundTest{1000, 20}).Result, Status::kOk);

  const std::vector<uint32_t> expected = {
      kCalibrationEvent,  kReadBlock,           kSetRightButtonSlot, kSimRightClickDone,
      kGetRightButtonSlot, kSimSetCompanionSlot, kGetCompanionSlot,   kSoundTest};
  std::vector<uint32_t> seen;
  for (auto part = TakeJournal(3); !part.empty(); part = TakeJournal(3)) {
    EXPECT_LE(part.size(), 3u);
    for (const JournalEntry& e : part) seen.push_back(e.Code);
  }
  EXPECT_EQ(seen, expected);
  EXPECT_TRUE(TakeJournal(3).empty());
}

TEST_F(DriverLogic, JournalEntryHoldsTheInputAsReceivedZeroPadded) {
  Bytes buffer(4, 0xEE);
  ModeArg mode{-2};
  std::memcpy(buffer.data(), &mode, sizeof mode);
  ASSERT_EQ(Exchange(kCalibrationEvent, buffer).Result, Status::kOk);
  Bytes read_in(82, 0x5C);  // what a program sends with 0xF2010 before it has the block
  ASSERT_EQ(Call(kReadBlock, read_in, 82, 82).Result, Status::kOk);
  Bytes empty_in;
  ASSERT_EQ(Call(kReadBlock, empty_in, 0, 82).Result, Status::kOk);

  const auto journal = TakeJournal(8);
  ASSERT_EQ(journal.size(), 3u);
  EXPECT_EQ(journal[0].Length, 4u);
  EXPECT_EQ(Bytes(journal[0].Data, journal[0].Data + 4), Bytes({0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Bytes(journal[0].Data + 4, journal[0].Data + 84), Bytes(80, 0));
  EXPECT_EQ(journal[1].Length, 82u);
  EXPECT_EQ(Bytes(journal[1].Data, journal[1].Data + 82), Bytes(82, 0x5C));
  EXPECT_EQ(journal[2].Length, 0u);
  EXPECT_EQ(Bytes(journal[2].Data, journal[2].Data + 84), Bytes(84, 0));
}

TEST_F(DriverLogic, FullJournalKeepsItsOldestEntriesAndTheCommandsStillWork) {
  for (uint32_t i = 0; i < kJournalCapacity + 5; ++i) {
    ASSERT_EQ(Send(kCalibrationEvent, ModeArg{static_cast<int32_t>(i)}).Result, Status::kOk);
  }
  ASSERT_EQ(Send(kSetRightButtonSlot, WindowSlot{9, 0, {}}).Result, Status::kOk);
  EXPECT_EQ(Read<WindowSlot>(kGetRightButtonSlot).Handle, 9) << "not journalled, still done";

  const auto first = TakeJournal(kJournalCapacity + 10);
  ASSERT_EQ(first.size(), kJournalCapacity);
  for (uint32_t i = 0; i < kJournalCapacity; ++i) {
    ModeArg mode;
    std::memcpy(&mode, first[i].Data, sizeof mode);
    ASSERT_EQ(mode.Value, static_cast<int32_t>(i));
  }
  // Reading made room again; the ring wraps around.
  for (int32_t round = 0; round < 3; ++round) {
    for (int32_t i = 0; i < 700; ++i) {
      ASSERT_EQ(Send(kCalibrationEvent, ModeArg{round * 1000 + i}).Result, Status::kOk);
    }
    const auto entries = TakeJournal(kJournalCapacity);
    ASSERT_EQ(entries.size(), 700u);
    ModeArg last;
    std::memcpy(&last, entries.back().Data, sizeof last);
    EXPECT_EQ(last.Value, round * 1000 + 699);
  }
}

TEST_F(DriverLogic, WindowSlotsStartEmptyAndKeepWhatIsWritten) {
  for (uint32_t code : {kGetRightButtonSlot, kGetCompanionSlot}) {
    const WindowSlot slot = Read<WindowSlot>(code);
    EXPECT_EQ(slot.Handle, -1);
    EXPECT_EQ(slot.State, 0);
  }
  ASSERT_EQ(Send(kSetRightButtonSlot, WindowSlot{0x10020, 1, {}}).Result, Status::kOk);
  ASSERT_EQ(Send(kSimSetCompanionSlot, WindowSlot{0x30040, 3, {}}).Result, Status::kOk);
  const WindowSlot tool = Read<WindowSlot>(kGetRightButtonSlot);
  const WindowSlot companion = Read<WindowSlot>(kGetCompanionSlot);
  EXPECT_EQ(tool.Handle, 0x10020);
  EXPECT_EQ(tool.State, 1);
  EXPECT_EQ(companion.Handle, 0x30040);
  EXPECT_EQ(companion.State, 3);
}

TEST_F(DriverLogic, RightClickDoneClearsOnlyAnArmedState) {
  for (auto [before, after] : {std::pair<int16_t, int16_t>{1, 0}, {0, 0}, {2, 2}, {-1, -1}}) {
    ASSERT_EQ(Send(kSetRightButtonSlot, WindowSlot{42, before, {}}).Result, Status::kOk);
    ASSERT_EQ(Send(kSimRightClickDone, uint32_t{0xFFFFFFFF}).Result, Status::kOk);
    const WindowSlot slot = Read<WindowSlot>(kGetRightButtonSlot);
    EXPECT_EQ(slot.State, after) << "state before " << before;
    EXPECT_EQ(slot.Handle, 42);
  }
}

TEST_F(DriverLogic, PushedSampleBecomesTheRawPointAndAdvancesTheCounter) {
  const RawPoint none = Read<RawPoint>(kReadRawPoint);
  EXPECT_EQ(none.Status & kTouchedBit, 0);

  struct Case {
    int16_t x, y;
    uint8_t touched;
    uint8_t status;
  };
  int16_t counter = none.Counter;
  for (const Case& c : {Case{100, 900, 1, kTouchedBit}, Case{100, 900, 1, kTouchedBit},
                        Case{-5, 1023, 0, 0}, Case{512, 0, 1, kTouchedBit}}) {
    PushSample(c.x, c.y, c.touched);
    const RawPoint raw = Read<RawPoint>(kReadRawPoint);
    EXPECT_EQ(raw.X, c.x);
    EXPECT_EQ(raw.Y, c.y);
    EXPECT_EQ(raw.Status, c.status);
    EXPECT_NE(raw.Counter, counter) << "a repeated position is still a new sample";
    counter = raw.Counter;
    EXPECT_EQ(Read<RawPoint>(kReadRawPoint).Counter, counter) << "reading is not a sample";
  }
}

TEST_F(DriverLogic, LoadBlockReplacesTheWholeBlock) {
  ParamBlock block = Inverted(DefaultBlock());
  block.DetectedPort = 0;
  const Outcome outcome = Send(kSimLoadBlock, block);
  EXPECT_EQ(outcome.Result, Status::kOk);
  EXPECT_TRUE(outcome.BlockChanged);
  EXPECT_TRUE(SameBytes(Read<ParamBlock>(kReadBlock), block));
}

TEST_F(DriverLogic, ResetRestoresDefaultsButNeverRepeatsASampleCounter) {
  ASSERT_EQ(Send(kSimLoadBlock, Inverted(DefaultBlock())).Result, Status::kOk);
  ASSERT_EQ(Send(kSetRightButtonSlot, WindowSlot{5, 1, {}}).Result, Status::kOk);
  ASSERT_EQ(Send(kSimSetCompanionSlot, WindowSlot{6, 2, {}}).Result, Status::kOk);
  PushSample(10, 20, 1);
  const int16_t counter = Read<RawPoint>(kReadRawPoint).Counter;

  const Outcome outcome = Send(kSimReset, uint32_t{0});
  EXPECT_EQ(outcome.Result, Status::kOk);
  EXPECT_TRUE(outcome.BlockChanged);
  EXPECT_TRUE(TakeJournal(8).empty());
  EXPECT_TRUE(SameBytes(Read<ParamBlock>(kReadBlock), DefaultBlock()));
  for (uint32_t code : {kGetRightButtonSlot, kGetCompanionSlot}) {
    const WindowSlot slot = Read<WindowSlot>(code);
    EXPECT_EQ(slot.Handle, -1);
    EXPECT_EQ(slot.State, 0);
  }
  const RawPoint raw = Read<RawPoint>(kReadRawPoint);
  EXPECT_EQ(raw.X, 0);
  EXPECT_EQ(raw.Y, 0);
  EXPECT_EQ(raw.Status, 0);
  PushSample(10, 20, 1);
  EXPECT_NE(Read<RawPoint>(kReadRawPoint).Counter, counter);
}

// A refused request fails as a controller that does not answer: the state, the caller's buffer
// and the journal stay as they were; only the count of refusals left goes down.
TEST_F(DriverLogic, RefusedRequestsFailUnjournalledAndChangeNothing) {
  ASSERT_EQ(Send(kSimRefuse, SimRefusal{kWriteMouseSpeed, 2}).Result, Status::kOk);
  ASSERT_EQ(Send(kSimRefuse, SimRefusal{kReadBlock, kRefuseAlways}).Result, Status::kOk);
  const ParamBlock changed = Inverted(DefaultBlock());
  for (int attempt = 0; attempt < 3; ++attempt) {
    SCOPED_TRACE(attempt);
    Bytes buffer = BytesOf(changed);
    const Outcome outcome = Exchange(kWriteMouseSpeed, buffer);
    EXPECT_EQ(outcome.Result, attempt < 2 ? Status::kRefused : Status::kOk);
    EXPECT_EQ(outcome.BlockChanged, attempt == 2);
    Bytes read(sizeof(ParamBlock), 0x5A);
    const Outcome reading = Exchange(kReadBlock, read);
    EXPECT_EQ(reading.Result, Status::kRefused);
    EXPECT_EQ(reading.BytesReturned, 0u);
    EXPECT_EQ(read, Bytes(sizeof(ParamBlock), 0x5A)) << "a refused read returns nothing";
  }
  const auto journal = TakeJournal(8);
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0].Code, kWriteMouseSpeed);
  EXPECT_EQ(state_->Block.MouseHSpeed, changed.MouseHSpeed) << "taken once the refusals ran out";

  ASSERT_EQ(Send(kSimRefuse, SimRefusal{kReadBlock, 0}).Result, Status::kOk);
  Read<ParamBlock>(kReadBlock);  // a refusal ended with Count 0
  ASSERT_EQ(Send(kSimRefuse, SimRefusal{kSoundTest, 1}).Result, Status::kOk);
  ASSERT_EQ(Send(kSimReset, uint32_t{0}).Result, Status::kOk);
  EXPECT_EQ(Send(kSoundTest, SoundTest{1000, 20}).Result, Status::kOk) << "a reset ends every refusal";
}

TEST_F(DriverLogic, OnlySuiteCodesCanBeRefusedAndEightAtATime) {
  for (uint32_t code : {uint32_t{kSimLoadBlock}, uint32_t{kSimRefuse}, uint32_t{kSimReset}, 0xF2020u, 0u}) {
    EXPECT_EQ(Send(kSimRefuse, SimRefusal{code, 1}).Result, Status::kBadValue) << std::hex << code;
  }
  const uint32_t codes[] = {kReadBlock,       kReadRawPoint,     kCalibrationEvent, kWriteSerialPorts, kWriteVirtualButton,
                            kWriteFeedback,   kWriteSensitivity, kWriteMouseSpeed,  kWriteCalibration};
  for (size_t i = 0; i < kRefusalCapacity; ++i)
    ASSERT_EQ(Send(kSimRefuse, SimRefusal{codes[i], 1}).Result, Status::kOk) << i;
  const auto full = std::make_unique<DriverState>(*state_);
  EXPECT_EQ(Send(kSimRefuse, SimRefusal{codes[kRefusalCapacity], 1}).Result, Status::kBadValue);
  EXPECT_EQ(std::memcmp(state_.get(), full.get(), sizeof(DriverState)), 0) << "a failed refusal changes nothing";
  ASSERT_EQ(Send(kSimRefuse, SimRefusal{codes[0], 5}).Result, Status::kOk) << "an entry taken can be renewed";
  EXPECT_EQ(Send(kSimRefuse, SimRefusal{codes[kRefusalCapacity], 0}).Result, Status::kOk) << "ending none is fine";
}

TEST(BeepOf, ToneDividesTheSpeakerClockAndDurationCountsTenMilliseconds) {
  struct Case {
    int16_t Tone, Duration;
    uint32_t Hertz, Milliseconds;
  };
  const Case cases[] = {
      {1000, 20, 1193, 200},     // the default block: 1193.182 Hz
      {200, 10, 5966, 100},      // highest and shortest the dialog offers: 5965.91 rounds up
      {5000, 50, 239, 500},      // lowest and longest: 238.64
      {1, 1, 1193182, 10},
      {32767, 32767, 36, 327670},
      {0, 20, 0, 0},             // no tone, no sound
      {-1000, 20, 0, 0},
      {1000, 0, 0, 0},
      {1000, -20, 0, 0},
  };
  for (const Case& c : cases) {
    const Beep beep = BeepOf(c.Tone, c.Duration);
    EXPECT_EQ(beep.Hertz, c.Hertz) << c.Tone << "," << c.Duration;
    EXPECT_EQ(beep.Milliseconds, c.Milliseconds) << c.Tone << "," << c.Duration;
  }
}

TEST(TakeStoredBlock, OnlyABinaryValueOfExactlyABlock) {
  ParamBlock stored = DefaultBlock();
  stored.VirtualButton = 2;
  const Bytes bytes = BytesOf(stored);
  Bytes longer = bytes;
  longer.push_back(0);
  struct Case {
    const char* Name;
    uint32_t Type;
    const Bytes& Data;
    uint32_t Length;
    bool Taken;
  };
  const Case cases[] = {
      {"a block", kStoredBlockType, bytes, sizeof(ParamBlock), true},
      {"one byte short", kStoredBlockType, bytes, sizeof(ParamBlock) - 1, false},
      {"one byte long", kStoredBlockType, longer, sizeof(ParamBlock) + 1, false},
      {"empty", kStoredBlockType, bytes, 0, false},
      {"a block's bytes as REG_SZ", 1, bytes, sizeof(ParamBlock), false},
      {"as REG_DWORD", 4, bytes, sizeof(ParamBlock), false},
  };
  for (const Case& c : cases) {
    ParamBlock block{};
    EXPECT_EQ(TakeStoredBlock(c.Type, c.Data.data(), c.Length, block), c.Taken) << c.Name;
    EXPECT_EQ(BytesOf(block), c.Taken ? bytes : BytesOf(ParamBlock{})) << c.Name;
  }
}

}  // namespace
}  // namespace koral::logic
