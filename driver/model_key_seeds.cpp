#include "driver/model_key_seeds.h"

#include "driver/logic/model_seeds.h"

namespace koral::kernel {
namespace {

constexpr wchar_t kModelKey[] = L"\\Registry\\Machine\\SOFTWARE\\Brimholt\\TouchScreen\\KR-PS2";

// The seed's value, by its ASCII name; absent when it cannot be read.
logic::SeedReading Read(HANDLE key, const char* name) {
  logic::SeedReading reading{};
  WCHAR wide[64];
  size_t length = 0;
  for (; name[length] != '\0' && length + 1 < sizeof(wide) / sizeof(wide[0]); ++length)
    wide[length] = static_cast<WCHAR>(name[length]);
  UNICODE_STRING valueName;
  valueName.Buffer = wide;
  valueName.Length = static_cast<USHORT>(length * sizeof(WCHAR));
  valueName.MaximumLength = valueName.Length;
  alignas(8) UCHAR raw[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + sizeof(reading.Data)];
  auto* value = reinterpret_cast<KEY_VALUE_PARTIAL_INFORMATION*>(raw);
  ULONG returned = 0;
  const NTSTATUS status = ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, value, sizeof(raw), &returned);
  // A longer value does not fit and reports its length only; it is of another shape either way.
  if (status == STATUS_BUFFER_OVERFLOW) {
    reading = {true, value->Type, value->DataLength, {}};
  } else if (NT_SUCCESS(status)) {
    reading = {true, value->Type, value->DataLength, {}};
    RtlCopyMemory(reading.Data, value->Data, value->DataLength < sizeof(reading.Data) ? value->DataLength : sizeof(reading.Data));
  }
  return reading;
}

}  // namespace

void TakeModelKeySeeds(ParamBlock& block) {
  UNICODE_STRING path;
  RtlInitUnicodeString(&path, kModelKey);
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &path, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, nullptr, nullptr);
  HANDLE key = nullptr;
  if (!NT_SUCCESS(ZwOpenKey(&key, KEY_QUERY_VALUE, &attributes))) return;
  logic::SeedReading readings[kSeedValueCount];
  for (size_t s = 0; s < kSeedValueCount; ++s) readings[s] = Read(key, kSeedValues[s].ValueName);
  ZwClose(key);
  logic::TakeSeeds(block, readings);
}

}  // namespace koral::kernel
