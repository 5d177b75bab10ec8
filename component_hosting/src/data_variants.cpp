#include "data_variants.h"

#include <stdexcept>

#include "vesk/component_hosting/text_conversion.h"

namespace vesk::component_hosting {

Variant ToComVariant(const data::Variant& value) {
    switch (value.Type()) {
        case data::VariantType::Empty:
            return Variant();
        case data::VariantType::Null:
            return Variant::Null();
        case data::VariantType::Int16:
            return Variant(static_cast<std::int16_t>(value.ToInt64()));
        case data::VariantType::Int32:
            return Variant(static_cast<std::int32_t>(value.ToInt64()));
        case data::VariantType::Int64:
        case data::VariantType::Double:
            return Variant(value.ToDouble());
        case data::VariantType::Bool:
            return Variant(value.ToBool());
        case data::VariantType::Text:
        case data::VariantType::Date:
            return Variant(value.ToText());
        case data::VariantType::Binary:
            break;
    }
    throw std::invalid_argument("A binary value cannot be passed as a variant");
}

data::Variant ToDataVariant(const VARIANT& raw) {
    const VARIANT value = Dereferenced(raw);
    switch (value.vt) {
        case VT_EMPTY:
            return data::Variant();
        case VT_NULL:
            return data::Variant::Null();
        case VT_I2:
            return data::Variant(value.iVal);
        case VT_I4:
            return data::Variant(value.lVal);
        case VT_R8:
            return data::Variant(value.dblVal);
        case VT_BOOL:
            return data::Variant(value.boolVal != 0);
        case VT_BSTR:
            return data::Variant(TextOf(value.bstrVal));
        default:
            throw std::invalid_argument("The value has no form as a field value");
    }
}

}  // namespace vesk::component_hosting
