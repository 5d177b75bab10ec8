#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "vesk/picture/picture.h"

namespace vesk::host {

// The bytes of `picture` in the form the extension of `path` names, found ignoring case:
// .bmp, .png, .jpg/.jpeg and .ico through the image codecs, .wmf/.emf for a metafile of that
// kind; "-" and a name without an extension take the picture's own file form. Throws
// Error for another extension, or for one the picture cannot take (a metafile is
// not drawn here, so it has only its own form).
std::vector<std::uint8_t> PictureBytesFor(const picture::Picture& picture, const std::string& path);

// Writes `bytes` where `path` names: "-" is `standardOutput`; a device, pipe or socket is
// written to, never replaced; a symbolic link is followed to what it names (a link to nothing
// is refused); a folder is refused; a file is replaced in one atomic step keeping its mode,
// and a new one follows the umask. Throws with the reason.
void WriteOutput(const std::string& path, const std::vector<std::uint8_t>& bytes,
                 std::ostream& standardOutput);

}  // namespace vesk::host
