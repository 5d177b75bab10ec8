#pragma once

#include "vesk/component_hosting/interfaces.h"
#include "vesk/component_hosting/result_codes.h"
#include "vesk/component_hosting/text.h"

// Tagged values (VARIANT), argument lists (DISPPARAMS) and failure descriptions (EXCEPINFO) of
// late-bound calls, with the inline functions that own and free them (any module may free
// what another made).
namespace vesk::component_hosting {

// Value types. A by-reference value is VT_BYREF | the type of what it points at.
inline constexpr VARTYPE VT_EMPTY = 0;     // nothing (a missing value)
inline constexpr VARTYPE VT_NULL = 1;      // the Null value of a database field
inline constexpr VARTYPE VT_I2 = 2;        // 16-bit signed (Integer)
inline constexpr VARTYPE VT_I4 = 3;        // 32-bit signed (Long)
inline constexpr VARTYPE VT_R8 = 5;        // 64-bit float
inline constexpr VARTYPE VT_BSTR = 8;      // counted UTF-16 text, owned by the VARIANT
inline constexpr VARTYPE VT_DISPATCH = 9;  // an object, one reference owned (null: no object)
inline constexpr VARTYPE VT_ERROR = 10;    // a result code; DISP_E_PARAMNOTFOUND = left out
inline constexpr VARTYPE VT_BOOL = 11;     // VARIANT_BOOL: -1 or 0
inline constexpr VARTYPE VT_VARIANT = 12;  // only with VT_BYREF: points at another VARIANT
inline constexpr VARTYPE VT_UNKNOWN = 13;  // an object seen as IUnknown
inline constexpr VARTYPE VT_VOID = 24;     // in type descriptions only: no result
inline constexpr VARTYPE VT_BYREF = 0x4000;
inline constexpr VARTYPE VT_TYPEMASK = 0x0FFF;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        std::int16_t iVal;
        std::int32_t lVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        std::int16_t* piVal;
        std::int32_t* plVal;
        double* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        VARIANT* pvarVal;
        void* byref;
    };
};

using VARIANTARG = VARIANT;

// The arguments of IDispatch::Invoke: rgvarg holds them last argument first (rgvarg[0] is the
// last); the first cNamedArgs of them are named by rgdispidNamedArgs (only DISPID_PROPERTYPUT,
// for the value of a property put, is used here).
struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

// The description of a failure inside a call (DISP_E_EXCEPTION). The texts are owned by the
// receiver, who frees them with SysFreeString (FreeExcepInfo does).
struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    void* pfnDeferredFillIn;
    SCODE scode;
};

// VT_EMPTY, all bits clear.
inline void VariantInit(VARIANT* value) {
    std::memset(static_cast<void*>(value), 0, sizeof *value);
}

// Frees what `value` owns (its text, its object reference; nothing behind VT_BYREF) and makes
// it VT_EMPTY.
inline HRESULT VariantClear(VARIANT* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    switch (value->vt) {
        case VT_BSTR:
            SysFreeString(value->bstrVal);
            break;
        case VT_DISPATCH:
        case VT_UNKNOWN:
            if (value->punkVal != nullptr) {
                value->punkVal->Release();
            }
            break;
        default:
            break;
    }
    VariantInit(value);
    return S_OK;
}

// Makes *target a copy of *source (a text copied, an object reference added; a VT_BYREF value
// copied as the same pointer), clearing *target first.
inline HRESULT VariantCopy(VARIANT* target, const VARIANT* source) {
    if (target == nullptr || source == nullptr) {
        return E_POINTER;
    }
    if (target == source) {
        return S_OK;
    }
    VariantClear(target);
    *target = *source;
    if (source->vt == VT_BSTR && source->bstrVal != nullptr) {
        target->bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
        if (target->bstrVal == nullptr) {
            VariantInit(target);
            return E_OUTOFMEMORY;
        }
    } else if ((source->vt == VT_DISPATCH || source->vt == VT_UNKNOWN) &&
               source->punkVal != nullptr) {
        source->punkVal->AddRef();
    }
    return S_OK;
}

// The size of a value of `type` in a VARIANT's storage, for the types that a by-reference
// value may point at directly (VT_I2, VT_I4, VT_R8, VT_BOOL, VT_ERROR, VT_BSTR, VT_DISPATCH,
// VT_UNKNOWN); 0 for others. All of them start where the storage starts.
inline std::size_t ValueSize(VARTYPE type) {
    switch (type) {
        case VT_I2:
        case VT_BOOL:
            return sizeof(std::int16_t);
        case VT_I4:
        case VT_ERROR:
            return sizeof(std::int32_t);
        case VT_R8:
            return sizeof(double);
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return sizeof(void*);
        default:
            return 0;
    }
}

// The value a by-reference VARIANT points at (through a VT_VARIANT reference too), as a plain
// VARIANT; any other value as it is. Shallow: it borrows the text or object and must not be
// cleared.
inline VARIANT Dereferenced(const VARIANT& value) {
    if ((value.vt & VT_BYREF) == 0 || value.byref == nullptr) {
        return value;
    }
    const auto type = static_cast<VARTYPE>(value.vt & ~VT_BYREF);
    if (type == VT_VARIANT) {
        return Dereferenced(*value.pvarVal);
    }
    const std::size_t size = ValueSize(type);
    if (size == 0) {
        return value;
    }
    VARIANT plain;
    VariantInit(&plain);
    plain.vt = type;
    std::memcpy(static_cast<void*>(&plain.dblVal), value.byref, size);
    return plain;
}

// Like VariantCopy, but a VT_BYREF value is copied as the value it points at
// (DISP_E_BADVARTYPE for a reference to another type).
inline HRESULT VariantCopyInd(VARIANT* target, const VARIANT* source) {
    if (source == nullptr) {
        return E_POINTER;
    }
    const VARIANT value = Dereferenced(*source);
    if ((value.vt & VT_BYREF) != 0) {
        return DISP_E_BADVARTYPE;
    }
    return VariantCopy(target, &value);
}

// Frees the texts of an EXCEPINFO and clears it.
inline void FreeExcepInfo(EXCEPINFO* info) {
    if (info != nullptr) {
        SysFreeString(info->bstrSource);
        SysFreeString(info->bstrDescription);
        SysFreeString(info->bstrHelpFile);
        std::memset(static_cast<void*>(info), 0, sizeof *info);
    }
}

}  // namespace vesk::component_hosting
