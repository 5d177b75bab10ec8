// The exported entry points of a component library (contracts in
// vesk/component_hosting/entry_points.h). Every component library compiles this file once; its own
// definition (ThisComponent) says what it serves. Everything else of the hosting code stays hidden
// in the library.
#include "component_server.h"

using vesk::component_hosting::HRESULT;
using vesk::component_hosting::REFCLSID;
using vesk::component_hosting::REFIID;
using vesk::component_hosting::ThisComponent;

#define VESK_EXPORTED extern "C" __attribute__((visibility("default")))

namespace {

// An address inside this library, to find the library's file by.
const char kLibraryAnchor = 0;

}  // namespace

VESK_EXPORTED HRESULT DllRegisterServer() {
    return vesk::component_hosting::RegisterComponent(ThisComponent(), &kLibraryAnchor);
}

VESK_EXPORTED HRESULT DllUnregisterServer() {
    return vesk::component_hosting::UnregisterComponent(ThisComponent());
}

VESK_EXPORTED HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return vesk::component_hosting::GetClassObject(ThisComponent(), clsid, iid, object);
}

VESK_EXPORTED HRESULT DllCanUnloadNow() {
    return vesk::component_hosting::CanUnloadNow();
}

VESK_EXPORTED HRESULT DllGetApplicationObject(REFCLSID clsid, REFIID iid, void** object) {
    return vesk::component_hosting::GetApplicationObject(ThisComponent(), clsid, iid, object);
}

VESK_EXPORTED const vesk::component_hosting::TypeLibraryDescription* VeskDescribeTypeLibrary() {
    return vesk::component_hosting::DescribeComponent(ThisComponent());
}
