// How the programs decode the registry values they read, apart from the registry calls: which
// type and size a value must have to count, and what it then means. A value that does not count
// is unreadable; the callers treat it as missing and never write it back altered.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace koral {

// The registry's value types, as Windows numbers them.
inline constexpr uint32_t kRegText = 1;    // REG_SZ
inline constexpr uint32_t kRegBinary = 3;  // REG_BINARY
inline constexpr uint32_t kRegNumber = 4;  // REG_DWORD (little-endian)

// A REG_SZ value's text: its bytes up to the first NUL (whatever follows it is not part of the
// text). Nothing for any other type.
std::optional<std::string> DecodeText(uint32_t type, std::string_view data);

// A REG_DWORD of exactly four bytes, as a signed number. Nothing for any other type or size: a
// shorter "REG_DWORD" is damaged, not a small number.
std::optional<int32_t> DecodeNumber(uint32_t type, std::string_view data);

}  // namespace koral
