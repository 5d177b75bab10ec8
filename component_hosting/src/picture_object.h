#pragma once

#include "dispatch_object.h"
#include "dispatch_table.h"
#include "vesk/picture/picture.h"

namespace vesk::component_hosting {

// A picture as a late-bound host sees it: Handle (0 for the empty picture), Width and Height
// in HIMETRIC units, Type (0 none, 1 bitmap, 2 metafile, 3 icon, 4 enhanced metafile), and
// Save(path), which writes its file form. A host hands a picture to a component as such an
// object of the same library or as the path of a picture file (see PictureArgument).
class PictureObject final : public DispatchObject<PictureObject> {
public:
    explicit PictureObject(picture::Picture picture) : m_picture(std::move(picture)) {}

    static const DispatchTable<PictureObject>& Table();
    const picture::Picture& Target() const { return m_picture; }

private:
    picture::Picture m_picture;
};

}  // namespace vesk::component_hosting
