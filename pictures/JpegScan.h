#pragma once

class QIODevice;

namespace pictures {

// True when the JPEG data read from the device reaches its end-of-image marker.
// The JPEG decoder quietly fills a file cut short with grey and reports success, so a
// truncated picture (an interrupted copy, a half-sent scan) is caught here instead.
// The scan follows the marker structure: segment lengths are skipped, so an end
// marker inside embedded data (the EXIF thumbnail) does not count, and bytes after
// the end marker (trailers that some cameras append) do not matter. The device is
// read from its current position in blocks, never whole.
bool jpegIsComplete(QIODevice &device);

} // namespace pictures
