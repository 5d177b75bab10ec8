#include "vesk/component_hosting/argument_list.h"

#include "vesk/component_hosting/com_error.h"

namespace vesk::component_hosting {

namespace {

// Puts the converted value into the place a typed reference points at, freeing the text or
// object it held; the reference owns what `converted` held from then on.
void StoreReferenced(const VARIANT& reference, VARIANT& converted) {
    VARIANT held = Dereferenced(reference);
    VariantClear(&held);
    std::memcpy(reference.byref, static_cast<const void*>(&converted.dblVal),
                ValueSize(converted.vt));
    VariantInit(&converted);
}

}  // namespace

bool ArgumentList::IsMissing(std::size_t index) const {
    if (index >= Count()) {
        return true;
    }
    const VARIANT value = Value(index);
    return value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND;
}

bool ArgumentList::IsByRef(std::size_t index) const {
    return index < Count() && (m_params.rgvarg[RawIndex(index)].vt & VT_BYREF) != 0;
}

VARIANT ArgumentList::Value(std::size_t index) const {
    if (index >= Count()) {
        VARIANT empty;
        VariantInit(&empty);
        return empty;
    }
    return Dereferenced(m_params.rgvarg[RawIndex(index)]);
}

VARIANT ArgumentList::Copy(std::size_t index) const {
    VARIANT copy;
    VariantInit(&copy);
    const VARIANT value = Value(index);
    ThrowIfFailed(VariantCopy(&copy, &value), "Copying an argument");
    return copy;
}

HRESULT ArgumentList::Set(std::size_t index, const VARIANT& value) const {
    if (!IsByRef(index)) {
        return S_FALSE;
    }
    const VARIANT& reference = m_params.rgvarg[RawIndex(index)];
    if (reference.byref == nullptr) {
        return E_POINTER;
    }
    if ((reference.vt & VT_TYPEMASK) == VT_VARIANT) {
        return VariantCopyInd(reference.pvarVal, &value);
    }
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT result =
        ChangeType(converted, value, static_cast<VARTYPE>(reference.vt & VT_TYPEMASK));
    if (Succeeded(result)) {
        StoreReferenced(reference, converted);
    }
    VariantClear(&converted);
    return result;
}

}  // namespace vesk::component_hosting
