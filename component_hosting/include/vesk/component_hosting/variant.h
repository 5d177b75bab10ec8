#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vesk/component_hosting/com_ptr.h"
#include "vesk/component_hosting/dispatch_types.h"

namespace vesk::component_hosting {

// An owned VARIANT: frees its text or object reference when it goes; copies copy them. Built
// from C++ values for the arguments of late-bound calls, and read back as C++ values.
class Variant {
public:
    Variant() { VariantInit(&m_value); }
    Variant(bool value);
    Variant(std::int16_t value);
    Variant(std::int32_t value);
    Variant(double value);
    Variant(const char* text) : Variant(std::string_view(text)) {}
    Variant(const std::string& text) : Variant(std::string_view(text)) {}
    Variant(std::string_view text);
    // An object (VT_DISPATCH); a null pointer is "no object".
    Variant(ComPtr<IDispatch> object);

    // An optional argument left out: VT_ERROR with DISP_E_PARAMNOTFOUND.
    static Variant Missing();
    static Variant Null();
    // Takes over `raw` (its text or reference is owned from now on).
    static Variant Adopt(const VARIANT& raw);
    // A by-reference argument pointing at `target`'s value, so that what the callee writes
    // lands in `target` (typed when `target` holds a text, number, Boolean or object; a
    // VT_VARIANT reference otherwise). `target` must outlive the call.
    static Variant Ref(Variant& target);

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant other) noexcept;
    ~Variant() { VariantClear(&m_value); }

    VARTYPE Type() const { return m_value.vt; }
    const VARIANT& Raw() const { return m_value; }
    // Clears the value and hands out its storage to be filled (an out parameter).
    VARIANT* Receive();

    bool IsEmpty() const { return m_value.vt == VT_EMPTY; }
    bool IsMissing() const;

    // The value converted as ChangeType does; throw ComError (DISP_E_TYPEMISMATCH,
    // DISP_E_OVERFLOW) when it cannot be.
    std::string ToText() const;
    bool ToBool() const;
    std::int16_t ToInt16() const;
    std::int32_t ToInt32() const;
    double ToDouble() const;
    // The object; null for no object (also for Empty and Null).
    ComPtr<IDispatch> ToDispatch() const;

private:
    VARIANT m_value;
};

// Sets `target` (cleared first) to `source` (followed when by reference) converted to `type`,
// as late-bound hosts convert: numbers and Booleans into each other (true is -1), numbers and
// Booleans to and from their text ("True"/"False"), Empty to 0, false or the empty text, an
// object seen as IDispatch. VT_VARIANT copies the value as it is. DISP_E_TYPEMISMATCH when
// the value has no such form (Null into anything but VT_VARIANT), DISP_E_OVERFLOW when a
// number is out of range. `target` and `source` must be distinct.
HRESULT ChangeType(VARIANT& target, const VARIANT& source, VARTYPE type);

}  // namespace vesk::component_hosting
