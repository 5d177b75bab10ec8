// The definition of libVeskPhoto.so as a component library: type library VeskPhotos 1.1 with
// the class CPicture, which is also the library's application object.
#include "c_picture_object.h"
#include "component_definition.h"
#include "photo_ids.h"

namespace vesk::com {

const ComponentDefinition& ThisComponent() {
    static const ClassDefinition classes[] = {
        DefineClass<CPictureObject>("CPicture", "VeskPhotos.CPicture", photo_ids::kCPicture, true)};
    static const ComponentDefinition component{"VeskPhotos", photo_ids::kLibrary, 1, 1, "",
                                               classes};
    return component;
}

}  // namespace vesk::com
