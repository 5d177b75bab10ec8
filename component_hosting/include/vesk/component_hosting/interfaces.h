#pragma once

#include "vesk/component_hosting/base_types.h"
#include "vesk/component_hosting/guid.h"

// The reference-counted interfaces of the component binary interface, as abstract classes whose
// virtual functions are the interface's slots in order. Objects are never deleted by their
// users: they go when the last reference is released.
//
// Conventions: a function that hands out an interface pointer (QueryInterface, CreateInstance,
// FindConnectionPoint, ...) has added a reference for the caller, who releases it; a pointer
// passed in is borrowed for the call. Out pointers are set to null on failure.
namespace vesk::component_hosting {

struct VARIANT;
struct DISPPARAMS;
struct EXCEPINFO;
class ITypeInfo;              // not offered: type descriptions are read through
                              // VeskDescribeTypeLibrary (entry_points.h)
class IEnumConnectionPoints;  // not offered (E_NOTIMPL)
class IEnumConnections;       // not offered (E_NOTIMPL)

class IUnknown {
public:
    // Sets *object to this object seen through interface `iid` (adding a reference), or to null
    // and returns E_NOINTERFACE. E_POINTER when `object` is null.
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    // Adds / drops one reference and returns the new count (for diagnostics only).
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

// A class object: makes the objects of one class.
class IClassFactory : public IUnknown {
public:
    // A new object seen through `iid`. `outer` must be null (CLASS_E_NOAGGREGATION).
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
    // A non-zero `lock` keeps the library in use (DllCanUnloadNow says S_FALSE) until the same
    // number of calls with zero.
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};

// Flags of IDispatch::Invoke.
inline constexpr WORD DISPATCH_METHOD = 1;
inline constexpr WORD DISPATCH_PROPERTYGET = 2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 8;

// Special dispatch identifiers.
inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;  // the named argument of a property put

// Late binding: members reached by name and dispatch identifier.
class IDispatch : public IUnknown {
public:
    // The number of type descriptions GetTypeInfo offers (0 here).
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
    // The dispatch identifier of member names[0] (compared ignoring letter case) and of its
    // parameters names[1..count-1] (their 0-based positions). DISP_E_UNKNOWNNAME, with
    // DISPID_UNKNOWN in the places of the unknown names, when any is unknown.
    virtual HRESULT GetIDsOfNames(REFIID reserved, OLECHAR** names, UINT count, LCID locale,
                                  DISPID* ids) = 0;
    // Calls member `id` as a method or property get / put / put-by-reference (`flags`), with
    // the arguments of `params` (last argument first). `result` (may be null) receives the
    // result; `exception` (may be null) the description of a failure of the call itself
    // (DISP_E_EXCEPTION); `argumentError` (may be null) the index in params->rgvarg of the
    // argument behind DISP_E_TYPEMISMATCH or DISP_E_PARAMNOTOPTIONAL.
    virtual HRESULT Invoke(DISPID id, REFIID reserved, LCID locale, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argumentError) = 0;

protected:
    ~IDispatch() = default;
};

class IConnectionPoint;

// An object with outgoing (event) interfaces.
class IConnectionPointContainer : public IUnknown {
public:
    virtual HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) = 0;
    // The connection point of event interface `iid`; CONNECT_E_NOCONNECTION when the object
    // has none.
    virtual HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) = 0;

protected:
    ~IConnectionPointContainer() = default;
};

// The listeners (sinks) of one event interface. Events are calls of the sink's
// IDispatch::Invoke with DISPATCH_METHOD and the event's dispatch identifier.
class IConnectionPoint : public IUnknown {
public:
    virtual HRESULT GetConnectionInterface(IID* iid) = 0;
    virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) = 0;
    // Holds a reference to `sink` (which must offer IDispatch or the event interface) until
    // Unadvise with the returned cookie; CONNECT_E_CANNOTCONNECT when it offers neither.
    virtual HRESULT Advise(IUnknown* sink, DWORD* cookie) = 0;
    // CONNECT_E_NOCONNECTION for a cookie that names no sink.
    virtual HRESULT Unadvise(DWORD cookie) = 0;
    virtual HRESULT EnumConnections(IEnumConnections** connections) = 0;

protected:
    ~IConnectionPoint() = default;
};

inline constexpr IID IID_IUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IClassFactory{
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IDispatch{
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IConnectionPointContainer{
    0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_IConnectionPoint{
    0xB196B286, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
inline constexpr IID IID_NULL{};

}  // namespace vesk::component_hosting
