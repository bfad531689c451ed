#pragma once

#include <string>
#include <string_view>

namespace sheetcraft {

// Replaces the file at `path` with `bytes`, or creates it in an existing
// folder, so that a failure never leaves half a file. The bytes go to a
// temporary file beside the target; every write, the flush to the disk and
// the close are checked, and only then is the temporary renamed over the
// target. On any failure the temporary is removed and the old file keeps its
// bytes.
//
// Only a regular file (or a new one) is written: a folder, a FIFO or a device
// is refused and left as it is. A symbolic link writes the file it points to.
// The new file keeps the old one's permissions; a new file gets the usual
// ones for the user.
//
// Returns an empty text on success, otherwise the reason, in the system's
// words where it has them ("No space left on device", "Permission denied").
[[nodiscard]] std::string writeFileSafely(const std::string &path, std::string_view bytes);

} // namespace sheetcraft
