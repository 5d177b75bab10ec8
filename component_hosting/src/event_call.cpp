#include "event_call.h"

#include "vesk/component_hosting/text_conversion.h"

namespace vesk::component_hosting {

EventCall::~EventCall() {
    for (Argument& argument : m_arguments) {
        VariantClear(&argument.value);
    }
}

VARIANT& EventCall::Add(Target target, VARTYPE type) {
    Argument& argument = m_arguments.emplace_back(Argument{target, {}});
    VariantInit(&argument.value);
    argument.value.vt = type;
    return argument.value;
}

EventCall& EventCall::Arg(std::string& text) {
    VARIANT& value = Add(&text, VT_BSTR);
    value.bstrVal = AllocText(text);
    return *this;
}

EventCall& EventCall::Arg(bool& value) {
    Add(&value, VT_BOOL).boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return *this;
}

EventCall& EventCall::Arg(std::int32_t& value) {
    Add(&value, VT_I4).lVal = value;
    return *this;
}

EventCall& EventCall::Arg(std::int16_t& value) {
    Add(&value, VT_I2).iVal = value;
    return *this;
}

// A by-reference argument pointing into the argument's own value.
VARIANT EventCall::Reference(Argument& argument) {
    VARIANT reference;
    VariantInit(&reference);
    reference.vt = static_cast<VARTYPE>(VT_BYREF | argument.value.vt);
    reference.byref = &argument.value.dblVal;
    return reference;
}

void EventCall::CopyBack(const Argument& argument) {
    const VARIANT& value = argument.value;
    std::visit(
        [&value](auto* target) {
            using Value = std::remove_pointer_t<decltype(target)>;
            if constexpr (std::is_same_v<Value, std::string>) {
                *target = TextOf(value.bstrVal);
            } else if constexpr (std::is_same_v<Value, bool>) {
                *target = value.boolVal != 0;
            } else if constexpr (std::is_same_v<Value, std::int32_t>) {
                *target = value.lVal;
            } else {
                *target = value.iVal;
            }
        },
        argument.target);
}

void EventCall::Fire(const ConnectionPoint& point, DISPID id) {
    if (!point.HasSinks()) {
        return;
    }
    std::vector<VARIANT> references;
    for (auto argument = m_arguments.rbegin(); argument != m_arguments.rend(); ++argument) {
        references.push_back(Reference(*argument));
    }
    DISPPARAMS params{references.data(), nullptr, static_cast<UINT>(references.size()), 0};
    point.Fire(id, params);
    for (const Argument& argument : m_arguments) {
        CopyBack(argument);
    }
}

}  // namespace vesk::component_hosting
