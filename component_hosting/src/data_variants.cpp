#include "data_variants.h"

#include <stdexcept>

#include "vesk/component_hosting/text_conversion.h"

namespace vesk::component_hosting {

Variant ToComVariant(const data_access::Variant& value) {
    switch (value.Type()) {
        case data_access::VariantType::Empty:
            return Variant();
        case data_access::VariantType::Null:
            return Variant::Null();
        case data_access::VariantType::Int16:
            return Variant(static_cast<std::int16_t>(value.ToInt64()));
        case data_access::VariantType::Int32:
            return Variant(static_cast<std::int32_t>(value.ToInt64()));
        case data_access::VariantType::Int64:
        case data_access::VariantType::Double:
            return Variant(value.ToDouble());
        case data_access::VariantType::Bool:
            return Variant(value.ToBool());
        case data_access::VariantType::Text:
        case data_access::VariantType::Date:
            return Variant(value.ToText());
        case data_access::VariantType::Binary:
            break;
    }
    throw std::invalid_argument("A binary value cannot be passed as a variant");
}

data_access::Variant ToDataVariant(const VARIANT& raw) {
    const VARIANT value = Dereferenced(raw);
    switch (value.vt) {
        case VT_EMPTY:
            return data_access::Variant();
        case VT_NULL:
            return data_access::Variant::Null();
        case VT_I2:
            return data_access::Variant(value.iVal);
        case VT_I4:
            return data_access::Variant(value.lVal);
        case VT_R8:
            return data_access::Variant(value.dblVal);
        case VT_BOOL:
            return data_access::Variant(value.boolVal != 0);
        case VT_BSTR:
            return data_access::Variant(TextOf(value.bstrVal));
        default:
            throw std::invalid_argument("The value has no form as a field value");
    }
}

}  // namespace vesk::component_hosting
