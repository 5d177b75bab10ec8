#include "call.h"

#include "vesk/component_hosting/text_conversion.h"

namespace vesk::component_hosting {

Call::Call(const Slot& slot, const DISPPARAMS& params, VARIANT* result)
    : m_slot(slot), m_arguments(params), m_result(result) {}

HRESULT Call::Check(UINT& argumentError) const {
    const std::vector<Param>& params = m_slot.params;
    std::size_t required = 0;
    for (std::size_t param_idx = 0; param_idx < params.size(); ++param_idx) {
        if (!params[param_idx].IsOptional()) {
            required = param_idx + 1;
        }
    }
    if (m_arguments.Count() > params.size() || m_arguments.Count() < required) {
        return DISP_E_BADPARAMCOUNT;
    }
    for (std::size_t arg_idx = 0; arg_idx < m_arguments.Count(); ++arg_idx) {
        const HRESULT result = !IsMissing(arg_idx)            ? CheckValue(arg_idx)
                               : params[arg_idx].IsOptional() ? S_OK
                                                              : DISP_E_PARAMNOTOPTIONAL;
        if (Failed(result)) {
            argumentError = m_arguments.RawIndex(arg_idx);
            return result;
        }
    }
    return S_OK;
}

// Objects may be given as an object, as no object (Empty, Null, a null pointer) or, for the
// kinds that take one, as a text; other values must convert to the parameter's type.
HRESULT Call::CheckValue(std::size_t index) const {
    const ValueType& type = m_slot.params[index].type;
    const VARIANT value = m_arguments.Value(index);
    if (type.vt == VT_DISPATCH) {
        const bool object = value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN ||
                            value.vt == VT_EMPTY || value.vt == VT_NULL;
        return object || (type.takesText && value.vt == VT_BSTR) ? S_OK : DISP_E_TYPEMISMATCH;
    }
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT result = ChangeType(converted, value, type.vt);
    VariantClear(&converted);
    return result;
}

Variant Call::Converted(std::size_t index, VARTYPE type) const {
    Variant converted;
    const HRESULT result = ChangeType(*converted.Receive(), m_arguments.Value(index), type);
    if (Failed(result)) {
        throw ArgumentError{result, index};
    }
    return converted;
}

std::string Call::Text(std::size_t index) const {
    return IsMissing(index) ? std::string() : TextOf(Converted(index, VT_BSTR).Raw().bstrVal);
}

bool Call::Boolean(std::size_t index) const {
    return !IsMissing(index) && Converted(index, VT_BOOL).Raw().boolVal != 0;
}

std::int16_t Call::Integer(std::size_t index) const {
    return IsMissing(index) ? 0 : Converted(index, VT_I2).Raw().iVal;
}

std::int32_t Call::Long(std::size_t index) const {
    return IsMissing(index) ? 0 : Converted(index, VT_I4).Raw().lVal;
}

double Call::Double(std::size_t index) const {
    return IsMissing(index) ? 0 : Converted(index, VT_R8).Raw().dblVal;
}

IDispatch* Call::Object(std::size_t index) const {
    const VARIANT value = m_arguments.Value(index);
    switch (value.vt) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_ERROR:
            return nullptr;
        case VT_DISPATCH:
            return value.pdispVal;
        case VT_UNKNOWN: {
            ComPtr<IDispatch> object =
                ComPtr<IUnknown>::Share(value.punkVal).As<IDispatch>(IID_IDispatch);
            if (!object && value.punkVal != nullptr) {
                throw ArgumentError{DISP_E_TYPEMISMATCH, index};
            }
            return m_objects.emplace_back(std::move(object)).Get();
        }
        default:
            throw ArgumentError{DISP_E_TYPEMISMATCH, index};
    }
}

template <typename Value>
Value& Call::Store(std::size_t index, Value value) {
    m_stored.push_back({index, std::move(value)});
    return std::get<Value>(m_stored.back().value);
}

std::string& Call::TextRef(std::size_t index) {
    return Store(index, Text(index));
}

bool& Call::BooleanRef(std::size_t index) {
    return Store(index, Boolean(index));
}

double& Call::DoubleRef(std::size_t index) {
    return Store(index, Double(index));
}

bool* Call::OptionalBooleanRef(std::size_t index) {
    return IsMissing(index) ? nullptr : &BooleanRef(index);
}

double* Call::OptionalDoubleRef(std::size_t index) {
    return IsMissing(index) ? nullptr : &DoubleRef(index);
}

void Call::Return(bool value) {
    Return(Variant(value));
}

void Call::Return(std::int16_t value) {
    Return(Variant(value));
}

void Call::Return(std::int32_t value) {
    Return(Variant(value));
}

void Call::Return(double value) {
    Return(Variant(value));
}

void Call::Return(const std::string& value) {
    Return(Variant(value));
}

void Call::Return(ComPtr<IDispatch> object) {
    Return(Variant(std::move(object)));
}

void Call::Return(const Variant& value) {
    if (m_result != nullptr) {
        VariantCopy(m_result, &value.Raw());
    }
}

// A reference of a type that cannot hold the value (a number too large for it) keeps what
// it held: the call itself has succeeded.
void Call::WriteBack() {
    for (const Stored& stored : m_stored) {
        if (m_arguments.IsByRef(stored.index)) {
            const Variant value =
                std::visit([](const auto& held) { return Variant(held); }, stored.value);
            m_arguments.Set(stored.index, value.Raw());
        }
    }
}

}  // namespace vesk::component_hosting
