#pragma once

#include "vesk/component_hosting/interfaces.h"
#include "vesk/component_hosting/type_description.h"

// The functions every component library exports (extern "C", found with dlsym by these names).
//
//   HRESULT DllRegisterServer()      Writes the library's entries into the per-user registry
//                                    (registry.h): program identifier -> class, class -> this
//                                    library's path, threading model, program identifier and
//                                    type library, type library -> name, version, description.
//   HRESULT DllUnregisterServer()    Removes exactly those entries; S_OK also when absent.
//   HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
//                                    The class object (IClassFactory) of `clsid`;
//                                    CLASS_E_CLASSNOTAVAILABLE for a class of another library.
//   HRESULT DllCanUnloadNow()        S_OK when no object of the library is held by anyone and
//                                    no LockServer lock is held; S_FALSE otherwise.
//   HRESULT DllGetApplicationObject(REFCLSID clsid, REFIID iid, void** object)
//                                    The library's predeclared instance of `clsid` (created on
//                                    first use and kept by the library, whose own reference
//                                    does not count for DllCanUnloadNow);
//                                    CLASS_E_CLASSNOTAVAILABLE for a class without one.
//   const TypeLibraryDescription* VeskDescribeTypeLibrary()
//                                    The library's type description (type_description.h).
namespace vesk::component_hosting {

using DllRegisterServerFunction = HRESULT (*)();
using DllUnregisterServerFunction = HRESULT (*)();
using DllGetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFunction = HRESULT (*)();
using DllGetApplicationObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);
using VeskDescribeTypeLibraryFunction = const TypeLibraryDescription* (*)();

}  // namespace vesk::component_hosting
