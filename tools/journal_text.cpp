#include "tools/journal_text.h"

#include <cstdio>
#include <cstring>

#include "driver/logic/driver_logic.h"

namespace koral::sim {
namespace {

struct CodeEntry {
  uint32_t Code;
  const char* Name;
};

constexpr CodeEntry kCodeNames[] = {
    {kReadBlock, "ReadBlock"},
    {kReadRawPoint, "ReadRawPoint"},
    {kCalibrationEvent, "CalibrationEvent"},
    {kWriteSerialPorts, "WriteSerialPorts"},
    {kWriteVirtualButton, "WriteVirtualButton"},
    {kWriteFeedback, "WriteFeedback"},
    {kWriteSensitivity, "WriteSensitivity"},
    {kWriteMouseSpeed, "WriteMouseSpeed"},
    {kWriteCalibration, "WriteCalibration"},
    {kWriteWholeBlock, "WriteWholeBlock"},
    {kWriteSleepTime, "WriteSleepTime"},
    {kGetRightButtonSlot, "GetRightButtonSlot"},
    {kSetRightButtonSlot, "SetRightButtonSlot"},
    {kGetCompanionSlot, "GetCompanionSlot"},
    {kSoundTest, "SoundTest"},
    {kSimLoadBlock, "SimLoadBlock"},
    {kSimPushSample, "SimPushSample"},
    {kSimReadJournal, "SimReadJournal"},
    {kSimRightClickDone, "SimRightClickDone"},
    {kSimSetCompanionSlot, "SimSetCompanionSlot"},
    {kSimReset, "SimReset"},
    {kSimRefuse, "SimRefuse"},
};

enum class Kind { kU8, kI16, kHexBytes, kComPort };

struct Field {
  const char* Name;
  uint8_t Offset;
  uint8_t Size;
  Kind Shown;
};

#define KORAL_FIELD(name, kind) \
  Field { #name, offsetof(ParamBlock, name), sizeof(ParamBlock::name), kind }
#define KORAL_COM(n) \
  Field { "COM" #n, offsetof(ParamBlock, ComPort) + 4 * ((n) - 1), 4, Kind::kComPort }

constexpr Field kFields[] = {
    KORAL_FIELD(Reserved0, Kind::kHexBytes),
    KORAL_FIELD(DetectedPort, Kind::kU8),
    KORAL_COM(1), KORAL_COM(2), KORAL_COM(3), KORAL_COM(4), KORAL_COM(5),
    KORAL_COM(6), KORAL_COM(7), KORAL_COM(8), KORAL_COM(9),
    KORAL_FIELD(VirtualButton, Kind::kU8),
    KORAL_FIELD(FeedbackSound, Kind::kU8),
    KORAL_FIELD(FeedbackTone, Kind::kI16),
    KORAL_FIELD(FeedbackDuration, Kind::kI16),
    KORAL_FIELD(Sensitivity, Kind::kU8),
    KORAL_FIELD(MouseBypass, Kind::kU8),
    KORAL_FIELD(MouseHSpeed, Kind::kU8),
    KORAL_FIELD(MouseVSpeed, Kind::kU8),
    KORAL_FIELD(MouseAcceleration, Kind::kU8),
    KORAL_FIELD(SleepTime, Kind::kU8),
    KORAL_FIELD(Reserved52, Kind::kHexBytes),
    KORAL_FIELD(RightButtonFunction, Kind::kU8),
    KORAL_FIELD(RightButtonAutoMode, Kind::kU8),
    KORAL_FIELD(RightButtonAutoSTime, Kind::kU8),
    KORAL_FIELD(RightButtonAutoETime, Kind::kU8),
    KORAL_FIELD(RightButtonAutoBeep, Kind::kU8),
    KORAL_FIELD(CalXLeft, Kind::kI16),
    KORAL_FIELD(CalXCenter, Kind::kI16),
    KORAL_FIELD(CalXRight, Kind::kI16),
    KORAL_FIELD(CalYTop, Kind::kI16),
    KORAL_FIELD(CalYCenter, Kind::kI16),
    KORAL_FIELD(CalYBottom, Kind::kI16),
    KORAL_FIELD(PanelDirection, Kind::kU8),
    KORAL_FIELD(Reserved71, Kind::kHexBytes),
    KORAL_FIELD(ResolutionX, Kind::kI16),
    KORAL_FIELD(ResolutionY, Kind::kI16),
    KORAL_FIELD(McuMode, Kind::kHexBytes),
    KORAL_FIELD(McuVersion, Kind::kHexBytes),
    KORAL_FIELD(McuCode, Kind::kHexBytes),
};

#undef KORAL_FIELD
#undef KORAL_COM

std::string Format(const char* format, auto... values) {
  char text[64];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

int16_t I16(const uint8_t* bytes) {
  int16_t value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

std::string HexBytes(const uint8_t* bytes, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += Format(i == 0 ? "%02X" : " %02X", bytes[i]);
  return text;
}

std::string FieldText(const Field& field, const uint8_t* block) {
  const uint8_t* at = block + field.Offset;
  std::string text = std::string(field.Name) + "=";
  switch (field.Shown) {
    case Kind::kU8:
      return text + std::to_string(at[0]);
    case Kind::kI16:
      return text + std::to_string(I16(at));
    case Kind::kHexBytes:
      if (field.Size == 1) return text + Format("0x%02X", at[0]);
      return text + "[" + HexBytes(at, field.Size) + "]";
    case Kind::kComPort:
      return text + Format("{BasePort=0x%04X Irq=%u Spare=0x%02X}",
                           static_cast<uint16_t>(I16(at)), at[2], at[3]);
  }
  return text;
}

std::string ModeArgText(const uint8_t* data) {
  int32_t value;
  std::memcpy(&value, data, sizeof value);
  const char* meaning = value == kCalLeft            ? " (calibration left)"
                        : value == kCalTouchedAtStart ? " (touched at start)"
                        : value == kCalBroken         ? " (broken off)"
                        : value == kCalPointAccepted  ? " (point accepted)"
                                                      : "";
  return "Event=" + std::to_string(value) + meaning;
}

std::string SlotText(const uint8_t* data, const char* state_name) {
  WindowSlot slot;
  std::memcpy(&slot, data, sizeof slot);
  return Format("Handle=%d (0x%08X) %s=%d", slot.Handle, static_cast<uint32_t>(slot.Handle),
                state_name, slot.State);
}

// The values sent and what a controller would play for them.
std::string SoundTestText(int16_t tone, int16_t duration) {
  const logic::Beep beep = logic::BeepOf(tone, duration);
  const std::string played = beep.Hertz == 0 ? " (plays nothing)"
                                             : " (plays " + std::to_string(beep.Hertz) + " Hz for " +
                                                   std::to_string(beep.Milliseconds) + " ms)";
  return "Tone=" + std::to_string(tone) + " Duration=" + std::to_string(duration) + played;
}

bool IsBlockWrite(uint32_t code) {
  for (uint32_t offset = 0; offset < sizeof(ParamBlock); ++offset) {
    if (logic::TakesBlockByte(code, offset)) return true;
  }
  return false;
}

// The fields an entry's code carries, or empty when it carries none worth naming.
std::string FieldsOf(const JournalEntry& entry) {
  switch (entry.Code) {
    case kCalibrationEvent:
      return ModeArgText(entry.Data);
    case kSetRightButtonSlot:
      return SlotText(entry.Data, "State");
    case kSimSetCompanionSlot:
      return SlotText(entry.Data, "Orientation");
    case kSoundTest:
      return SoundTestText(I16(entry.Data), I16(entry.Data + 2));
    case kSimPushSample:
      return "X=" + std::to_string(I16(entry.Data)) + " Y=" + std::to_string(I16(entry.Data + 2)) +
             " Touched=" + std::to_string(entry.Data[4]);
    default:
      break;
  }
  if (entry.Length != sizeof(ParamBlock) || !IsBlockWrite(entry.Code)) return "";
  ParamBlock block;
  std::memcpy(&block, entry.Data, sizeof block);
  return DescribeBlock(block, entry.Code);
}

}  // namespace

std::string CodeName(uint32_t code) {
  for (const CodeEntry& entry : kCodeNames) {
    if (entry.Code == code) return entry.Name;
  }
  return "";
}

std::string DescribeBlock(const ParamBlock& block, uint32_t code, const char* separator) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&block);
  const bool group = IsBlockWrite(code);
  std::string text;
  for (const Field& field : kFields) {
    if (group && !logic::TakesBlockByte(code, field.Offset)) continue;
    if (!text.empty()) text += separator;
    text += FieldText(field, bytes);
  }
  return text;
}

std::string DescribeEntry(const JournalEntry& entry) {
  const std::string name = CodeName(entry.Code);
  std::string text = Format("0x%05X %s, %u bytes\n", entry.Code,
                            name.empty() ? "(unknown)" : name.c_str(), entry.Length);
  const size_t shown = entry.Length < kJournalDataBytes ? entry.Length : kJournalDataBytes;
  for (size_t line = 0; line < shown; line += 16) {
    text += "  " + HexBytes(entry.Data + line, shown - line < 16 ? shown - line : 16) + "\n";
  }
  const std::string fields = FieldsOf(entry);
  if (!fields.empty()) text += "  " + fields + "\n";
  return text;
}

}  // namespace koral::sim
