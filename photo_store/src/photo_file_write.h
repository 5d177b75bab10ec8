#pragma once

#include <string>
#include <vector>

#include "vesk/picture/picture.h"

namespace vesk::photo_store {

// Writes a photo file so that the write can be taken back until it is kept: the file that
// stood at the name before is held aside (as a second link, or its bytes) and Undo puts it
// back, or removes the new file when there was none. An object that is neither kept nor
// undone undoes itself when it goes.
class PhotoFileWrite {
public:
    PhotoFileWrite() = default;
    ~PhotoFileWrite();
    PhotoFileWrite(const PhotoFileWrite&) = delete;
    PhotoFileWrite& operator=(const PhotoFileWrite&) = delete;

    // Puts the file form of `picture` at `path` in one atomic rename, holding the previous file
    // aside. A new file gets the permissions the umask allows; a replacement keeps the previous
    // file's. A name held by a link, a folder or a device is refused. Throws (PictureError or
    // FileError), leaving `path` as it was, when it cannot.
    void Write(const picture::Picture& picture, const std::string& path);
    // The write stands: drops what was held aside. Never throws.
    void Keep();
    // Puts back what stood at the path before Write. Never throws; returns whether it could.
    bool Undo();

private:
    void HoldPrevious();

    std::string m_path;
    std::string m_heldPath;                 // a second link to the previous file
    std::vector<std::uint8_t> m_heldBytes;  // its bytes, where a second link cannot be made
    unsigned m_previousMode = 0;            // its permissions, which the new file takes
    bool m_hadPrevious = false;
    bool m_pending = false;
};

}  // namespace vesk::photo_store
