// Whether the bytes of a picture file hold a whole bitmap, before the system is asked to load
// it: a file cut short would otherwise be shown with whatever the loader makes of the missing
// rows.
#pragma once

#include <cstddef>
#include <string_view>

namespace koral {

// Files larger than this are not taken as pictures (a title or support picture is far smaller).
inline constexpr size_t kLargestBitmapFile = 64u << 20;

// True when the bytes are a Windows bitmap file whose headers, colour table and pixels all lie
// within them: the "BM" mark, a known information header (12, 40, 52, 56, 108 or 124 bytes),
// one plane, 1, 4, 8, 16, 24 or 32 bits a pixel, a width above 0 and a height other than 0
// (negative: stored top down), uncompressed or with bit fields, pixels at or after the colour
// table, and no more than kLargestBitmapFile bytes.
bool BitmapFileIsComplete(std::string_view bytes);

}  // namespace koral
