#pragma once

#include "vesk/component_hosting/base_types.h"

// Result codes of the component interface, with the values such components have always used:
// a host compares them by value. Success codes are >= 0, failures < 0.
namespace vesk::component_hosting {

constexpr HRESULT Code(std::uint32_t bits) {
    return static_cast<HRESULT>(bits);
}
constexpr bool Succeeded(HRESULT result) {
    return result >= 0;
}
constexpr bool Failed(HRESULT result) {
    return result < 0;
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;

inline constexpr HRESULT E_NOTIMPL = Code(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = Code(0x80004002);
inline constexpr HRESULT E_POINTER = Code(0x80004003);
inline constexpr HRESULT E_FAIL = Code(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = Code(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = Code(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = Code(0x80070057);

// Class objects and registration.
inline constexpr HRESULT CLASS_E_NOAGGREGATION = Code(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = Code(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = Code(0x80040154);
inline constexpr HRESULT CO_E_CLASSSTRING = Code(0x800401F3);
inline constexpr HRESULT SELFREG_E_CLASS = Code(0x80040201);

// Late binding (IDispatch).
inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = Code(0x80020001);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = Code(0x80020003);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = Code(0x80020004);  // also: "argument left out"
inline constexpr HRESULT DISP_E_TYPEMISMATCH = Code(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = Code(0x80020006);
inline constexpr HRESULT DISP_E_NONAMEDARGS = Code(0x80020007);
inline constexpr HRESULT DISP_E_BADVARTYPE = Code(0x80020008);
inline constexpr HRESULT DISP_E_EXCEPTION = Code(0x80020009);
inline constexpr HRESULT DISP_E_OVERFLOW = Code(0x8002000A);
inline constexpr HRESULT DISP_E_BADINDEX = Code(0x8002000B);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = Code(0x8002000E);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = Code(0x8002000F);

// Connection points (events).
inline constexpr HRESULT CONNECT_E_NOCONNECTION = Code(0x80040200);
inline constexpr HRESULT CONNECT_E_CANNOTCONNECT = Code(0x80040202);

}  // namespace vesk::component_hosting
