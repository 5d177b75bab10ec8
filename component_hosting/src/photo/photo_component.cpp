// The definition of libVeskPhoto.so as a component library: its type library (named where the
// build names it) with the class CPicture, which is also the library's application object.
#include "c_picture_object.h"
#include "component_definition.h"
#include "photo_ids.h"
#include "vesk/library_identity.h"

namespace vesk::component_hosting {

const ComponentDefinition& ThisComponent() {
    const LibraryIdentity& identity = kPhotoLibraryIdentity;
    static const std::string programId = std::string(identity.typeLibrary) + ".CPicture";
    static const ClassDefinition classes[] = {
        DefineClass<CPictureObject>("CPicture", programId.c_str(), photo_ids::kCPicture, true)};
    static const ComponentDefinition component{identity.typeLibrary,  photo_ids::kLibrary,
                                               identity.majorVersion, identity.minorVersion,
                                               identity.description,  classes};
    return component;
}

}  // namespace vesk::component_hosting
