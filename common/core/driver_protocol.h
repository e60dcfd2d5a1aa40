// Control codes and buffer layouts exchanged with the touchscreen driver KORALPS2.
// Shared by the programs, the tools and the substitute driver itself, so it must stay
// freestanding: no library headers beyond <stdint.h> and <stddef.h>, no Windows headers.
// All multi-byte fields are little-endian, which is the byte order of every target we build for.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace koral {

// Device name; user mode opens "\\.\" + kDeviceName.
inline constexpr const char kDeviceName[] = "KORALPS2";

// Control codes used by the programs of the suite (all buffered I/O).
enum ControlCode : uint32_t {
  kReadBlock = 0xF2010,          // ParamBlock out: the driver fills the whole block
  kReadRawPoint = 0xF2030,       // RawPoint out: latest raw sample
  kCalibrationEvent = 0xF2040,   // ModeArg in: calibration progress
  kWriteSerialPorts = 0xF2050,   // ParamBlock in: ComPort table
  kWriteVirtualButton = 0xF2060, // ParamBlock in: VirtualButton and bytes 53..57
  kWriteFeedback = 0xF2070,      // ParamBlock in: bytes 41..45
  kWriteSensitivity = 0xF2080,   // ParamBlock in: Sensitivity
  kWriteMouseSpeed = 0xF2090,    // ParamBlock in: bytes 47..50
  kWriteCalibration = 0xF20A0,   // ParamBlock in: bytes 58..70
  kWriteWholeBlock = 0xF20B0,    // ParamBlock in: every byte
  kWriteSleepTime = 0xF20C0,     // ParamBlock in: SleepTime
  kGetRightButtonSlot = 0xF3010, // WindowSlot out
  kSetRightButtonSlot = 0xF3020, // WindowSlot in
  kGetCompanionSlot = 0xF4010,   // WindowSlot out
  kSoundTest = 0xF5010,          // SoundTest in
};

// Private simulation codes of the substitute driver. Only tests, the tools and the stand-ins send
// them. Their access bits (14..15) ask for read and write access, so the system refuses them on a
// handle opened for reading only, which is how the suite's programs open the device; the codes
// above are fixed, and ask for no access (0xF4010 and 0xF5010 for read access).
enum SimulationCode : uint32_t {
  kSimLoadBlock = 0xFE010,       // 82 bytes in: become the driver's block
  kSimPushSample = 0xFE020,      // SimSample in: becomes the latest raw sample
  kSimReadJournal = 0xFE030,     // k x JournalEntry out: oldest entries, removed
  kSimRightClickDone = 0xFE040,  // 4 bytes: right-button state 1 becomes 0
  kSimSetCompanionSlot = 0xFE050,// WindowSlot in
  kSimReset = 0xFE060,           // 4 bytes: defaults, empty slots, no sample, empty journal
  kSimRefuse = 0xFE070,          // SimRefusal in: requests with a suite code to be refused
};

#pragma pack(push, 1)

struct ComPortEntry {
  int16_t BasePort;  // 0 = port not usable; then Irq is a status code
  uint8_t Irq;
  uint8_t Spare;
};

struct ParamBlock {
  uint8_t Reserved0[3];
  uint8_t DetectedPort;
  ComPortEntry ComPort[9];  // COM1..COM9 at index 0..8
  uint8_t VirtualButton;
  uint8_t FeedbackSound;
  int16_t FeedbackTone;
  int16_t FeedbackDuration;
  uint8_t Sensitivity;
  uint8_t MouseBypass;
  uint8_t MouseHSpeed;
  uint8_t MouseVSpeed;
  uint8_t MouseAcceleration;
  uint8_t SleepTime;
  uint8_t Reserved52;
  uint8_t RightButtonFunction;
  uint8_t RightButtonAutoMode;
  uint8_t RightButtonAutoSTime;
  uint8_t RightButtonAutoETime;
  uint8_t RightButtonAutoBeep;
  int16_t CalXLeft;
  int16_t CalXCenter;
  int16_t CalXRight;
  int16_t CalYTop;
  int16_t CalYCenter;
  int16_t CalYBottom;
  uint8_t PanelDirection;
  uint8_t Reserved71;
  int16_t ResolutionX;
  int16_t ResolutionY;
  uint8_t McuMode;
  uint8_t McuVersion;
  uint8_t McuCode[4];
};

// Values of the block's mode fields that the programs test.
enum TouchMode : uint8_t {  // VirtualButton
  kStreamMode = 1,
  kLiftOffMode = 2,
  kTouchDownMode = 3,
  kDragDropMode = 4,
};
enum RightButtonSwitch : uint8_t {  // RightButtonFunction
  kRightButtonOff = 0,
  kRightButtonOn = 1,
};
enum RightButtonAuto : uint8_t {  // RightButtonAutoMode: any value but 0 counts as automatic
  kRightButtonManual = 0,
  kRightButtonAutomatic = 1,
};

// The right-button function works through the corner tool KORALprb unless it is automatic in
// drag-and-drop mode, where the driver itself makes the right click.
constexpr bool RightButtonUsesTool(const ParamBlock& block) {
  return block.RightButtonFunction == kRightButtonOn &&
         !(block.VirtualButton == kDragDropMode && block.RightButtonAutoMode != kRightButtonManual);
}

// Window slot handle meaning "no window registered".
inline constexpr int32_t kNoWindow = -1;

// WindowSlot.State of the right-button tool.
enum RightButtonState : int16_t {
  kToolIdle = 0,
  kToolArmed = 1,  // the next touch is to be a right click; the driver clears it once made
};

struct ModeArg {
  int32_t Value;
};

// Calibration event codes carried by ModeArg.
enum CalibrationEventCode : int32_t {
  kCalLeft = 0,
  kCalTouchedAtStart = 3,
  kCalBroken = 4,
  kCalPointAccepted = 5,
};

inline constexpr uint8_t kTouchedBit = 0x08;

struct RawPoint {
  int16_t X;
  int16_t Y;
  uint8_t Status;   // kTouchedBit while the panel is touched
  uint8_t Spare;
  int16_t Counter;  // changes with every new sample
};

struct WindowSlot {
  int32_t Handle;  // -1 = no window registered
  int16_t State;   // right-button tool: 0 idle, 1 armed; companion: orientation code 0..3
  uint8_t Spare[2];
};

struct SoundTest {
  int16_t Tone;
  int16_t Duration;
};

// Input of kSimPushSample.
struct SimSample {
  int16_t X;
  int16_t Y;
  uint8_t Touched;  // 0 or 1
  uint8_t Spare[3];
};

// Input of kSimRefuse: the next Count requests with Code fail as a controller that does not
// answer would make them fail. Count 0 ends a refusal; kRefuseAlways refuses until a reset.
inline constexpr uint32_t kRefuseAlways = 0xFFFFFFFF;
struct SimRefusal {
  uint32_t Code;  // a suite code, 0xF2010 .. 0xF5010
  uint32_t Count;
};

// One journal record returned by kSimReadJournal.
inline constexpr size_t kJournalDataBytes = 84;
struct JournalEntry {
  uint32_t Code;
  uint32_t Length;                 // input length as received
  uint8_t Data[kJournalDataBytes]; // input bytes, zero-padded
};

#pragma pack(pop)

static_assert(sizeof(ComPortEntry) == 4);
static_assert(sizeof(ParamBlock) == 82);
static_assert(offsetof(ParamBlock, Reserved0) == 0);
static_assert(offsetof(ParamBlock, DetectedPort) == 3);
static_assert(offsetof(ParamBlock, ComPort) == 4);
static_assert(offsetof(ParamBlock, VirtualButton) == 40);
static_assert(offsetof(ParamBlock, FeedbackSound) == 41);
static_assert(offsetof(ParamBlock, FeedbackTone) == 42);
static_assert(offsetof(ParamBlock, FeedbackDuration) == 44);
static_assert(offsetof(ParamBlock, Sensitivity) == 46);
static_assert(offsetof(ParamBlock, MouseBypass) == 47);
static_assert(offsetof(ParamBlock, MouseHSpeed) == 48);
static_assert(offsetof(ParamBlock, MouseVSpeed) == 49);
static_assert(offsetof(ParamBlock, MouseAcceleration) == 50);
static_assert(offsetof(ParamBlock, SleepTime) == 51);
static_assert(offsetof(ParamBlock, Reserved52) == 52);
static_assert(offsetof(ParamBlock, RightButtonFunction) == 53);
static_assert(offsetof(ParamBlock, RightButtonAutoMode) == 54);
static_assert(offsetof(ParamBlock, RightButtonAutoSTime) == 55);
static_assert(offsetof(ParamBlock, RightButtonAutoETime) == 56);
static_assert(offsetof(ParamBlock, RightButtonAutoBeep) == 57);
static_assert(offsetof(ParamBlock, CalXLeft) == 58);
static_assert(offsetof(ParamBlock, CalXCenter) == 60);
static_assert(offsetof(ParamBlock, CalXRight) == 62);
static_assert(offsetof(ParamBlock, CalYTop) == 64);
static_assert(offsetof(ParamBlock, CalYCenter) == 66);
static_assert(offsetof(ParamBlock, CalYBottom) == 68);
static_assert(offsetof(ParamBlock, PanelDirection) == 70);
static_assert(offsetof(ParamBlock, Reserved71) == 71);
static_assert(offsetof(ParamBlock, ResolutionX) == 72);
static_assert(offsetof(ParamBlock, ResolutionY) == 74);
static_assert(offsetof(ParamBlock, McuMode) == 76);
static_assert(offsetof(ParamBlock, McuVersion) == 77);
static_assert(offsetof(ParamBlock, McuCode) == 78);
static_assert(sizeof(ModeArg) == 4);
static_assert(sizeof(RawPoint) == 8);
static_assert(offsetof(RawPoint, Status) == 4);
static_assert(offsetof(RawPoint, Counter) == 6);
static_assert(sizeof(WindowSlot) == 8);
static_assert(offsetof(WindowSlot, State) == 4);
static_assert(sizeof(SoundTest) == 4);
static_assert(sizeof(SimSample) == 8);
static_assert(sizeof(SimRefusal) == 8);
static_assert(sizeof(JournalEntry) == 92);

}  // namespace koral
