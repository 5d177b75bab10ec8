// The identity of libVeskPhoto.so as a host sees it before it creates anything.
#include "vesk/library_identity.h"

extern "C" {

// The type library name and version the photo component carries.
__attribute__((visibility("default"))) const char* VeskPhotoTypeLibrary() {
    return vesk::kPhotoLibraryIdentity.typeLibraryVersion;
}
}
