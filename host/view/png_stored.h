// PNG pictures written without a compression library: the pixel rows go
// into the file's deflate stream as stored (uncompressed) blocks. Any PNG
// reader reads them; the files are about as large as the pixels. Builds
// without libpng (the Windows cross-build) write their pictures this way.
#ifndef MORVANE_HOST_VIEW_PNG_STORED_H
#define MORVANE_HOST_VIEW_PNG_STORED_H

#include "view/raster.h"

#include <string>

namespace host {

// RGB, 8 bits a channel (alpha dropped, as writePng drops it); false with a
// message naming the file when the picture is empty or the file cannot be
// written (a half-written file is removed).
bool writeStoredPng(const std::string& path, const Raster& picture, std::string& error);

} // namespace host

#endif
