#include "driver/block_store.h"

#include "driver/logic/driver_logic.h"

namespace koral::kernel {
namespace {

static_assert(logic::kStoredBlockType == REG_BINARY);

constexpr wchar_t kParametersSuffix[] = L"\\Parameters";
constexpr wchar_t kValueName[] = L"ParamBlock";

// Service key + suffix; a service key longer than this leaves the block unstored.
WCHAR g_parameters_path[512];
UNICODE_STRING g_parameters_key;

bool Append(UNICODE_STRING& target, const wchar_t* text, size_t characters) {
  const size_t bytes = characters * sizeof(WCHAR);
  if (target.Length + bytes > target.MaximumLength) return false;
  RtlCopyMemory(reinterpret_cast<char*>(target.Buffer) + target.Length, text, bytes);
  target.Length = static_cast<USHORT>(target.Length + bytes);
  return true;
}

// Opens (creating on first use) the Parameters key; *key stays null on failure.
NTSTATUS OpenParameters(HANDLE* key) {
  *key = nullptr;
  if (g_parameters_key.Length == 0) return STATUS_OBJECT_NAME_INVALID;
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &g_parameters_key,
                             OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, nullptr, nullptr);
  return ZwCreateKey(key, KEY_READ | KEY_WRITE, &attributes, 0, nullptr,
                     REG_OPTION_NON_VOLATILE, nullptr);
}

void ValueName(UNICODE_STRING& name) {
  RtlInitUnicodeString(&name, kValueName);
}

}  // namespace

void InitBlockStore(const UNICODE_STRING& service_key) {
  g_parameters_key.Buffer = g_parameters_path;
  g_parameters_key.Length = 0;
  g_parameters_key.MaximumLength = sizeof(g_parameters_path);
  const size_t suffix = sizeof(kParametersSuffix) / sizeof(WCHAR) - 1;
  if (!Append(g_parameters_key, service_key.Buffer, service_key.Length / sizeof(WCHAR)) ||
      !Append(g_parameters_key, kParametersSuffix, suffix)) {
    g_parameters_key.Length = 0;
  }
}

bool LoadStoredBlock(ParamBlock& block) {
  HANDLE key;
  if (!NT_SUCCESS(OpenParameters(&key))) return false;
  UNICODE_STRING name;
  ValueName(name);
  // Room for more than a block, so that a longer value shows as such.
  alignas(8) UCHAR raw[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + sizeof(ParamBlock)];
  auto* value = reinterpret_cast<KEY_VALUE_PARTIAL_INFORMATION*>(raw);
  ULONG length = 0;
  const NTSTATUS status =
      ZwQueryValueKey(key, &name, KeyValuePartialInformation, value, sizeof(raw), &length);
  ZwClose(key);
  if (!NT_SUCCESS(status)) return false;
  // Never more than the call could fill, whatever length the value claims.
  const ULONG room = sizeof(raw) - FIELD_OFFSET(KEY_VALUE_PARTIAL_INFORMATION, Data);
  const ULONG filled = value->DataLength < room ? value->DataLength : room;
  return logic::TakeStoredBlock(value->Type, value->Data, filled, block);
}

NTSTATUS StoreBlock(const ParamBlock& block) {
  HANDLE key;
  NTSTATUS status = OpenParameters(&key);
  if (!NT_SUCCESS(status)) return status;
  UNICODE_STRING name;
  ValueName(name);
  status = ZwSetValueKey(key, &name, 0, REG_BINARY, const_cast<ParamBlock*>(&block),
                         sizeof(ParamBlock));
  ZwClose(key);
  return status;
}

}  // namespace koral::kernel
