// libFuzzer target: registry values of any type and size, as the programs decode them. A standard
// user can set any value of the model key (the setup lets the Users group do so), and the mouse
// class keys hold whatever other software wrote.
//
// Input: the first byte picks the type (REG_SZ, REG_BINARY, REG_DWORD, or the next four bytes as
// any type number); the rest is the value's data.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "common/core/fuzz/require.h"
#include "common/core/registry_value.h"

namespace {

using namespace koral;
using fuzz::Require;

void CheckText(uint32_t type, std::string_view data) {
  const auto text = DecodeText(type, data);
  Require(text.has_value() == (type == kRegText), "text comes from REG_SZ and nothing else");
  if (!text) return;
  Require(text->find('\0') == std::string_view::npos, "no NUL in a text");
  Require(data.substr(0, text->size()) == *text, "the text is the data's beginning");
  Require(text->size() == data.size() || data[text->size()] == '\0', "the text ends at the data's end or its first NUL");
}

void CheckNumber(uint32_t type, std::string_view data) {
  const auto number = DecodeNumber(type, data);
  Require(number.has_value() == (type == kRegNumber && data.size() == 4), "a number is a REG_DWORD of four bytes");
  if (!number) return;
  uint8_t bytes[4];
  std::memcpy(bytes, &*number, 4);  // every target we build for is little-endian, as the registry's DWORD
  Require(std::memcmp(bytes, data.data(), 4) == 0, "the number is the data's little-endian value");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  uint32_t type = kRegBinary;
  switch (data[0] % 4) {
    case 0: type = kRegText; break;
    case 1: type = kRegBinary; break;
    case 2: type = kRegNumber; break;
    default:
      if (input.size() < 4) return 0;
      std::memcpy(&type, input.data(), 4);
      input.remove_prefix(4);
  }
  CheckText(type, input);
  CheckNumber(type, input);
  // The same bytes as every type the programs read, so that each decoder meets every layout.
  for (uint32_t other : {kRegText, kRegBinary, kRegNumber}) {
    CheckText(other, input);
    CheckNumber(other, input);
  }
  return 0;
}
