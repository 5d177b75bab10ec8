// The identity of a database utilities library as a host sees it before it creates anything.
// Both libraries compile this file; VESK_LEGACY_BUILD says which one it goes into.
#include "vesk/library_identity.h"

extern "C" {

#if VESK_LEGACY_BUILD
// The type library name and version of libVeskDatabaseUtilities.so.
__attribute__((visibility("default"))) const char* VeskDatabaseUtilitiesTypeLibrary() {
    return vesk::kLegacyDatabaseUtilitiesIdentity.typeLibraryVersion;
}
#else
// The type library name and version of libVeskPayDBUtilities.so.
__attribute__((visibility("default"))) const char* VeskPayDBUtilitiesTypeLibrary() {
    return vesk::kPayDatabaseUtilitiesIdentity.typeLibraryVersion;
}
#endif
}
