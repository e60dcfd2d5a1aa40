// Small file and cursor helpers the windows of the suite share.
#pragma once

#include <windows.h>

#include <string>

namespace koral {

// True when the file can be opened for reading. A folder, an empty path or any error gives false.
bool FileExists(const std::string& path);

// The bitmap in the file (LoadImage's handle, owned by the caller), or null when the file is
// missing, unreadable or not a whole bitmap (BitmapFileIsComplete): a file cut short is refused
// rather than shown with whatever the loader makes of the missing part.
HGDIOBJ LoadCompleteBitmap(const std::string& path);

// Lowers the system cursor's display count step by step until it is below 0 (cursor hidden).
// The count is only known from a step, so each call takes at least one.
void HideMouseCursor();
// Raises it step by step until it is 0 or above (cursor shown), at least one step.
void ShowMouseCursor();

}  // namespace koral
