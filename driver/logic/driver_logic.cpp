#include "driver/logic/driver_logic.h"

namespace koral::logic {
namespace {

enum Uses : uint8_t {
  kTakesInput = 1,
  kGivesOutput = 2,
};

struct Command {
  uint32_t Code;
  uint32_t Length;  // kSimReadJournal: the size of one entry; the output is a whole number of them
  uint8_t Uses;
  bool Journalled;
};

// Every code has one buffer length. A direction the code uses must carry exactly that many
// bytes; the other direction may be empty or the same length, since the suite passes one
// buffer as both input and output.
constexpr Command kCommands[] = {
    {kReadBlock, sizeof(ParamBlock), kGivesOutput, true},
    {kReadRawPoint, sizeof(RawPoint), kGivesOutput, false},  // polled in a loop
    {kCalibrationEvent, sizeof(ModeArg), kTakesInput, true},
    {kWriteSerialPorts, sizeof(ParamBlock), kTakesInput, true},
    {kWriteVirtualButton, sizeof(ParamBlock), kTakesInput, true},
    {kWriteFeedback, sizeof(ParamBlock), kTakesInput, true},
    {kWriteSensitivity, sizeof(ParamBlock), kTakesInput, true},
    {kWriteMouseSpeed, sizeof(ParamBlock), kTakesInput, true},
    {kWriteCalibration, sizeof(ParamBlock), kTakesInput, true},
    {kWriteWholeBlock, sizeof(ParamBlock), kTakesInput, true},
    {kWriteSleepTime, sizeof(ParamBlock), kTakesInput, true},
    {kGetRightButtonSlot, sizeof(WindowSlot), kGivesOutput, true},
    {kSetRightButtonSlot, sizeof(WindowSlot), kTakesInput, true},
    {kGetCompanionSlot, sizeof(WindowSlot), kGivesOutput, true},
    {kSoundTest, sizeof(SoundTest), kTakesInput, true},
    // Test set-up is left out of the journal, so that it shows only what the programs sent
    // and the simulated events they react to.
    {kSimLoadBlock, sizeof(ParamBlock), kTakesInput, false},
    {kSimPushSample, sizeof(SimSample), kTakesInput, false},
    {kSimReadJournal, sizeof(JournalEntry), kGivesOutput, false},
    {kSimRightClickDone, 4, kTakesInput, true},
    {kSimSetCompanionSlot, sizeof(WindowSlot), kTakesInput, true},
    {kSimReset, 4, kTakesInput, false},
    {kSimRefuse, sizeof(SimRefusal), kTakesInput, false},
};

// Bytes [Begin, End) of the block.
struct ByteSpan {
  uint8_t Begin;
  uint8_t End;
};

struct BlockGroup {
  uint32_t Code;
  uint8_t SpanCount;
  ByteSpan Spans[2];
};

#define KORAL_FIELD(name) static_cast<uint8_t>(offsetof(ParamBlock, name))

// The bytes each group code takes from the block it is sent; every other byte stays as it was.
constexpr BlockGroup kGroups[] = {
    {kWriteSerialPorts, 1, {{KORAL_FIELD(ComPort), KORAL_FIELD(VirtualButton)}}},
    {kWriteVirtualButton,
     2,
     {{KORAL_FIELD(VirtualButton), KORAL_FIELD(FeedbackSound)},
      {KORAL_FIELD(RightButtonFunction), KORAL_FIELD(CalXLeft)}}},
    {kWriteFeedback, 1, {{KORAL_FIELD(FeedbackSound), KORAL_FIELD(Sensitivity)}}},
    {kWriteSensitivity, 1, {{KORAL_FIELD(Sensitivity), KORAL_FIELD(MouseBypass)}}},
    {kWriteMouseSpeed, 1, {{KORAL_FIELD(MouseBypass), KORAL_FIELD(SleepTime)}}},
    {kWriteCalibration, 1, {{KORAL_FIELD(CalXLeft), KORAL_FIELD(Reserved71)}}},
    {kWriteWholeBlock, 1, {{0, sizeof(ParamBlock)}}},
    {kWriteSleepTime, 1, {{KORAL_FIELD(SleepTime), KORAL_FIELD(Reserved52)}}},
};

#undef KORAL_FIELD

const Command* FindCommand(uint32_t code) {
  for (const Command& command : kCommands) {
    if (command.Code == code) return &command;
  }
  return nullptr;
}

const BlockGroup* FindGroup(uint32_t code) {
  for (const BlockGroup& group : kGroups) {
    if (group.Code == code) return &group;
  }
  return nullptr;
}

bool LengthFits(bool used, uint32_t length, uint32_t expected) {
  return used ? length == expected : (length == 0 || length == expected);
}

bool LengthsFit(const Command& command, uint32_t input_length, uint32_t output_length) {
  if (command.Code == kSimReadJournal) {
    const bool whole_entries = output_length != 0 && output_length % command.Length == 0;
    return whole_entries && LengthFits(false, input_length, output_length);
  }
  return LengthFits(command.Uses & kTakesInput, input_length, command.Length) &&
         LengthFits(command.Uses & kGivesOutput, output_length, command.Length);
}

// The buffer comes from the I/O manager with no alignment promise: copy, never cast.
template <typename T>
T Load(const uint8_t* buffer) {
  T value;
  __builtin_memcpy(&value, buffer, sizeof(T));
  return value;
}

template <typename T>
uint32_t Store(uint8_t* buffer, const T& value) {
  __builtin_memcpy(buffer, &value, sizeof(T));
  return sizeof(T);
}

constexpr Outcome Fail(Status status) { return Outcome{status, 0, false}; }
constexpr Outcome Done(uint32_t bytes_returned = 0, bool block_changed = false) {
  return Outcome{Status::kOk, bytes_returned, block_changed};
}

void Record(Journal& journal, uint32_t code, const uint8_t* input, uint32_t input_length) {
  if (journal.Count == kJournalCapacity) return;
  JournalEntry& entry = journal.Entries[(journal.First + journal.Count) % kJournalCapacity];
  entry.Code = code;
  entry.Length = input_length;
  const uint32_t kept = input_length < kJournalDataBytes ? input_length : kJournalDataBytes;
  __builtin_memset(entry.Data, 0, kJournalDataBytes);
  if (kept != 0) __builtin_memcpy(entry.Data, input, kept);
  ++journal.Count;
}

uint32_t TakeJournal(Journal& journal, uint8_t* output, uint32_t output_length) {
  uint32_t taken = 0;
  const uint32_t room = output_length / sizeof(JournalEntry);
  while (taken < room && journal.Count != 0) {
    Store(output + taken * sizeof(JournalEntry), journal.Entries[journal.First]);
    journal.First = (journal.First + 1) % kJournalCapacity;
    --journal.Count;
    ++taken;
  }
  return taken * static_cast<uint32_t>(sizeof(JournalEntry));
}

Outcome WriteGroup(DriverState& state, const BlockGroup& group, const uint8_t* input) {
  uint8_t* block = reinterpret_cast<uint8_t*>(&state.Block);
  for (uint8_t i = 0; i < group.SpanCount; ++i) {
    const ByteSpan span = group.Spans[i];
    __builtin_memcpy(block + span.Begin, input + span.Begin, span.End - span.Begin);
  }
  return Done(0, true);
}

void PushSample(RawPoint& sample, const SimSample& input) {
  sample.X = input.X;
  sample.Y = input.Y;
  sample.Status = input.Touched ? kTouchedBit : 0;
  sample.Spare = 0;
  sample.Counter = static_cast<int16_t>(static_cast<uint16_t>(sample.Counter) + 1u);
}

constexpr WindowSlot kEmptySlot = {kNoWindow, kToolIdle, {0, 0}};

// The codes the suite sends, which alone can be refused: the simulation codes always work.
bool SuiteCode(uint32_t code) { return code < kSimLoadBlock && FindCommand(code) != nullptr; }

Refusal* FindRefusal(DriverState& state, uint32_t code) {
  for (Refusal& refusal : state.Refusals) {
    if (refusal.Left != 0 && refusal.Code == code) return &refusal;
  }
  return nullptr;
}

Outcome SetRefusal(DriverState& state, const SimRefusal& input) {
  if (!SuiteCode(input.Code)) return Fail(Status::kBadValue);
  Refusal* refusal = FindRefusal(state, input.Code);
  if (refusal == nullptr) {
    if (input.Count == 0) return Done();
    for (Refusal& free : state.Refusals) {
      if (free.Left == 0) {
        refusal = &free;
        break;
      }
    }
    if (refusal == nullptr) return Fail(Status::kBadValue);  // every entry taken
  }
  *refusal = Refusal{input.Code, input.Count};
  return Done();
}

// True, with one refusal used up, when this request is to be refused.
bool TakeRefusal(DriverState& state, uint32_t code) {
  Refusal* refusal = FindRefusal(state, code);
  if (refusal == nullptr) return false;
  if (refusal->Left != kRefuseAlways) --refusal->Left;
  return true;
}

}  // namespace

ParamBlock DefaultBlock() {
  ParamBlock block{};
  // Bytes the suite passes through untouched: values that a test can recognise.
  block.Reserved0[0] = 0xA0;
  block.Reserved0[1] = 0xA1;
  block.Reserved0[2] = 0xA2;
  block.Reserved52 = 0xB2;
  block.Reserved71 = 0xC7;
  // Above the COM numbers 1..9: the controller sits on the PS/2 auxiliary port (IRQ 12).
  block.DetectedPort = 12;
  // The serial ports a PC of that age reports; each spare byte is 0xD0 + the COM number.
  for (uint8_t n = 0; n < 9; ++n) {
    block.ComPort[n] = ComPortEntry{0, 0xFF, static_cast<uint8_t>(0xD1 + n)};  // not found
  }
  block.ComPort[0].BasePort = 0x3F8;
  block.ComPort[0].Irq = 4;
  block.ComPort[1].BasePort = 0x2F8;
  block.ComPort[1].Irq = 3;
  block.ComPort[2].Irq = 0xFE;  // used by another device
  block.VirtualButton = 4;      // drag-and-drop
  block.FeedbackSound = 1;      // silence
  block.FeedbackTone = 1000;
  block.FeedbackDuration = 20;
  block.Sensitivity = 127;  // level 0, normal
  block.MouseBypass = 0;
  block.MouseHSpeed = 10;
  block.MouseVSpeed = 10;
  block.MouseAcceleration = 1;  // slow
  block.SleepTime = 0;          // power-down disabled
  block.RightButtonFunction = 0;
  block.RightButtonAutoMode = 0;
  block.RightButtonAutoSTime = 1;  // 1 s
  block.RightButtonAutoETime = 3;  // 2 s
  block.RightButtonAutoBeep = 1;
  // An uncalibrated panel: the raw range with a small margin, centred, not turned.
  block.CalXLeft = 64;
  block.CalXCenter = 512;
  block.CalXRight = 960;
  block.CalYTop = 64;
  block.CalYCenter = 512;
  block.CalYBottom = 960;
  block.PanelDirection = 0;
  block.ResolutionX = 1024;
  block.ResolutionY = 768;
  block.McuMode = 0x02;
  block.McuVersion = 0x23;  // 2.3
  block.McuCode[0] = 0x4B;
  block.McuCode[1] = 0x52;
  block.McuCode[2] = 0x50;
  block.McuCode[3] = 0x32;
  return block;
}

bool TakesBlockByte(uint32_t code, uint32_t offset) {
  const BlockGroup* group = FindGroup(code);
  if (group == nullptr) return false;
  for (uint8_t i = 0; i < group->SpanCount; ++i) {
    if (offset >= group->Spans[i].Begin && offset < group->Spans[i].End) return true;
  }
  return false;
}

Beep BeepOf(int16_t tone, int16_t duration) {
  if (tone <= 0 || duration <= 0) return Beep{0, 0};
  const uint32_t divisor = static_cast<uint32_t>(tone);
  return Beep{(kSpeakerClockHertz + divisor / 2) / divisor,
              static_cast<uint32_t>(duration) * kBeepStepMilliseconds};
}

void Reset(DriverState& state) {
  state.Block = DefaultBlock();
  state.RightButton = kEmptySlot;
  state.Companion = kEmptySlot;
  const int16_t counter = state.Sample.Counter;
  state.Sample = RawPoint{};
  state.Sample.Counter = counter;
  state.Log.First = 0;
  state.Log.Count = 0;
  for (Refusal& refusal : state.Refusals) refusal = Refusal{0, 0};
}

bool TakeStoredBlock(uint32_t type, const uint8_t* data, uint32_t length, ParamBlock& block) {
  if (type != kStoredBlockType || length != sizeof(ParamBlock)) return false;
  block = Load<ParamBlock>(data);
  return true;
}

Outcome Handle(DriverState& state, uint32_t code, uint8_t* buffer, uint32_t input_length,
               uint32_t output_length) {
  const Command* command = FindCommand(code);
  if (command == nullptr) return Fail(Status::kUnknownCode);
  if (!LengthsFit(*command, input_length, output_length)) return Fail(Status::kBadLength);
  if (code == kSimPushSample && Load<SimSample>(buffer).Touched > 1) {
    return Fail(Status::kBadValue);
  }
  if (code == kSimRefuse) return SetRefusal(state, Load<SimRefusal>(buffer));
  if (SuiteCode(code) && TakeRefusal(state, code)) return Fail(Status::kRefused);
  // Before the command runs: its output may overwrite the input in the shared buffer.
  if (command->Journalled) Record(state.Log, code, buffer, input_length);

  if (const BlockGroup* group = FindGroup(code)) return WriteGroup(state, *group, buffer);
  switch (code) {
    case kReadBlock:
      return Done(Store(buffer, state.Block));
    case kReadRawPoint:
      return Done(Store(buffer, state.Sample));
    case kGetRightButtonSlot:
      return Done(Store(buffer, state.RightButton));
    case kSetRightButtonSlot:
      state.RightButton = Load<WindowSlot>(buffer);
      return Done();
    case kGetCompanionSlot:
      return Done(Store(buffer, state.Companion));
    case kCalibrationEvent:
    case kSoundTest:
      // Nothing to drive without hardware; the journal shows that they came (and BeepOf what
      // a sound test would have played).
      return Done();
    case kSimLoadBlock:
      state.Block = Load<ParamBlock>(buffer);
      return Done(0, true);
    case kSimPushSample:
      PushSample(state.Sample, Load<SimSample>(buffer));
      return Done();
    case kSimReadJournal:
      return Done(TakeJournal(state.Log, buffer, output_length));
    case kSimRightClickDone:
      if (state.RightButton.State == kToolArmed) state.RightButton.State = kToolIdle;
      return Done();
    case kSimSetCompanionSlot:
      state.Companion = Load<WindowSlot>(buffer);
      return Done();
    case kSimReset:
      Reset(state);
      return Done(0, true);
    default:
      return Fail(Status::kUnknownCode);
  }
}

}  // namespace koral::logic
