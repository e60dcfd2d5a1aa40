// Small file and cursor helpers the windows of the suite share.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace koral {

// True when the file can be opened for reading. A folder, an empty path or any error gives false.
bool FileExists(const std::string& path);

// The bitmap in the file (owned by the caller), or null when the file is missing, unreadable or
// not a whole bitmap (BitmapFileIsComplete): a file cut short is refused rather than shown with
// whatever a loader makes of the missing part. The file is read once and the bitmap made from the
// bytes that were checked, so a file changed meanwhile cannot slip past the check.
HGDIOBJ LoadCompleteBitmap(const std::string& path);
// The bitmap of a bitmap file's bytes, as LoadImage makes it (a black-and-white picture as a
// monochrome bitmap, any other as one of the screen's kind); null when they are no whole bitmap.
HGDIOBJ BitmapFromFileBytes(std::string_view bytes);

// Lowers the system cursor's display count step by step until it is below 0 (cursor hidden).
// The count is only known from a step, so each call takes at least one.
void HideMouseCursor();
// Raises it step by step until it is 0 or above (cursor shown), at least one step.
void ShowMouseCursor();

}  // namespace koral
