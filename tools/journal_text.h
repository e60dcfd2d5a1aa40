// Readable text for the driver's control codes and journal entries, for korctl and for test
// failure messages.
#pragma once

#include <cstdint>
#include <string>

#include "common/core/driver_protocol.h"

namespace koral::sim {

// "WriteMouseSpeed", "SimReset", ...; empty for a code the driver does not know.
std::string CodeName(uint32_t code);

// The named fields of a block, "Name=value" each, between separators. With a group code, only
// the fields that code takes; with any other code, every field.
std::string DescribeBlock(const ParamBlock& block, uint32_t code = 0,
                          const char* separator = " ");

// One entry over several lines: the code in hex with its name and the length, the bytes
// received in hex, then the fields the code carries.
std::string DescribeEntry(const JournalEntry& entry);

}  // namespace koral::sim
