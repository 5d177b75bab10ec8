// The definition of a database utilities library as a component library. Both libraries
// compile this file; VESK_LEGACY_BUILD says which one it goes into: libVeskPayDBUtilities.so
// or libVeskDatabaseUtilities.so. The class is creatable only.
#include <string>

#include "component_definition.h"
#include "database_utilities_ids.h"
#include "database_utilities_object.h"

namespace vesk::component_hosting {

namespace {

#if VESK_LEGACY_BUILD
using Object = LegacyDatabaseUtilitiesObject;
constexpr const DatabaseUtilitiesIds& kIds = kLegacyDatabaseUtilitiesIds;
#else
using Object = PayDatabaseUtilitiesObject;
constexpr const DatabaseUtilitiesIds& kIds = kPayDatabaseUtilitiesIds;
#endif

}  // namespace

const ComponentDefinition& ThisComponent() {
    const LibraryIdentity& identity = kIds.identity;
    static const std::string programId = std::string(identity.typeLibrary) + ".DatabaseUtilities";
    static const ClassDefinition classes[] = {
        DefineClass<Object>("DatabaseUtilities", programId.c_str(), kIds.databaseUtilities, false)};
    static const ComponentDefinition component{identity.typeLibrary,  kIds.library,
                                               identity.majorVersion, identity.minorVersion,
                                               identity.description,  classes};
    return component;
}

}  // namespace vesk::component_hosting
