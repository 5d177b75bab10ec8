#pragma once

#include <cstddef>

#include "vesk/component_hosting/dispatch_types.h"
#include "vesk/component_hosting/variant.h"

namespace vesk::component_hosting {

// The arguments of one late-bound call or event (DISPPARAMS) in declaration order: argument 0
// is the first one the callee declares, stored last in rgvarg. Does not own the arguments.
class ArgumentList {
public:
    explicit ArgumentList(const DISPPARAMS& params) : m_params(params) {}

    std::size_t Count() const { return m_params.cArgs; }
    // Where argument `index` stands in rgvarg (what IDispatch::Invoke reports in argumentError).
    UINT RawIndex(std::size_t index) const { return static_cast<UINT>(Count() - 1 - index); }

    // Beyond the arguments given, or given as left out (VT_ERROR with DISP_E_PARAMNOTFOUND).
    bool IsMissing(std::size_t index) const;
    bool IsByRef(std::size_t index) const;

    // The value of argument `index`, a by-reference argument followed to what it points at.
    // Borrowed from the argument: never cleared by the caller. Empty beyond the arguments.
    VARIANT Value(std::size_t index) const;
    // A copy of that value.
    Variant Get(std::size_t index) const { return Variant::Adopt(Copy(index)); }

    // Stores `value` into by-reference argument `index`, converted to the type it refers to
    // (what it held is freed). S_FALSE for an argument given by value (nothing to write);
    // DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW when `value` has no such form.
    HRESULT Set(std::size_t index, const VARIANT& value) const;

private:
    VARIANT Copy(std::size_t index) const;

    const DISPPARAMS& m_params;
};

}  // namespace vesk::component_hosting
