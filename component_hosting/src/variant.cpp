#include "vesk/component_hosting/variant.h"

#include <fmt/format.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "vesk/component_hosting/com_error.h"
#include "vesk/component_hosting/text_conversion.h"
#include "vesk/data_access/letter_case.h"

namespace vesk::component_hosting {

namespace {

// A text read as a number: a decimal number, or "True" (-1) / "False" (0).
std::optional<double> NumberOfText(std::string_view text) {
    text = TrimmedText(text);
    if (data_access::SameIgnoringCase(text, "True")) {
        return -1.0;
    }
    if (data_access::SameIgnoringCase(text, "False")) {
        return 0.0;
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return number;
}

// The value as a number; nothing for types that have no numeric form.
std::optional<double> NumberOf(const VARIANT& value) {
    switch (value.vt) {
        case VT_EMPTY:
            return 0.0;
        case VT_I2:
            return value.iVal;
        case VT_I4:
            return value.lVal;
        case VT_R8:
            return value.dblVal;
        case VT_BOOL:
            return value.boolVal != 0 ? -1.0 : 0.0;
        case VT_BSTR:
            return NumberOfText(TextOf(value.bstrVal));
        default:
            return std::nullopt;
    }
}

// A whole number in [lowest, highest], rounded half to even as such hosts round.
HRESULT WholeNumber(const VARIANT& value, double lowest, double highest, double& whole) {
    std::optional<double> number = NumberOf(value);
    if (!number || std::isnan(*number)) {
        return DISP_E_TYPEMISMATCH;
    }
    whole = std::nearbyint(*number);
    return whole < lowest || whole > highest ? DISP_E_OVERFLOW : S_OK;
}

HRESULT ToText(VARIANT& target, const VARIANT& value) {
    std::string text;
    switch (value.vt) {
        case VT_EMPTY:
            break;
        case VT_BSTR:
            return VariantCopy(&target, &value);
        case VT_I2:
            text = std::to_string(value.iVal);
            break;
        case VT_I4:
            text = std::to_string(value.lVal);
            break;
        case VT_R8:
            text = fmt::format("{}", value.dblVal);
            break;
        case VT_BOOL:
            text = value.boolVal != 0 ? "True" : "False";
            break;
        default:
            return DISP_E_TYPEMISMATCH;
    }
    target.vt = VT_BSTR;
    target.bstrVal = AllocText(text);
    return S_OK;
}

HRESULT ToBoolean(VARIANT& target, const VARIANT& value) {
    std::optional<double> number = NumberOf(value);
    if (!number) {
        return DISP_E_TYPEMISMATCH;
    }
    target.vt = VT_BOOL;
    target.boolVal = *number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT ToNumber(VARIANT& target, const VARIANT& value, VARTYPE type) {
    double number = 0;
    HRESULT result = S_OK;
    if (type == VT_I2) {
        result = WholeNumber(value, INT16_MIN, INT16_MAX, number);
        target.iVal = static_cast<std::int16_t>(number);
    } else if (type == VT_I4) {
        result = WholeNumber(value, INT32_MIN, INT32_MAX, number);
        target.lVal = static_cast<std::int32_t>(number);
    } else {
        std::optional<double> real = NumberOf(value);
        result = real ? S_OK : DISP_E_TYPEMISMATCH;
        target.dblVal = real.value_or(0);
    }
    if (Failed(result)) {
        VariantInit(&target);
        return result;
    }
    target.vt = type;
    return S_OK;
}

HRESULT ToObject(VARIANT& target, const VARIANT& value, VARTYPE type) {
    if (value.vt != VT_DISPATCH && value.vt != VT_UNKNOWN) {
        return DISP_E_TYPEMISMATCH;
    }
    target.vt = type;
    if (value.punkVal == nullptr) {
        return S_OK;
    }
    if (type == VT_UNKNOWN || value.vt == VT_DISPATCH) {
        target.punkVal = value.punkVal;
        target.punkVal->AddRef();
        return S_OK;
    }
    if (Failed(value.punkVal->QueryInterface(IID_IDispatch,
                                             reinterpret_cast<void**>(&target.pdispVal)))) {
        VariantInit(&target);
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

Variant Converted(const VARIANT& value, VARTYPE type) {
    Variant converted;
    const HRESULT result = ChangeType(*converted.Receive(), value, type);
    if (Failed(result)) {
        throw ComError(result, "The value cannot be converted: " + ResultName(result));
    }
    return converted;
}

}  // namespace

HRESULT ChangeType(VARIANT& target, const VARIANT& source, VARTYPE type) {
    const VARIANT value = Dereferenced(source);
    VariantClear(&target);
    if (type == VT_VARIANT) {
        return VariantCopy(&target, &value);
    }
    if (value.vt == VT_NULL || value.vt == VT_ERROR) {
        return DISP_E_TYPEMISMATCH;
    }
    switch (type) {
        case VT_BSTR:
            return ToText(target, value);
        case VT_BOOL:
            return ToBoolean(target, value);
        case VT_I2:
        case VT_I4:
        case VT_R8:
            return ToNumber(target, value, type);
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return ToObject(target, value, type);
        default:
            return DISP_E_BADVARTYPE;
    }
}

Variant::Variant(bool value) : Variant() {
    m_value.vt = VT_BOOL;
    m_value.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(std::int16_t value) : Variant() {
    m_value.vt = VT_I2;
    m_value.iVal = value;
}

Variant::Variant(std::int32_t value) : Variant() {
    m_value.vt = VT_I4;
    m_value.lVal = value;
}

Variant::Variant(double value) : Variant() {
    m_value.vt = VT_R8;
    m_value.dblVal = value;
}

Variant::Variant(std::string_view text) : Variant() {
    m_value.bstrVal = AllocText(text);
    m_value.vt = VT_BSTR;
}

Variant::Variant(ComPtr<IDispatch> object) : Variant() {
    m_value.vt = VT_DISPATCH;
    m_value.pdispVal = object.Detach();
}

Variant Variant::Missing() {
    Variant missing;
    missing.m_value.vt = VT_ERROR;
    missing.m_value.scode = DISP_E_PARAMNOTFOUND;
    return missing;
}

Variant Variant::Null() {
    Variant null;
    null.m_value.vt = VT_NULL;
    return null;
}

Variant Variant::Adopt(const VARIANT& raw) {
    Variant adopted;
    adopted.m_value = raw;
    return adopted;
}

Variant Variant::Ref(Variant& target) {
    Variant reference;
    VARIANT& value = target.m_value;
    if (ValueSize(value.vt) == 0) {
        reference.m_value.vt = VT_BYREF | VT_VARIANT;
        reference.m_value.pvarVal = &value;
    } else {
        reference.m_value.vt = static_cast<VARTYPE>(VT_BYREF | value.vt);
        reference.m_value.byref = &value.dblVal;
    }
    return reference;
}

Variant::Variant(const Variant& other) : Variant() {
    const HRESULT result = VariantCopy(&m_value, &other.m_value);
    if (Failed(result)) {
        throw ComError(result, "The value cannot be copied");
    }
}

Variant::Variant(Variant&& other) noexcept : m_value(other.m_value) {
    VariantInit(&other.m_value);
}

Variant& Variant::operator=(Variant other) noexcept {
    std::swap(m_value, other.m_value);
    return *this;
}

VARIANT* Variant::Receive() {
    VariantClear(&m_value);
    return &m_value;
}

bool Variant::IsMissing() const {
    const VARIANT value = Dereferenced(m_value);
    return value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND;
}

std::string Variant::ToText() const {
    return TextOf(Converted(m_value, VT_BSTR).Raw().bstrVal);
}

bool Variant::ToBool() const {
    return Converted(m_value, VT_BOOL).Raw().boolVal != 0;
}

std::int16_t Variant::ToInt16() const {
    return Converted(m_value, VT_I2).Raw().iVal;
}

std::int32_t Variant::ToInt32() const {
    return Converted(m_value, VT_I4).Raw().lVal;
}

double Variant::ToDouble() const {
    return Converted(m_value, VT_R8).Raw().dblVal;
}

ComPtr<IDispatch> Variant::ToDispatch() const {
    const VARIANT value = Dereferenced(m_value);
    if (value.vt == VT_EMPTY || value.vt == VT_NULL) {
        return nullptr;
    }
    Variant converted = Converted(m_value, VT_DISPATCH);
    return ComPtr<IDispatch>::Adopt(std::exchange(converted.m_value.pdispVal, nullptr));
}

}  // namespace vesk::component_hosting
