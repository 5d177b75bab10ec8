// The exported entry points of a component library (contracts in vesk/com/entry_points.h).
// Every component library compiles this file once; its own definition (ThisComponent) says
// what it serves. Everything else of the hosting code stays hidden in the library.
#include "component_server.h"

using vesk::com::HRESULT;
using vesk::com::REFCLSID;
using vesk::com::REFIID;
using vesk::com::ThisComponent;

#define VESK_EXPORTED extern "C" __attribute__((visibility("default")))

namespace {

// An address inside this library, to find the library's file by.
const char kLibraryAnchor = 0;

}  // namespace

VESK_EXPORTED HRESULT DllRegisterServer() {
    return vesk::com::RegisterComponent(ThisComponent(), &kLibraryAnchor);
}

VESK_EXPORTED HRESULT DllUnregisterServer() {
    return vesk::com::UnregisterComponent(ThisComponent());
}

VESK_EXPORTED HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return vesk::com::GetClassObject(ThisComponent(), clsid, iid, object);
}

VESK_EXPORTED HRESULT DllCanUnloadNow() {
    return vesk::com::CanUnloadNow();
}

VESK_EXPORTED HRESULT DllGetApplicationObject(REFCLSID clsid, REFIID iid, void** object) {
    return vesk::com::GetApplicationObject(ThisComponent(), clsid, iid, object);
}

VESK_EXPORTED const vesk::com::TypeLibraryDescription* VeskDescribeTypeLibrary() {
    return vesk::com::DescribeComponent(ThisComponent());
}
